#ifndef VOK_PEDALSTROKESWINDOW_H
#define VOK_PEDALSTROKESWINDOW_H

#include <QPointF>
#include <QVector>
#include <QWidget>

#include <functional>

class DenseCurve;
class PedalStrokesModel;
class QwtPlotCurve;
class QwtPlotGrid;
class QwtPlotMarker;
class SessionRecord;

namespace Ui {
class PedalStrokesWindow;
}

// Every recorded revolution of the ride side by side: a table of the
// metrics of each turn, and a plot of the force of both legs over the crank
// angle, for the selected turns with their average (or, with none selected,
// the average of all listed), straight or as a polar diagram.
class PedalStrokesWindow : public QWidget
{
    Q_OBJECT

public:
    // session must outlive the window; it is read again by setRide.
    PedalStrokesWindow(const SessionRecord &session, QWidget *parent);
    ~PedalStrokesWindow() override;

    // After a read: the turns of the session, timed as timeLabel writes it.
    void setRide(std::function<QString(double)> timeLabel);

    const PedalStrokesModel *model() const { return strokes; }
    // The curves drawn: the selected turns of each leg (broken between
    // turns) and the two averages.
    const DenseCurve *turnCurve(int leg) const { return leg == 0 ? leftTurns : rightTurns; }
    const QwtPlotCurve *averageCurve(int leg) const { return leg == 0 ? leftAverage : rightAverage; }

    // Where the polar view puts a force at a crank angle: 0 degrees at the
    // top, going round clockwise, the force counted outward from a circle of
    // zeroRadius, so that a negative force lies inside it.
    static QPointF polarPoint(double degrees, double force, double zeroRadius);

public slots:
    // The session plots show the ride from `from` to `to` seconds.
    void followPlots(double from, double to);
    // The selected rows, or all, as tab-separated text on the clipboard.
    void copy();

protected:
    // The polar view keeps its circles round as the window changes size;
    // Ctrl+C in the table copies rows, not a cell.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A row was double-clicked: the index of its turn in the session.
    void turnActivated(int index);

private:
    // Lists the turns to show; redraws when the list changed, or anew.
    void listTurns(bool anew);
    void redraw();
    void fitPolarScales();

    Ui::PedalStrokesWindow *ui;
    const SessionRecord &session;
    PedalStrokesModel *strokes;
    double shownFrom = 0.0;
    double shownTo = 0.0;
    bool shownKnown = false;
    // The curves draw from these arrays in place.
    QVector<double> leftX, leftY, rightX, rightY;
    DenseCurve *leftTurns;
    DenseCurve *rightTurns;
    QwtPlotCurve *leftAverage;
    QwtPlotCurve *rightAverage;
    QwtPlotCurve *zeroCircle;
    QwtPlotGrid *grid;
    QVector<QwtPlotMarker *> angleMarkers;
    double polarReach = 1.0; // the largest radius of the polar view
};

#endif
