#include "TurnDialog.h"
#include "ui_TurnDialog.h"

#include "MyZoomer.h"
#include "Options.h"
#include "PlotDecoration.h"
#include "TurnRecord.h"
#include "WindowPlacement.h"

#include <QFileInfo>
#include <qwt_plot_curve.h>

QPoint TurnDialog::rememberedPos(0, 0);
QSize TurnDialog::rememberedSize(-1, -1);

TurnDialog::TurnDialog(TurnRecord *turn, Options *options, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TurnDialog)
    , turn(turn)
    , options(options)
{
    ui->setupUi(this);
    // A plot asks for room for every tick label and, left to grow only, would
    // make that its minimum: the dialog could then neither open at the
    // remembered size nor be made smaller than the labels would like.
    ui->qwtPlot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Until the settings have been read there is nothing to remember, and
    // the dialog opens where the window system puts it.
    if (rememberedSize.isValid()) {
        resize(rememberedSize);
        move(rememberedPos);
    }
    const QString path = turn->path.isEmpty() ? QString()
                                              : QFileInfo(turn->path).absoluteFilePath();
    setWindowTitle(QStringLiteral("VOK - ") + path);

    QwtPlot *plot = ui->qwtPlot;
    PlotDecoration::decorate(plot, [this](QwtPlotItem *item, bool on) { showCurve(item, on); });

    // The curves show the record's arrays against the crank angle in place.
    for (const Channel &channel : Channel::turnCurves()) {
        const QVector<double> &y = *channel.data(*turn);
        auto *curve = new QwtPlotCurve(channel.titleText());
        curve->setRawSamples(turn->angle.constData(), y.constData(), qMin(turn->angle.size(), y.size()));
        curve->setPen(options->pen(channel.id));
        curve->attach(plot);
        curves[size_t(channel.id - Channel::SessionCount)] = curve;
    }

    zoomer = new MyZoomer(plot->canvas());
    // A plain scale draw: the tracker shows the angle as a plain number.
    zoomer->scaleDraw = plot->axisScaleDraw(QwtPlot::xBottom);
    // Back at the base the zoomer restores the range but lets the axis pick
    // its own steps; the full view is always labelled every 45 degrees.
    connect(zoomer, &QwtPlotZoomer::zoomed, this, [this] {
        if (zoomer->zoomRectIndex() == 0) {
            showFullRevolution();
            ui->qwtPlot->replot();
        }
    });

    for (const Channel &channel : Channel::turnCurves())
        showCurve(curves[size_t(channel.id - Channel::SessionCount)], options->visible(channel.id));
    updateGraph();
}

TurnDialog::~TurnDialog()
{
    for (const Channel &channel : Channel::turnCurves())
        options->visible(channel.id) = curves[size_t(channel.id - Channel::SessionCount)]->isVisible();
    rememberedPos = pos();
    rememberedSize = size();
    delete ui;
}

void TurnDialog::updateGraph()
{
    QwtPlot *plot = ui->qwtPlot;
    // A zoomed view is left alone; the full view is always one revolution.
    if (zoomer->zoomRectIndex() == 0)
        showFullRevolution();
    plot->replot();
    if (zoomer->zoomRectIndex() == 0)
        zoomer->setZoomBase(false);
}

void TurnDialog::showFullRevolution()
{
    ui->qwtPlot->setAxisScale(QwtPlot::xBottom, 0.0, 360.0, 45.0);
}

void TurnDialog::showCurve(QwtPlotItem *item, bool on)
{
    PlotDecoration::showCurve(item, on);
}

void TurnDialog::readSettings()
{
    const WindowPlacement placement
        = WindowPlacement::read(QStringLiteral("turndialog"), QSize(640, 360));
    rememberedSize = placement.size;
    rememberedPos = placement.pos;
}

// Also written when no dialog was opened in this run: then what was read at
// start-up goes back unchanged.
void TurnDialog::writeSettings()
{
    WindowPlacement{rememberedSize, rememberedPos}.write(QStringLiteral("turndialog"));
}
