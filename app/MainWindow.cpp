#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "HelpBrowser.h"
#include "MyZoomer.h"
#include "OptionsDialog.h"
#include "TurnDialog.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <kwidgetsaddons_version.h>
#include <qwt_global.h>
#include <qwt_plot_curve.h>

namespace {

// Whether any part of rect lies on the available area of a screen. A position
// saved while a second monitor was attached must not put the window out of
// reach once that monitor is gone.
bool isOnAScreen(const QRect &rect)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return true;
    for (const QScreen *screen : screens) {
        if (screen->availableGeometry().intersects(rect))
            return true;
    }
    return false;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    connect(ui->actionIndex_2, &QAction::triggered, this, [this] { HelpBrowser::showGuide(this); });
    // The options are loaded before the plots exist, so that the curves are
    // created with the stored pens and visibility.
    readSettings();
    buildPlots();
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
    if (path.isEmpty())
        return;

    if (!session.read(path)) {
        // The read has emptied and refilled the arrays the curves draw from,
        // and may have moved them; the message box runs an event loop that
        // repaints the plots. Hand the curves what the record holds now first.
        updateGraphs();
        QMessageBox::warning(this, tr("Read error"),
                             tr("The selected dataset could not be loaded:\n"
                                "--> unknown file format"));
    }

    // The same refresh after a failed read as after a good one: the reader
    // leaves no x data selected, and the plots show whatever the record holds.
    changeXAxis(ui->xAxisComboBox->currentIndex());
    if (zoomers[0])
        zoomers[0]->zoom(0);
    updateGraphs();
    setWindowTitle(QStringLiteral("VOK - ") + path);
    ui->xAxisComboBox->setEnabled(true);
    ui->actionExport_as_KML->setEnabled(true);
    ui->actionView_in_GoogleEarth->setEnabled(true);
    ui->actionPrint->setEnabled(true);
    ui->actionPrint_preview->setEnabled(true);
    ui->actionPrint_as_pdf->setEnabled(true);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!confirmQuit()) {
        event->ignore();
        return;
    }

    // Legend clicks change only the curves; the options learn their
    // visibility here, so that the next run starts with the same curves shown.
    static const char *const channelKeys[SessionRecord::MeasuredChannelCount]
        = {"pl", "pr", "ptot", "ol", "or", "udl", "udr", "height", "speed", "heart", "cadenza"};
    for (int channel = 0; channel < SessionRecord::MeasuredChannelCount; ++channel) {
        if (const QwtPlotCurve *curve = channelCurves[channel])
            options.visible(QLatin1String(channelKeys[channel])) = curve->isVisible();
    }

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

    QSettings settings;
    settings.beginGroup(QStringLiteral("mainwindow"));
    settings.beginGroup(QStringLiteral("widget"));

    const QSize defaultSize(800, 600);
    const QSize storedSize = settings.value(QStringLiteral("size"), defaultSize).toSize();
    resize(storedSize.isEmpty() ? defaultSize : storedSize);

    QRect centred = frameGeometry();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        centred.moveCenter(screen->availableGeometry().center());
    QPoint position = settings.value(QStringLiteral("pos"), centred.topLeft()).toPoint();
    if (!isOnAScreen(QRect(position, centred.size())))
        position = centred.topLeft();
    move(position);

    // Size and position above are the normal geometry the window returns to
    // when it is un-maximized.
    if (settings.value(QStringLiteral("maximized"), false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);

    settings.endGroup();
    settings.endGroup();

    TurnDialog::readSettings();
}

void MainWindow::writeSettings()
{
    saveOptions(options);

    QSettings settings;
    settings.beginGroup(QStringLiteral("mainwindow"));
    settings.beginGroup(QStringLiteral("widget"));
    // A maximized window keeps the normal size and position stored by an
    // earlier run, so that un-maximizing after the next start restores them.
    const bool maximized = isMaximized();
    if (!maximized) {
        settings.setValue(QStringLiteral("size"), size());
        settings.setValue(QStringLiteral("pos"), pos());
    }
    settings.setValue(QStringLiteral("maximized"), maximized);
    settings.endGroup();
    settings.endGroup();

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
    applyPens();
    updateXAxisScaleDraws();
    updateGraphs();
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
