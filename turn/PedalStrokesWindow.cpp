#include "PedalStrokesWindow.h"
#include "ui_PedalStrokesWindow.h"

#include "DenseCurve.h"
#include "PedalStroke.h"
#include "PedalStrokesModel.h"
#include "SessionRecord.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <cmath>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_marker.h>
#include <QKeyEvent>
#include <QResizeEvent>

namespace {

constexpr double radiansPerDegree = 3.14159265358979323846 / 180.0;

QPen legPen(Qt::GlobalColor color, double width)
{
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A resampled curve of whole degrees as points, closed at 360 degrees.
QPolygonF degreeCurve(const QVector<double> &forces, bool polar, double zeroRadius)
{
    QPolygonF points;
    for (int degree = 0; degree <= PedalStroke::degrees; ++degree) {
        const double force = forces.value(degree % PedalStroke::degrees, qQNaN());
        if (!std::isfinite(force))
            continue;
        points << (polar ? PedalStrokesWindow::polarPoint(degree, force, zeroRadius)
                         : QPointF(degree, force));
    }
    return points;
}

} // namespace

PedalStrokesWindow::PedalStrokesWindow(const SessionRecord &session, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui::PedalStrokesWindow)
    , session(session)
    , strokes(new PedalStrokesModel(this))
    , leftTurns(new DenseCurve(tr("Left")))
    , rightTurns(new DenseCurve(tr("Right")))
    , leftAverage(new QwtPlotCurve(tr("Left, average")))
    , rightAverage(new QwtPlotCurve(tr("Right, average")))
    , zeroCircle(new QwtPlotCurve(tr("Zero force")))
{
    ui->setupUi(this);
    ui->strokeTable->setModel(strokes);
    // Column widths from the first rows: measuring thousands would take long.
    ui->strokeTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->strokeTable->horizontalHeader()->setResizeContentsPrecision(50);
    ui->strokeTable->verticalHeader()->setVisible(false);
    ui->strokeTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    QwtPlot *plot = ui->strokePlot;
    plot->setCanvasBackground(Qt::white);
    grid = new QwtPlotGrid;
    grid->setMajorPen(QPen(Qt::lightGray, 0.0));
    grid->attach(plot);
    // Where the crank angles lie round the polar view.
    for (int degree = 0; degree < 360; degree += 90) {
        auto *marker = new QwtPlotMarker;
        marker->setLabel(QwtText(QStringLiteral("%1°").arg(degree)));
        angleMarkers.append(marker);
        marker->attach(plot);
    }
    leftTurns->setPen(legPen(Qt::red, 0.0));
    rightTurns->setPen(legPen(Qt::blue, 0.0));
    leftAverage->setPen(legPen(Qt::darkRed, 3.0));
    rightAverage->setPen(legPen(Qt::darkBlue, 3.0));
    zeroCircle->setPen(QPen(Qt::gray, 1.0, Qt::DashLine));
    for (QwtPlotCurve *curve : {zeroCircle, static_cast<QwtPlotCurve *>(leftTurns),
                                static_cast<QwtPlotCurve *>(rightTurns), leftAverage, rightAverage}) {
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, curve == leftAverage || curve == rightAverage);
        curve->attach(plot);
    }
    leftTurns->setArrays(&leftX, &leftY);
    rightTurns->setArrays(&rightX, &rightY);
    plot->canvas()->installEventFilter(this);
    ui->strokeTable->installEventFilter(this);

    connect(ui->strokeTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PedalStrokesWindow::redraw);
    connect(ui->polarCheckBox, &QCheckBox::toggled, this, &PedalStrokesWindow::redraw);
    connect(ui->followCheckBox, &QCheckBox::toggled, this, [this] { listTurns(false); });
    connect(ui->strokeTable, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { emit turnActivated(strokes->turnOf(index.row())); });
    auto *copyAction = new QAction(this);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WindowShortcut);
    connect(copyAction, &QAction::triggered, this, &PedalStrokesWindow::copy);
    addAction(copyAction);
}

PedalStrokesWindow::~PedalStrokesWindow()
{
    delete ui;
}

void PedalStrokesWindow::setRide(std::function<QString(double)> timeLabel)
{
    strokes->setRide(session, std::move(timeLabel));
    listTurns(true);
}

void PedalStrokesWindow::followPlots(double from, double to)
{
    shownFrom = from;
    shownTo = to;
    shownKnown = true;
    if (ui->followCheckBox->isChecked())
        listTurns(false);
}

void PedalStrokesWindow::listTurns(bool anew)
{
    const bool all = !ui->followCheckBox->isChecked() || !shownKnown;
    if (strokes->showRange(all, shownFrom, shownTo) || anew) {
        ui->summaryLabel->setText(tr("%n turn(s) listed", nullptr, strokes->rowCount()));
        redraw();
    }
}

void PedalStrokesWindow::copy()
{
    QList<int> rows;
    for (const QModelIndex &index : ui->strokeTable->selectionModel()->selectedRows())
        rows << index.row();
    QApplication::clipboard()->setText(strokes->text(rows));
}

QPointF PedalStrokesWindow::polarPoint(double degrees, double force, double zeroRadius)
{
    const double radius = zeroRadius + force;
    return QPointF(radius * std::sin(degrees * radiansPerDegree),
                   radius * std::cos(degrees * radiansPerDegree));
}

// Equal scales both ways, so that a circle stays round in any window.
void PedalStrokesWindow::fitPolarScales()
{
    QwtPlot *plot = ui->strokePlot;
    const QSize size = plot->canvas()->size();
    const double aspect = size.height() > 0 ? double(size.width()) / size.height() : 1.0;
    plot->setAxisScale(QwtPlot::xBottom, -polarReach * std::max(1.0, aspect),
                       polarReach * std::max(1.0, aspect));
    plot->setAxisScale(QwtPlot::yLeft, -polarReach * std::max(1.0, 1.0 / aspect),
                       polarReach * std::max(1.0, 1.0 / aspect));
}

bool PedalStrokesWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The table would copy its current cell; Ctrl+C copies the rows.
    if (watched == ui->strokeTable && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    if (event->type() == QEvent::Resize && watched == ui->strokePlot->canvas()
        && ui->polarCheckBox->isChecked()) {
        fitPolarScales();
        ui->strokePlot->replot();
    }
    return QWidget::eventFilter(watched, event);
}

void PedalStrokesWindow::redraw()
{
    QList<int> rows;
    for (const QModelIndex &index : ui->strokeTable->selectionModel()->selectedRows())
        rows << index.row();
    const bool selected = !rows.isEmpty();
    if (!selected) {
        for (int row = 0; row < strokes->rowCount(); ++row)
            rows << row;
    }

    // How far below zero the forces go, and how far above.
    double lowest = 0.0, highest = 1.0;
    for (int row : rows) {
        const TurnRecord &record = session.turns.at(strokes->turnOf(row));
        for (const QVector<double> *forces : {&record.forceLeft, &record.forceRight}) {
            for (double force : *forces) {
                if (std::isfinite(force)) {
                    lowest = std::min(lowest, force);
                    highest = std::max(highest, force);
                }
            }
        }
    }
    const bool polar = ui->polarCheckBox->isChecked();
    const double zeroRadius = std::max(-lowest, 0.0) + 0.25 * highest;

    // The selected turns one after another, broken between turns.
    for (QVector<double> *points : {&leftX, &leftY, &rightX, &rightY})
        points->clear();
    QVector<int> starts;
    if (selected) {
        for (int row : rows) {
            const TurnRecord &turn = session.turns.at(strokes->turnOf(row));
            starts << leftX.size();
            const int n = std::min({turn.angle.size(), turn.forceLeft.size(), turn.forceRight.size()});
            for (int i = 0; i < n; ++i) {
                const QPointF left = polar ? polarPoint(turn.angle[i], turn.forceLeft[i], zeroRadius)
                                           : QPointF(turn.angle[i], turn.forceLeft[i]);
                const QPointF right = polar ? polarPoint(turn.angle[i], turn.forceRight[i], zeroRadius)
                                            : QPointF(turn.angle[i], turn.forceRight[i]);
                leftX << left.x();
                leftY << left.y();
                rightX << right.x();
                rightY << right.y();
            }
        }
    }
    leftTurns->setArrays(&leftX, &leftY);
    rightTurns->setArrays(&rightX, &rightY);
    leftTurns->setBreaks(starts);
    rightTurns->setBreaks(starts);
    leftAverage->setSamples(degreeCurve(strokes->average(rows, 0), polar, zeroRadius));
    rightAverage->setSamples(degreeCurve(strokes->average(rows, 1), polar, zeroRadius));

    QwtPlot *plot = ui->strokePlot;
    QPolygonF circle;
    if (polar) {
        for (int degree = 0; degree <= 360; degree += 2)
            circle << polarPoint(degree, 0.0, zeroRadius);
    }
    zeroCircle->setSamples(circle);
    grid->setVisible(!polar);
    for (int i = 0; i < angleMarkers.size(); ++i) {
        angleMarkers[i]->setVisible(polar);
        angleMarkers[i]->setValue(polarPoint(90.0 * i, highest, zeroRadius * 1.02));
    }
    plot->enableAxis(QwtPlot::xBottom, !polar);
    plot->enableAxis(QwtPlot::yLeft, !polar);
    if (polar) {
        polarReach = zeroRadius + highest;
        fitPolarScales();
    } else {
        plot->setAxisScale(QwtPlot::xBottom, 0.0, 360.0, 45.0);
        plot->setAxisAutoScale(QwtPlot::yLeft);
        plot->setAxisTitle(QwtPlot::xBottom, tr("Crank angle (°)"));
        plot->setAxisTitle(QwtPlot::yLeft, tr("Force"));
    }
    plot->replot();
}
