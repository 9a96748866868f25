// The main window's printing: print dialog, print preview and PDF, all
// painting the same one-page layout through printTo.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "PrintedPage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_renderer.h>

#include <memory>

QPrinter *MainWindow::createPrinter()
{
    auto *printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setResolution(300);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    return printer;
}

void MainWindow::print()
{
    const std::unique_ptr<QPrinter> printer(createPrinter());
    QPrintDialog dialog(printer.get(), this);
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer.get());
}

void MainWindow::printPdf()
{
    QString name = QFileDialog::getSaveFileName(this, tr("Export PDF"), QString(), tr("*.pdf"));
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".pdf");

    const std::unique_ptr<QPrinter> printer(createPrinter());
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(name);
    printTo(printer.get());
    QMessageBox::information(this, tr("Print status"), tr("Page printed to file: ") + name,
                             QMessageBox::Ok);
}

void MainWindow::printPreview()
{
    const std::unique_ptr<QPrinter> printer(createPrinter());
    // A window of its own, with the usual frame buttons, rather than a dialog
    // frame: the preview is worth maximising.
    QPrintPreviewDialog dialog(printer.get(), this, Qt::Window);
    // The dialog asks for the page again whenever its page set-up changes.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &MainWindow::printTo);
    dialog.exec();
}

void MainWindow::printTo(QPrinter *printer)
{
    QPainter painter;
    if (!printer || !painter.begin(printer))
        return;

    const QRectF area = printer->pageLayout().paintRect(QPageLayout::Inch);
    const PrintedPage page(area.width() * printer->resolution(),
                           area.height() * printer->resolution());

    // Turn markers belong on screen only; they go back once the page is done.
    QwtPlot *markerPlot = turnsCurve ? turnsCurve->plot() : nullptr;
    if (markerPlot)
        turnsCurve->detach();

    const QString family = painter.font().family();
    painter.setFont(QFont(family, 9, 0, false));
    painter.drawText(page.footer, Qt::AlignHCenter | Qt::AlignVCenter | Qt::AlignBottom,
                     PrintedPage::footerText(options));
    painter.setFont(QFont(family, 18, 1, false));
    painter.drawText(page.title, Qt::AlignHCenter | Qt::AlignTop,
                     PrintedPage::titleText(session.fileName));

    painter.drawPixmap(page.leftLogo, QPixmap(QStringLiteral(":/images/VOK.png")));
    painter.drawPixmap(page.rightLogo, QPixmap(QStringLiteral(":/images/marchio.png")));

    const QwtPlotRenderer renderer;
    renderer.render(ui->qwtPlotTop, &painter, page.plots[0]);
    renderer.render(ui->qwtPlotCenter, &painter, page.plots[1]);
    renderer.render(ui->qwtPlotBottom, &painter, page.plots[2]);

    if (markerPlot)
        turnsCurve->attach(markerPlot);
    painter.end();
}
