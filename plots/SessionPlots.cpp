// The main window's three session plots: building them, handing them the
// session's arrays, the x-axis modes and curve visibility.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "Background.h"
#include "CanvasPicker.h"
#include "DenseCurve.h"
#include "MyZoomer.h"
#include "SpaceScaleDraw.h"
#include "TimeScaleDraw.h"

#include <QGuiApplication>
#include <QScreen>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

namespace {

enum PlotIndex { Top = 0, Center = 1, Bottom = 2 };

// The session channels in channel order: where each is plotted, under
// which title, and the curve key of its pen and visibility in the options.
struct ChannelCurve {
    const char *title;
    PlotIndex plot;
    const char *key;
};

const std::array<ChannelCurve, SessionRecord::MeasuredChannelCount> channelTable = {{
    {QT_TRANSLATE_NOOP("MainWindow", "Power Left (W)"), Top, "pl"},
    {QT_TRANSLATE_NOOP("MainWindow", "Power Right (W)"), Top, "pr"},
    {QT_TRANSLATE_NOOP("MainWindow", "Power Tot (W)"), Top, "ptot"},
    {QT_TRANSLATE_NOOP("MainWindow", "Offset Left (mm)"), Center, "ol"},
    {QT_TRANSLATE_NOOP("MainWindow", "Offset Right (mm)"), Center, "or"},
    {QT_TRANSLATE_NOOP("MainWindow", "Up/Down Left (%)"), Center, "udl"},
    {QT_TRANSLATE_NOOP("MainWindow", "Up/Down Right (%)"), Center, "udr"},
    {QT_TRANSLATE_NOOP("MainWindow", "Height (x 10m)"), Bottom, "height"},
    {QT_TRANSLATE_NOOP("MainWindow", "Speed (Km/h)"), Bottom, "speed"},
    {QT_TRANSLATE_NOOP("MainWindow", "Heart Rate (PPM)"), Bottom, "heart"},
    {QT_TRANSLATE_NOOP("MainWindow", "Cadenza (ped/min)"), Bottom, "cadenza"},
}};

constexpr int minimumPlotWidth = 300;

// Without samples the x axes span 0 to 30.
constexpr double emptyFirstX = 0.0;
constexpr double emptyLastX = 30.0;

QString curveKey(int channel)
{
    return QString::fromLatin1(channelTable[size_t(channel)].key);
}

} // namespace

std::array<QwtPlot *, 3> MainWindow::sessionPlots() const
{
    return {ui->qwtPlotTop, ui->qwtPlotCenter, ui->qwtPlotBottom};
}

void MainWindow::buildPlots()
{
    const std::array<QwtPlot *, 3> plots = sessionPlots();
    for (QwtPlot *plot : plots)
        decoratePlot(plot);

    // The three plots share one x axis: only the bottom one shows it.
    plots[Top]->axisWidget(QwtPlot::xBottom)->setMaximumHeight(0);
    plots[Center]->axisWidget(QwtPlot::xBottom)->setMaximumHeight(0);

    for (int channel = 0; channel < SessionRecord::MeasuredChannelCount; ++channel)
        channelCurves[size_t(channel)] = new DenseCurve(tr(channelTable[size_t(channel)].title));

    // A grey base line at y = 0 under the whole session on each plot: it
    // keeps the x range and 0 in view when every curve of a plot is hidden.
    // It has no legend entry; Qwt 6.1 only drops an entry when the item is
    // detached, so the attribute goes off before the item is attached.
    for (size_t i = 0; i < xRangeLines.size(); ++i) {
        xRangeLines[i] = new QwtPlotCurve(tr("2-points line just for updating xAxis"));
        xRangeLines[i]->setPen(QPen(QColor(Qt::gray), 0.0));
        xRangeLines[i]->setItemAttribute(QwtPlotItem::Legend, false);
        xRangeLines[i]->attach(plots[i]);
    }

    // One heavy black dot per single-turn file along the top of the power plot.
    const QPen turnPen(QBrush(Qt::black, Qt::SolidPattern), 10.0, Qt::SolidLine, Qt::RoundCap,
                       Qt::RoundJoin);
    turnsCurve = std::make_unique<QwtPlotCurve>(tr("Turns"));
    turnsCurve->setPen(turnPen);
    turnsCurve->setStyle(QwtPlotCurve::Dots);
    turnsCurve->setSymbol(new QwtSymbol(QwtSymbol::Diamond, QBrush(), turnPen, QSize(3, 3)));
    turnsCurve->setItemAttribute(QwtPlotItem::Legend, false);

    picker = new CanvasPicker(plots[Top], turnsCurve.get());
    connect(picker, &CanvasPicker::pointClicked, this, &MainWindow::showTurn);

    for (size_t i = 0; i < zoomers.size(); ++i) {
        zoomers[i] = new MyZoomer(plots[i]->canvas());
        zoomers[i]->scaleDraw = plots[i]->axisScaleDraw(QwtPlot::xBottom);
    }
    // A zoom on any plot gives the other two its x range; setZooms does not
    // announce anything itself, so this cannot loop.
    for (MyZoomer *sender : zoomers) {
        for (MyZoomer *receiver : zoomers) {
            if (receiver != sender)
                connect(sender, &MyZoomer::zoomChanged, receiver, &MyZoomer::setZooms);
        }
    }

    for (int channel = 0; channel <= SessionRecord::PowerTotChannel; ++channel)
        channelCurves[size_t(channel)]->attach(plots[Top]);
    turnsCurve->attach(plots[Top]);
    for (int channel = SessionRecord::PowerTotChannel + 1; channel < SessionRecord::MeasuredChannelCount;
         ++channel)
        channelCurves[size_t(channel)]->attach(plots[channelTable[size_t(channel)].plot]);

    for (int channel = 0; channel <= SessionRecord::PowerTotChannel; ++channel)
        showCurve(channelCurves[size_t(channel)], options.visible(curveKey(channel)));
    showCurve(turnsCurve.get(), options.x_axis_type == 0);
    for (int channel = SessionRecord::PowerTotChannel + 1; channel < SessionRecord::MeasuredChannelCount;
         ++channel)
        showCurve(channelCurves[size_t(channel)], options.visible(curveKey(channel)));

    changeXAxis(options.x_axis_type);
    applyPens();
    updateXAxisScaleDraws();
}

void MainWindow::decoratePlot(QwtPlot *plot)
{
    // Three plots one above the other fit on the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        plot->setMaximumHeight((screen->geometry().height() - 100) / 3);
    // Left to itself, the x axis asks for the width of all its labels side
    // by side (some 750 pixels of clock times), which would keep the window
    // from getting narrower; below that the labels crowd instead.
    plot->setMinimumWidth(minimumPlotWidth);

    plot->setAxisMaxMajor(QwtPlot::xBottom, 10);
    plot->setAxisMaxMinor(QwtPlot::xBottom, 5);
    plot->setCanvasBackground(QBrush(QColor(255, 255, 255, 255)));
    // One width for the three left axes, so that the canvases line up.
    plot->axisScaleDraw(QwtPlot::yLeft)->setMinimumExtent(50);

    auto *background = new Background;
    background->attach(plot);

    auto *grid = new QwtPlotGrid;
    grid->enableXMin(true);
    grid->enableYMin(true);
    grid->setMajorPen(
        QPen(QBrush(Qt::gray, Qt::SolidPattern), 1.3, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    grid->setMinorPen(QPen(QBrush(Qt::lightGray, Qt::SolidPattern), 1.3, Qt::SolidLine,
                           Qt::SquareCap, Qt::RoundJoin));
    grid->attach(plot);

    auto *legend = new QwtLegend;
    legend->setDefaultItemMode(QwtLegendData::Checkable);
    plot->insertLegend(legend, QwtPlot::TopLegend, -1.0);
    connect(legend, &QwtLegend::checked, this, [this, plot](const QVariant &itemInfo, bool on, int) {
        if (QwtPlotItem *item = plot->infoToItem(itemInfo))
            showCurve(item, on);
    });
}

void MainWindow::applyPens()
{
    for (int channel = 0; channel < SessionRecord::MeasuredChannelCount; ++channel)
        channelCurves[size_t(channel)]->setPen(options.pen(curveKey(channel)));
}

void MainWindow::updateGraphs()
{
    // The channel curves read the record's arrays in place: they follow a
    // read by themselves, and a failed one leaves them with fewer samples,
    // never with freed storage.
    const QVector<double> *x = session.xData;
    for (int channel = 0; channel < SessionRecord::MeasuredChannelCount; ++channel) {
        static_cast<DenseCurve *>(channelCurves[size_t(channel)])
            ->setArrays(x, session.channel(channel));
    }

    const int n = session.sampleCount();
    const double firstX = n > 0 ? x->constFirst() : emptyFirstX;
    const double lastX = n > 0 ? x->constLast() : emptyLastX;
    const double lineX[2] = {firstX, lastX};
    const double lineY[2] = {0.0, 0.0};
    for (QwtPlotCurve *line : xRangeLines)
        line->setSamples(lineX, lineY, 2);

    // An un-zoomed plot shows the whole session; with one sample the step
    // is 0, which asks the scale engine for a step of its own.
    const std::array<QwtPlot *, 3> plots = sessionPlots();
    const double step = (lastX - firstX) / 10.0;
    auto showWholeSession = [&](QwtPlot *plot) {
        plot->setAxisScale(QwtPlot::xBottom, firstX, lastX, step);
        plot->setAxisAutoScale(QwtPlot::yLeft);
    };
    if (zoomers[Top]->zoomRectIndex() == 0) {
        showWholeSession(plots[Top]);
    } else {
        // The other two follow a zoomed top plot, keeping their own y.
        const QStack<QRectF> &stack = zoomers[Top]->zoomStack();
        zoomers[Center]->setZooms(stack, uint(stack.size() - 1));
        zoomers[Bottom]->setZooms(stack, uint(stack.size() - 1));
    }
    for (int i : {Center, Bottom}) {
        if (zoomers[size_t(i)]->zoomRectIndex() == 0)
            showWholeSession(plots[size_t(i)]);
    }

    // The turn markers stand at the moments their files were recorded,
    // along the top edge of the power plot, and only on a time axis.
    turnsCurve->detach();
    if (session.xChannel == SessionRecord::TimeChannel) {
        plots[Top]->replot(); // brings the y scale up to date
        const double top = plots[Top]->axisScaleDiv(QwtPlot::yLeft).upperBound();
        QVector<QPointF> markers;
        markers.reserve(session.turns.size());
        for (const TurnRecord &turn : session.turns)
            markers.append(QPointF(double(session.startDateTime.secsTo(turn.timestamp)), top));
        turnsCurve->setSamples(markers);
        turnsCurve->attach(plots[Top]);
    }

    plots[Bottom]->replot();
    plots[Center]->replot();
    plots[Top]->replot();

    // An un-zoomed plot takes its new scales as its zoom base.
    for (MyZoomer *zoomer : zoomers) {
        if (zoomer->zoomRectIndex() == 0)
            zoomer->setZoomBase(false);
    }
}

void MainWindow::showCurve(QwtPlotItem *item, bool on)
{
    item->setVisible(on);

    // Keep the legend's check box in step (setChecked does not emit checked).
    for (QwtPlot *plot : sessionPlots()) {
        auto *legend = qobject_cast<QwtLegend *>(plot->legend());
        QWidget *widget = legend ? legend->legendWidget(plot->itemToInfo(item)) : nullptr;
        if (widget) {
            if (auto *label = qobject_cast<QwtLegendLabel *>(widget))
                label->setChecked(on);
            break;
        }
    }

    if (QwtPlot *plot = item->plot())
        plot->replot();
}

void MainWindow::changeXAxis(int curr_cbox_index)
{
    if (curr_cbox_index == 0)
        session.setXChannel(SessionRecord::TimeChannel);
    else if (curr_cbox_index == 1)
        session.setXChannel(SessionRecord::SpaceChannel);
    updateXAxisScaleDraws();
    updateGraphs();
}

void MainWindow::updateXAxisScaleDraws()
{
    const QString timeUnit = TimeScaleDraw::unitFormat(options.time_unit);
    ui->xAxisComboBox->setItemText(0, tr("Time") + QStringLiteral("\n(") + timeUnit
                                          + QLatin1Char(')'));
    ui->xAxisComboBox->setItemText(1, tr("Space") + QStringLiteral("\n(")
                                          + SpaceScaleDraw::unitText(options.space_unit)
                                          + QLatin1Char(')'));

    const std::array<QwtPlot *, 3> plots = sessionPlots();
    const int mode = ui->xAxisComboBox->currentIndex();
    if (mode != 0 && mode != 1)
        return;

    // A clock time needs a start time; before any session there is none,
    // and the axis counts from midnight rather than showing no labels.
    QTime base(0, 0, 0, 0);
    if (!options.time_start_relative && session.startDateTime.time().isValid())
        base = session.startDateTime.time();
    const double offset = options.space_start_relative ? 0.0 : session.startKm;
    const double factor = SpaceScaleDraw::unitFactor(options.space_unit);

    for (int i : {Bottom, Center, Top}) {
        QwtScaleDraw *draw = nullptr;
        if (mode == 0)
            draw = new TimeScaleDraw(base, timeUnit);
        else
            draw = new SpaceScaleDraw(offset, factor);
        // The zoomer labels its tracker with the same scale draw; it must
        // let go of the old one before the plot deletes it.
        zoomers[size_t(i)]->scaleDraw = draw;
        plots[size_t(i)]->setAxisScaleDraw(QwtPlot::xBottom, draw);
    }
}
