#include "TurnDialog.h"
#include "ui_TurnDialog.h"

#include "Background.h"
#include "MyZoomer.h"
#include "Options.h"
#include "TurnRecord.h"

#include <QFileInfo>
#include <QSettings>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>

QPoint TurnDialog::rememberedPos(0, 0);
QSize TurnDialog::rememberedSize(-1, -1);

namespace {

QPen gridPen(Qt::GlobalColor color)
{
    return QPen(QBrush(color, Qt::SolidPattern), 1.3, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
}

// A curve that shows y against the crank angle straight from the record's
// arrays, without copying them.
QwtPlotCurve *angleCurve(const QString &title, const QVector<double> &angle,
                         const QVector<double> &y)
{
    auto *curve = new QwtPlotCurve(title);
    curve->setRawSamples(angle.constData(), y.constData(), qMin(angle.size(), y.size()));
    return curve;
}

} // namespace

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
    auto *background = new Background;
    background->attach(plot);
    plot->setAxisMaxMinor(QwtPlot::xBottom, 5);
    plot->setAxisMaxMajor(QwtPlot::xBottom, 10);
    plot->setCanvasBackground(QBrush(QColor(255, 255, 255, 255)));

    grid = new QwtPlotGrid;
    grid->enableXMin(true);
    grid->enableYMin(true);
    grid->setMajorPen(gridPen(Qt::gray));
    grid->setMinorPen(gridPen(Qt::lightGray));
    grid->attach(plot);

    powerCurve = angleCurve(QStringLiteral("Power Tot"), turn->angle, turn->power);
    forceLeftCurve = angleCurve(QStringLiteral("Force Left"), turn->angle, turn->forceLeft);
    forceRightCurve = angleCurve(QStringLiteral("Force Right"), turn->angle, turn->forceRight);
    powerCurve->attach(plot);
    forceLeftCurve->attach(plot);
    forceRightCurve->attach(plot);
    powerCurve->setPen(options->t_ptot);
    forceLeftCurve->setPen(options->t_fl);
    forceRightCurve->setPen(options->t_fr);

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

    auto *legend = new QwtLegend;
    legend->setDefaultItemMode(QwtLegendData::Checkable);
    plot->insertLegend(legend, QwtPlot::TopLegend);
    connect(legend, &QwtLegend::checked, this, [this](const QVariant &itemInfo, bool on, int) {
        showCurve(ui->qwtPlot->infoToItem(itemInfo), on);
    });

    showCurve(powerCurve, options->t_ptot_visible);
    showCurve(forceLeftCurve, options->t_fl_visible);
    showCurve(forceRightCurve, options->t_fr_visible);
    updateGraph();
}

TurnDialog::~TurnDialog()
{
    options->t_ptot_visible = powerCurve->isVisible();
    options->t_fl_visible = forceLeftCurve->isVisible();
    options->t_fr_visible = forceRightCurve->isVisible();
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
    if (!item)
        return;
    item->setVisible(on);
    QwtPlot *plot = item->plot();
    if (!plot)
        return;
    if (auto *legend = qobject_cast<QwtLegend *>(plot->legend())) {
        QWidget *entry = legend->legendWidget(plot->itemToInfo(item));
        if (auto *label = qobject_cast<QwtLegendLabel *>(entry))
            label->setChecked(on);
    }
    plot->replot();
}

// Remembered geometry.

#include <QGuiApplication>
#include <QScreen>

void TurnDialog::readSettings()
{
    const QSize defaultSize(640, 360);
    QSettings settings;
    settings.beginGroup(QStringLiteral("turndialog"));
    settings.beginGroup(QStringLiteral("widget"));

    rememberedSize = settings.value(QStringLiteral("size"), defaultSize).toSize();
    // A damaged entry would give the dialog no area at all.
    if (rememberedSize.isEmpty())
        rememberedSize = defaultSize;

    QRect centred(QPoint(0, 0), rememberedSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        centred.moveCenter(screen->availableGeometry().center());
    rememberedPos = settings.value(QStringLiteral("pos"), centred.topLeft()).toPoint();

    settings.endGroup();
    settings.endGroup();
}

// Also written when no dialog was opened in this run: then what was read at
// start-up goes back unchanged.
void TurnDialog::writeSettings()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("turndialog"));
    settings.beginGroup(QStringLiteral("widget"));
    settings.setValue(QStringLiteral("size"), rememberedSize);
    settings.setValue(QStringLiteral("pos"), rememberedPos);
    settings.endGroup();
    settings.endGroup();
}
