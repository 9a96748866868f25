#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "HelpBrowser.h"
#include "OptionsDialog.h"
#include "TurnDialog.h"

#include <QCloseEvent>
#include <QMessageBox>
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
}

void MainWindow::showTurn(int index)
{
    Q_UNUSED(index);
}
