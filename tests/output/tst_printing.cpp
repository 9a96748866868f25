#include "DialogDriver.h"
#include "ExternalTools.h"
#include "MainWindow.h"
#include "SampleSession.h"
#include "TemporarySettings.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

namespace {

QwtPlot *topPlot(MainWindow &window)
{
    return window.findChild<QwtPlot *>(QStringLiteral("qwtPlotTop"));
}

// The curve of turn markers, found among the top plot's items on screen.
QwtPlotItem *turnMarkers(MainWindow &window)
{
    for (QwtPlotItem *item : topPlot(window)->itemList(QwtPlotItem::Rtti_PlotCurve)) {
        if (item->title().text() == QLatin1String("Turns"))
            return item;
    }
    return nullptr;
}

struct PdfFacts {
    QString error;
    int pages = 0;
    double width = 0;  // points
    double height = 0; // points
    QString pageSizeName;
    QString text;
};

// What poppler reads from a PDF file.
PdfFacts readPdf(const QString &pdfinfo, const QString &pdftotext, const QString &path)
{
    PdfFacts facts;
    const ToolRun info = runTool(pdfinfo, {path});
    if (info.exitCode != 0) {
        facts.error = info.errors;
        return facts;
    }
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
            .match(info.output);
    facts.pages = pages.captured(1).toInt();
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts(?: \\((\\w+)\\))?"),
                           QRegularExpression::MultilineOption)
            .match(info.output);
    facts.width = size.captured(1).toDouble();
    facts.height = size.captured(2).toDouble();
    facts.pageSizeName = size.captured(3);

    const ToolRun text = runTool(pdftotext, {path, QStringLiteral("-")});
    if (text.exitCode != 0)
        facts.error = text.errors;
    facts.text = text.output;
    return facts;
}

} // namespace

class tst_Printing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void pdfUnderTheChosenName_data();
    void pdfUnderTheChosenName();
    void cancelledPdfDoesNothing();
    void footerFollowsTheOptions_data();
    void footerFollowsTheOptions();
    void turnMarkersStayOffThePage();
    void noMarkersToTakeOffInDistanceMode();
    void printDialog_data();
    void printDialog();
    void previewRepaintsWhenThePageChanges();

private:
    TemporarySettings settings;
    QTemporaryDir dir;
    QString sessionPath;
};

void tst_Printing::initTestCase()
{
    QVERIFY(dir.isValid());
    sessionPath = writeSampleSession(dir.filePath(QStringLiteral("ride")));
    QVERIFY(!sessionPath.isEmpty());
}

void tst_Printing::init()
{
    settings.clear();
}

void tst_Printing::pdfUnderTheChosenName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");

    QTest::newRow("name without suffix gets .pdf") << "plots" << "plots.pdf";
    QTest::newRow("name with .pdf is kept") << "plots.pdf" << "plots.pdf";
    QTest::newRow("name with another suffix is kept") << "plots.txt" << "plots.txt";
    QTest::newRow("name ending in a dot gets .pdf after the dot") << "plots." << "plots..pdf";
}

void tst_Printing::pdfUnderTheChosenName()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    VOK_REQUIRE_TOOL(pdfinfo, "pdfinfo");
    VOK_REQUIRE_TOOL(pdftotext, "pdftotext");

    QTemporaryDir target;
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));

    DialogDriver driver;
    driver.fileToChoose = target.filePath(typed);
    window.printPdf();

    QCOMPARE(driver.fileDialogs, QStringList{"Export PDF"});
    QCOMPARE(driver.messages.size(), 1);
    QCOMPARE(driver.messages[0].icon, QMessageBox::Information);
    QCOMPARE(driver.messages[0].title, QStringLiteral("Print status"));
    QCOMPARE(driver.messages[0].text, "Page printed to file: " + target.filePath(written));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList{written});

    const PdfFacts pdf = readPdf(pdfinfo, pdftotext, target.filePath(written));
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pages, 1);
    // A4 landscape: 297 x 210 mm is 841.89 x 595.28 points.
    QVERIFY2(qAbs(pdf.width - 841.89) < 1 && qAbs(pdf.height - 595.28) < 1,
             qPrintable(QStringLiteral("%1 x %2").arg(pdf.width).arg(pdf.height)));
    QCOMPARE(pdf.pageSizeName, QStringLiteral("A4"));
    QVERIFY2(pdf.text.contains(QLatin1String("S_100407_10-30.csv data plots:")), qPrintable(pdf.text));
    QVERIFY2(pdf.text.contains(QLatin1String("X axis unit: time (hh:mm:ss)")), qPrintable(pdf.text));
}

void tst_Printing::cancelledPdfDoesNothing()
{
    QTemporaryDir target;
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));

    DialogDriver driver; // no file chosen: the dialog is cancelled
    window.printPdf();

    QCOMPARE(driver.fileDialogs.size(), 1);
    QVERIFY(driver.messages.isEmpty());
    QVERIFY(QDir(target.path()).isEmpty());
}

void tst_Printing::footerFollowsTheOptions_data()
{
    QTest::addColumn<int>("xAxisType");
    QTest::addColumn<uint>("timeUnit");
    QTest::addColumn<uint>("spaceUnit");
    QTest::addColumn<QString>("footer");

    QTest::newRow("time in minutes and seconds") << 0 << 3u << 0u << "X axis unit: time (mm:ss)";
    QTest::newRow("time unit out of range") << 0 << 9u << 0u << "X axis unit: time (Error)";
    QTest::newRow("space in metres") << 1 << 0u << 1u << "X axis unit: space (meters)";
    QTest::newRow("space unit out of range") << 1 << 0u << 5u << "X axis unit: space (error)";
}

void tst_Printing::footerFollowsTheOptions()
{
    QFETCH(int, xAxisType);
    QFETCH(uint, timeUnit);
    QFETCH(uint, spaceUnit);
    QFETCH(QString, footer);
    VOK_REQUIRE_TOOL(pdfinfo, "pdfinfo");
    VOK_REQUIRE_TOOL(pdftotext, "pdftotext");

    {
        QSettings store;
        store.setValue("options/axes/x_axis_type", xAxisType);
        store.setValue("options/axes/time_unit", timeUnit);
        store.setValue("options/axes/space_unit", spaceUnit);
    }
    QTemporaryDir target;
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));
    DialogDriver driver;
    driver.fileToChoose = target.filePath("plots.pdf");
    window.printPdf();

    const PdfFacts pdf = readPdf(pdfinfo, pdftotext, target.filePath("plots.pdf"));
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QVERIFY2(pdf.text.contains(footer), qPrintable(pdf.text));
}

void tst_Printing::turnMarkersStayOffThePage()
{
    QTemporaryDir target;
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));
    QwtPlotItem *markers = turnMarkers(window);
    QVERIFY(markers);
    QCOMPARE(markers->plot(), topPlot(window)); // time mode shows them

    // Every time the markers leave or join the plot, and whether the page was
    // being painted then (the file exists once painting has begun).
    const QString pdf = target.filePath("plots.pdf");
    QList<QPair<bool, bool>> moves;
    const QMetaObject::Connection watch =
        connect(topPlot(window), &QwtPlot::itemAttached, this, [&](QwtPlotItem *item, bool on) {
            if (item == markers)
                moves.append({on, QFile::exists(pdf)});
        });
    DialogDriver driver;
    driver.fileToChoose = pdf;
    window.printPdf();
    disconnect(watch);

    QVERIFY(QFile::exists(pdf));
    QCOMPARE(moves, (QList<QPair<bool, bool>>{{false, true}, {true, true}}));
    QCOMPARE(markers->plot(), topPlot(window));
}

void tst_Printing::noMarkersToTakeOffInDistanceMode()
{
    QTemporaryDir target;
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));
    window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"))->setCurrentIndex(1);
    QwtPlotItem *markers = turnMarkers(window);
    QVERIFY(!markers); // not on the plot in distance mode

    int moves = 0;
    const QMetaObject::Connection watch =
        connect(topPlot(window), &QwtPlot::itemAttached, this, [&](QwtPlotItem *item, bool) {
            if (item->title().text() == QLatin1String("Turns"))
                ++moves;
        });
    DialogDriver driver;
    driver.fileToChoose = target.filePath("plots.pdf");
    window.printPdf();
    disconnect(watch);

    QVERIFY(QFile::exists(target.filePath("plots.pdf")));
    QCOMPARE(moves, 0);
    QVERIFY(!turnMarkers(window));
}

void tst_Printing::printDialog_data()
{
    QTest::addColumn<bool>("accept");

    QTest::newRow("print dialog accepted") << true;
    QTest::newRow("print dialog cancelled") << false;
}

void tst_Printing::printDialog()
{
    QFETCH(bool, accept);
    VOK_REQUIRE_TOOL(pdfinfo, "pdfinfo");
    VOK_REQUIRE_TOOL(pdftotext, "pdftotext");

    QTemporaryDir target;
    const QString output = target.filePath("printed.pdf");
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));

    // Without a print server the dialog offers printing to a PDF file only.
    DialogDriver driver;
    bool dialogSeen = false;
    driver.otherDialog = [&](QWidget *modal) {
        auto *dialog = qobject_cast<QPrintDialog *>(modal);
        QVERIFY(dialog);
        dialogSeen = true;
        QCOMPARE(dialog->printer()->pageLayout().orientation(), QPageLayout::Landscape);
        if (!accept) {
            dialog->reject();
            return;
        }
        auto *fileName = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
        QVERIFY(fileName);
        fileName->setText(output);
        dialog->accept();
    };
    window.print();
    QVERIFY(dialogSeen);
    QVERIFY(driver.messages.isEmpty());

    if (!accept) {
        QVERIFY(QDir(target.path()).isEmpty());
        return;
    }
    const PdfFacts pdf = readPdf(pdfinfo, pdftotext, output);
    QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
    QCOMPARE(pdf.pages, 1);
    QVERIFY(pdf.width > pdf.height);
    QVERIFY2(pdf.text.contains(QLatin1String("S_100407_10-30.csv data plots:")), qPrintable(pdf.text));
}

void tst_Printing::previewRepaintsWhenThePageChanges()
{
    MainWindow window;
    QVERIFY(openSession(window, sessionPath));
    QwtPlotItem *markers = turnMarkers(window);

    DialogDriver driver;
    bool checked = false;
    driver.otherDialog = [&](QWidget *modal) {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(modal);
        QVERIFY(dialog);
        // Closed whatever happens below, so a failure cannot hang the test.
        QTimer::singleShot(0, dialog, &QDialog::reject);
        QCOMPARE(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Window);

        // The printer of createPrinter().
        QPrinter *printer = dialog->printer();
        QCOMPARE(printer->resolution(), 300);
        QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(printer->pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(printer->pageLayout().units(), QPageLayout::Millimeter);
        QCOMPARE(printer->pageLayout().margins(), QMarginsF(5, 5, 5, 5));

        auto *preview = dialog->findChild<QPrintPreviewWidget *>();
        QVERIFY(preview);
        QCOMPARE(preview->pageCount(), 1); // painted when shown

        QAction *portrait = nullptr;
        QAction *landscape = nullptr;
        for (QAction *action : dialog->findChildren<QAction *>()) {
            if (action->text() == QLatin1String("Portrait"))
                portrait = action;
            else if (action->text() == QLatin1String("Landscape"))
                landscape = action;
        }
        QVERIFY(portrait && landscape);

        int requests = 0;
        connect(dialog, &QPrintPreviewDialog::paintRequested, this, [&requests] { ++requests; });
        portrait->trigger();
        QCOMPARE(requests, 1);
        QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Portrait);
        QCOMPARE(preview->pageCount(), 1);
        if (markers)
            QCOMPARE(markers->plot(), topPlot(window));

        landscape->trigger();
        QCOMPARE(requests, 2);
        QCOMPARE(preview->pageCount(), 1);
        checked = true;
    };
    window.printPreview();

    QVERIFY(checked);
    QVERIFY(driver.messages.isEmpty());
    QVERIFY(markers);
    QCOMPARE(markers->plot(), topPlot(window));
}

QTEST_MAIN(tst_Printing)
#include "tst_printing.moc"
