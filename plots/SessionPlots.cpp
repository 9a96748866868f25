// The main window's three session plots: building them, handing them the
// session's arrays, the x-axis modes and curve visibility.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "Background.h"
#include "CanvasPicker.h"
#include "MyZoomer.h"
#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

void MainWindow::buildPlots()
{
}

void MainWindow::decoratePlot(QwtPlot *plot)
{
    Q_UNUSED(plot);
}

void MainWindow::applyPens()
{
}

void MainWindow::updateGraphs()
{
}

void MainWindow::showCurve(QwtPlotItem *item, bool on)
{
    Q_UNUSED(item);
    Q_UNUSED(on);
}

void MainWindow::changeXAxis(int curr_cbox_index)
{
    Q_UNUSED(curr_cbox_index);
}

void MainWindow::updateXAxisScaleDraws()
{
}
