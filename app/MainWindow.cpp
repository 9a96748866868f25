#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "HelpBrowser.h"
#include "KmlExport.h"
#include "OptionsDialog.h"
#include "PedalStrokesWindow.h"
#include "PlotPrinter.h"
#include "CursorLine.h"
#include "RideExport.h"
#include "RideFigures.h"
#include "RideStatistics.h"
#include "SessionPlots.h"
#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"
#include "TurnDialog.h"
#include "WindowPlacement.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QComboBox>
#include <QStyleOptionComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <kwidgetsaddons_version.h>
#include <qwt_global.h>
#include <qwt_plot_curve.h>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    connect(ui->actionIndex_2, &QAction::triggered, this, [this] { HelpBrowser::showGuide(this); });
    connect(ui->actionExport_for_other_programs, &QAction::triggered, this,
            &MainWindow::exportForOtherPrograms);
    connect(ui->menuOpen_Recent, &QMenu::aboutToShow, this, &MainWindow::showRecentRides);
    connect(ui->actionPedal_strokes, &QAction::triggered, this, &MainWindow::showPedalStrokes);
    connect(ui->actionClear, &QAction::triggered, this, [this] { recent.clear(); });
    setAcceptDrops(true);
    // The options are loaded before the plots exist, so that the curves are
    // created with the stored pens and visibility.
    readSettings();
    plots = std::make_unique<SessionPlots>(
        std::array<QwtPlot *, 3>{ui->qwtPlotTop, ui->qwtPlotCenter, ui->qwtPlotBottom}, session,
        options, nullptr);
    connect(plots.get(), &SessionPlots::turnClicked, this, &MainWindow::showTurn);
    connect(plots.get(), &SessionPlots::shownRangeChanged, this, [this] {
        updateStatistics();
        if (strokesWindow) {
            double from = 0.0, to = 0.0;
            plots->shownTimeRange(from, to);
            strokesWindow->followPlots(from, to);
        }
    });
    connect(plots->cursorLine(), &CursorLine::moved, this, &MainWindow::showReading);
    connect(plots->cursorLine(), &CursorLine::left, ui->statisticsPanel,
            &StatisticsPanel::hideReading);
    // Ctrl+C anywhere in the window copies the statistics shown.
    auto *copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WindowShortcut);
    connect(copy, &QAction::triggered, this, &MainWindow::copyStatistics);
    addAction(copy);
    changeXAxis(options.x_axis_type);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::open()
{
    // The current directory: "./", or ".\" on Windows. Elsewhere a backslash
    // is part of a name, and ".\" would be offered as a file name to open.
    const QString path = QFileDialog::getOpenFileName(this, tr("Open data file"),
                                                      QStringLiteral(".") + QDir::separator(),
                                                      tr("Formatted ASCII (*.csv)"));
    if (!path.isEmpty())
        openRide(path);
}

bool MainWindow::openRide(const QString &path)
{
    // The curves' lines may still be reduced from the arrays the read refills.
    plots->finishLineWork();
    const bool read = session.read(path);
    // The read has emptied and refilled the arrays the curves draw from,
    // and may have moved them; the message box runs an event loop that
    // repaints the plots, and the steps below scale the axes to the curves.
    // Hand the curves what the record holds now, and its new index, first:
    // without it, scaling would visit every sample.
    updateGraphs();
    if (!read) {
        QMessageBox::warning(this, tr("Read error"),
                             tr("The selected dataset could not be loaded:\n"
                                "--> unknown file format"));
    } else {
        recent.add(path);
    }

    // The same refresh after a failed read as after a good one: the reader
    // leaves no x data selected, and the plots show whatever the record holds.
    changeXAxis(ui->xAxisComboBox->currentIndex());
    plots->showWholeRide();
    updateGraphs();
    setWindowTitle(QStringLiteral("VOK - ") + path);
    ui->xAxisComboBox->setEnabled(true);
    for (QAction *output : {ui->actionExport_as_KML, ui->actionView_in_GoogleEarth,
                            ui->actionExport_for_other_programs, ui->actionPrint,
                            ui->actionPrint_preview, ui->actionPrint_as_pdf,
                            ui->actionPedal_strokes})
        output->setEnabled(true);
    updatePedalStrokes();
    return read;
}

// The menu lists the recent rides afresh each time it opens.
void MainWindow::showRecentRides()
{
    QMenu *menu = ui->menuOpen_Recent;
    for (QAction *action : menu->actions()) {
        if (action != ui->actionClear) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    QAction *before = ui->actionClear;
    for (const QString &path : recent.paths()) {
        auto *action = new QAction(QDir::toNativeSeparators(path), menu);
        connect(action, &QAction::triggered, this, [this, path] { openRecentRide(path); });
        menu->insertAction(before, action);
    }
    if (!recent.paths().isEmpty())
        menu->insertSeparator(before);
    ui->actionClear->setEnabled(!recent.paths().isEmpty());
}

void MainWindow::openRecentRide(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        recent.remove(path);
        QMessageBox::warning(this, tr("Open Recent"),
                             tr("%1 is no longer there. It has been taken off the list.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    openRide(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: the drag's source should not wait for
    // a message box.
    const QString path = urls.first().toLocalFile();
    QMetaObject::invokeMethod(this, [this, path] { openRide(path); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!confirmQuit()) {
        event->ignore();
        return;
    }

    // Legend clicks change only the curves; the options learn their
    // visibility here, so that the next run starts with the same curves shown.
    for (const Channel &channel : Channel::sessionCurves())
        options.visible(channel.id) = plots->curve(channel.id)->isVisible();

    writeSettings();
    event->accept();
}

bool MainWindow::confirmQuit()
{
    return QMessageBox::warning(this, tr("VOK"), tr("Do you really want to quit?"),
                                QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}

void MainWindow::readSettings()
{
    loadOptions(options);
    recent.read();

    const WindowPlacement placement
        = WindowPlacement::read(QStringLiteral("mainwindow"), QSize(800, 600));
    resize(placement.size);
    move(placement.pos);

    // Size and position above are the normal geometry the window returns to
    // when it is un-maximized.
    QSettings settings;
    if (settings.value(QStringLiteral("mainwindow/widget/maximized"), false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);

    TurnDialog::readSettings();
}

void MainWindow::writeSettings()
{
    saveOptions(options);
    recent.write();

    // A maximized window keeps the normal size and position stored by an
    // earlier run, so that un-maximizing after the next start restores them.
    const bool maximized = isMaximized();
    if (!maximized)
        WindowPlacement{size(), pos()}.write(QStringLiteral("mainwindow"));
    QSettings().setValue(QStringLiteral("mainwindow/widget/maximized"), maximized);

    TurnDialog::writeSettings();
}

void MainWindow::aboutVOK()
{
    QMessageBox::about(
        this, tr("About VOK"),
        tr("<HTML><p><b><c>VOK 1.0</c></b></p>"
           "<p>This program uses the following libraries under the GNU LGPL version 2.1 licence:</p>"
           "<ul><li>Qt %1</li><li>KDE Frameworks WidgetsAddons %2</li><li>Qwt %3</li></ul>"
           "<p>VOK shows the rides recorded by a cycling power meter: power, pedal offsets, "
           "up/down percentages, height, speed, heart rate and cadence, and the force curve "
           "of single pedal revolutions.</p></HTML>")
            .arg(QString::fromLatin1(qVersion()), QStringLiteral(KWIDGETSADDONS_VERSION_STRING),
                 QStringLiteral(QWT_VERSION_STR)));
}

// The two dialogs run from the main window.

void MainWindow::showOptions()
{
    // One dialog serves the whole run, so it keeps the tab last shown. It is
    // owned by its window; the guarded pointer forgets it with that window.
    static QPointer<OptionsDialog> dialog;
    if (!dialog || dialog->parentWidget() != this)
        dialog = new OptionsDialog(this);
    dialog->workingCopy = options;
    if (dialog->exec() != QDialog::Accepted)
        return;
    options = dialog->workingCopy;
    plots->applyPens();
    updateXAxisScaleDraws();
    updateGraphs();
    updatePedalStrokes(); // the times take the new units
}

void MainWindow::showPedalStrokes()
{
    if (!strokesWindow) {
        strokesWindow = new PedalStrokesWindow(session, this);
        connect(strokesWindow, &PedalStrokesWindow::turnActivated, this, &MainWindow::showTurn);
        updatePedalStrokes();
    }
    strokesWindow->show();
    strokesWindow->raise();
    strokesWindow->activateWindow();
}

void MainWindow::updatePedalStrokes()
{
    if (!strokesWindow)
        return;
    strokesWindow->setRide([this](double seconds) { return plots->timeLabel(seconds); });
    double from = 0.0, to = 0.0;
    plots->shownTimeRange(from, to);
    strokesWindow->followPlots(from, to);
}

void MainWindow::showTurn(int index)
{
    if (index < 0 || index >= session.turns.size())
        return;
    // Guarded: the dialog goes with its parent if the window closes under it.
    QPointer<TurnDialog> dialog = new TurnDialog(&session.turns[index], &options, this);
    dialog->exec();
    delete dialog;
}

// The session plots.

void MainWindow::updateGraphs()
{
    plots->updateGraphs();
    updateStatistics(); // also when the range is the same and the ride is not
}

void MainWindow::updateStatistics()
{
    double from = 0.0, to = 0.0;
    plots->shownXRange(from, to);
    int first = 0, last = -1;
    session.rideIndex.samplesWithin(session, from, to, first, last);
    const RideStatistics stats = RideStatistics::of(session, session.rideIndex, first, last);
    ui->statisticsPanel->showStatistics(RideFigures::statistics(
        session, stats, [this](double x) { return plots->xLabel(x); }, plots->xUnit()));
}

void MainWindow::showReading(double x)
{
    const int sample = session.rideIndex.fits(session)
                           ? session.rideIndex.nearestSample(session, x)
                           : -1;
    if (sample < 0) {
        ui->statisticsPanel->hideReading();
        return;
    }
    ui->statisticsPanel->showReading(plots->xLabel(session.xData->at(sample)),
                                     RideFigures::reading(session, sample));
}

void MainWindow::copyStatistics()
{
    QGuiApplication::clipboard()->setText(
        RideFigures::tabSeparated(session.fileName, ui->statisticsPanel->statistics()));
}

void MainWindow::showCurve(QwtPlotItem *item, bool on)
{
    plots->showCurve(item, on);
}

void MainWindow::changeXAxis(int curr_cbox_index)
{
    if (curr_cbox_index == 0)
        session.setXChannel(SessionRecord::TimeChannel);
    else if (curr_cbox_index == 1)
        session.setXChannel(SessionRecord::SpaceChannel);
    updateXAxisScaleDraws();
    // A zoom over time means nothing over distance: the new mode starts
    // from the whole ride, with a zoom base of its own.
    plots->showWholeRide();
    updateGraphs();
}

// The chooser shows an item's two lines, mode and unit, whole: it is as wide
// as the widest line of its items.
void MainWindow::fitChooserToItems()
{
    QComboBox *chooser = ui->xAxisComboBox;
    const QFontMetrics metrics(chooser->font());
    int widest = 0;
    for (int i = 0; i < chooser->count(); ++i) {
        for (const QString &line : chooser->itemText(i).split(QLatin1Char('\n')))
            widest = qMax(widest, metrics.horizontalAdvance(line));
    }
    QStyleOptionComboBox option;
    option.initFrom(chooser);
    const QSize contents(widest, 2 * metrics.height());
    const int width = chooser->style()
                          ->sizeFromContents(QStyle::CT_ComboBox, &option, contents, chooser)
                          .width();
    chooser->setFixedWidth(qMax(width, chooser->minimumSizeHint().width()));
}

void MainWindow::updateXAxisScaleDraws()
{
    ui->xAxisComboBox->setItemText(0, tr("Time") + QStringLiteral("\n(")
                                          + TimeScaleDraw::unitFormat(options.time_unit)
                                          + QLatin1Char(')'));
    ui->xAxisComboBox->setItemText(1, tr("Space") + QStringLiteral("\n(")
                                          + SpaceScaleDraw::unitText(options.space_unit)
                                          + QLatin1Char(')'));
    fitChooserToItems();
    plots->updateXAxisScaleDraws(ui->xAxisComboBox->currentIndex());
}

// Output: KML and printing.

void MainWindow::exportKML()
{
    KmlExport::exportAs(this, session);
}

void MainWindow::viewInGoogleEarth()
{
    KmlExport::viewInGoogleEarth(session, options.googleEarthPath);
}

void MainWindow::exportForOtherPrograms()
{
    RideExport::exportAs(this, session);
}

void MainWindow::print()
{
    const std::unique_ptr<QPrinter> printer = PlotPrinter::createPrinter();
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

    const std::unique_ptr<QPrinter> printer = PlotPrinter::createPrinter();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(name);
    printTo(printer.get());
    QMessageBox::information(this, tr("Print status"), tr("Page printed to file: ") + name,
                             QMessageBox::Ok);
}

void MainWindow::printPreview()
{
    const std::unique_ptr<QPrinter> printer = PlotPrinter::createPrinter();
    // A window of its own, with the usual frame buttons, rather than a dialog
    // frame: the preview is worth maximising.
    QPrintPreviewDialog dialog(printer.get(), this, Qt::Window);
    // The dialog asks for the page again whenever its page set-up changes.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &MainWindow::printTo);
    dialog.exec();
}

void MainWindow::printTo(QPrinter *printer)
{
    PlotPrinter::paint(printer, *plots, session, options);
}
