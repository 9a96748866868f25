#ifndef VOK_MAINWINDOW_H
#define VOK_MAINWINDOW_H

#include "Options.h"
#include "SessionRecord.h"

#include <QMainWindow>
#include <qwt_plot_curve.h>

#include <array>
#include <memory>

class CanvasPicker;
class MyZoomer;
class OptionsDialog;
class QPrinter;
class QwtPlot;
class QwtPlotItem;

namespace Ui {
class MainWindow;
}

// The program's one top-level window: the logo column with the x-axis
// chooser, the three stacked session plots and the menus. It owns the loaded
// session and the options; its slots are the entry points of every user action.
// The plots, printing and KML export are implemented in their own source files
// (plots/SessionPlots.cpp, output/Printing.cpp, output/KmlExport.cpp).
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    const SessionRecord &sessionRecord() const { return session; }
    const Options &optionsRecord() const { return options; }

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

private:
    // Window shell and settings (MainWindow.cpp).
    bool confirmQuit();
    void readSettings();
    void writeSettings();

    // Session plots (plots/SessionPlots.cpp).
    void buildPlots();
    void decoratePlot(QwtPlot *plot);
    void applyPens();
    void updateXAxisScaleDraws();
    std::array<QwtPlot *, 3> sessionPlots() const; // top, center, bottom

    // Printing (output/Printing.cpp).
    QPrinter *createPrinter();

    Ui::MainWindow *ui;

    // The turn markers sit on the top plot in time mode only; held here so
    // that they are freed also while no plot owns them.
    std::unique_ptr<QwtPlotCurve> turnsCurve;
    // The eleven channel curves in channel order: power left, power right,
    // power total, offset left, offset right, up/down left, up/down right,
    // height, speed, heart rate, cadence.
    std::array<QwtPlotCurve *, SessionRecord::MeasuredChannelCount> channelCurves{};
    std::array<QwtPlotCurve *, 3> xRangeLines{}; // top, center, bottom
    std::array<MyZoomer *, 3> zoomers{};         // top, center, bottom
    CanvasPicker *picker = nullptr;

    SessionRecord session;
    Options options;
};

#endif
