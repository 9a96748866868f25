#ifndef VOK_MAINWINDOW_H
#define VOK_MAINWINDOW_H

#include "Options.h"
#include "RecentRides.h"
#include "SessionRecord.h"

#include <QMainWindow>

#include <memory>

class PedalStrokesWindow;
class QPrinter;
class QwtPlotItem;
class SessionPlots;

namespace Ui {
class MainWindow;
}

// The program's one top-level window: the logo column with the x-axis
// chooser, the three stacked session plots and the menus. It owns the loaded
// session and the options; its slots are the entry points of every user
// action, handing the work to the plots, the dialogs and the output classes.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    const SessionRecord &sessionRecord() const { return session; }
    const Options &optionsRecord() const { return options; }
    const RecentRides &recentRides() const { return recent; }

    // Reads the ride at path and refreshes the window, as File > "Open..."
    // does once a file is chosen: a file that cannot be read brings the
    // "Read error" warning. A ride read joins the recent rides. Returns
    // whether the read succeeded.
    bool openRide(const QString &path);

public slots:
    void open();
    void showOptions();
    void showTurn(int index);
    void exportKML();
    void viewInGoogleEarth();
    void print();
    void printPdf();
    void printPreview();
    void printTo(QPrinter *printer);
    void closeEvent(QCloseEvent *event) override;
    void updateGraphs();
    void showCurve(QwtPlotItem *item, bool on);
    void changeXAxis(int curr_cbox_index);
    void aboutVOK();
    void exportForOtherPrograms();
    // Tools > "Pedal strokes...": the window of every recorded revolution.
    void showPedalStrokes();
    // The statistics panel: the figures of the shown range, the reading of
    // the sample nearest to x, and Ctrl+C, which copies the figures as
    // tab-separated lines.
    void updateStatistics();
    void showReading(double x);
    void copyStatistics();

protected:
    // A single file dragged onto the window opens as a ride.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showRecentRides();
    void openRecentRide(const QString &path);
    bool confirmQuit();
    void readSettings();
    void writeSettings();
    void updateXAxisScaleDraws();
    void fitChooserToItems();
    void updatePedalStrokes();

    Ui::MainWindow *ui;
    SessionRecord session;
    Options options;
    RecentRides recent;
    // Destroyed before the form's plots, so that the turn markers it holds
    // leave their plot while it still exists.
    std::unique_ptr<SessionPlots> plots;
    // Made on first use; a child window, gone with this one.
    PedalStrokesWindow *strokesWindow = nullptr;
};

#endif
