#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "HelpBrowser.h"
#include "OptionsDialog.h"
#include "TurnDialog.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPointer>
#include <kwidgetsaddons_version.h>
#include <qwt_global.h>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    connect(ui->actionIndex_2, &QAction::triggered, this, [this] { HelpBrowser::showGuide(this); });
    readSettings();
    buildPlots();
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::open()
{
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
}

bool MainWindow::confirmQuit()
{
    return true;
}

void MainWindow::readSettings()
{
}

void MainWindow::writeSettings()
{
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
