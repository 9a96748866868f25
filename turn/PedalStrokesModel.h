#ifndef VOK_PEDALSTROKESMODEL_H
#define VOK_PEDALSTROKESMODEL_H

#include "PedalStroke.h"

#include <QAbstractTableModel>
#include <QVector>

#include <functional>

class SessionRecord;

// The table of the pedal strokes window: one row per single-turn file of the
// ride, in time order, with the metrics of both legs. Which turns it lists
// can be narrowed to an x range of the session plots.
class PedalStrokesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Time,
        LeftPeak, LeftPeakAngle, LeftMean, LeftMinimum, LeftSmoothness,
        RightPeak, RightPeakAngle, RightMean, RightMinimum, RightSmoothness,
        LeftShare,
        File,
        ColumnCount
    };

    explicit PedalStrokesModel(QObject *parent = nullptr);

    // Works out the metrics of every turn of the session once; timeLabel
    // writes a time as the x axis labels it.
    void setRide(const SessionRecord &session, std::function<QString(double)> timeLabel);
    // Lists the turns recorded from `from` to `to` seconds after the start,
    // or all of them when `all`. Returns whether the list changed.
    bool showRange(bool all, double from = 0.0, double to = 0.0);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The index in the session's turns of a listed row.
    int turnOf(int row) const { return listed.value(row, -1); }
    // The mean force of a leg (0 left, 1 right) over the turns of the rows,
    // at each whole degree; not a number where no turn has a value.
    QVector<double> average(const QList<int> &rows, int leg) const;
    // The rows as tab-separated lines under a header line; all rows when
    // `rows` is empty.
    QString text(const QList<int> &rows) const;

private:
    QString cell(int row, int column) const;

    struct Turn {
        double time = 0.0; // seconds after the start
        PedalStroke stroke;
        bool complete = true;
        QVector<float> left, right; // resampled to whole degrees, for the averages
    };
    QVector<Turn> turns;  // in the order of the session's turns
    QVector<int> listed;  // indices into turns, in time order
    std::function<QString(double)> label;
};

#endif
