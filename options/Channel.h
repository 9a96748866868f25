#ifndef VOK_CHANNEL_H
#define VOK_CHANNEL_H

#include <QPen>
#include <QString>
#include <QVector>

#include <array>

class SessionRecord;
class TurnRecord;

// One plotted curve: the eleven measured channels of a ride on the three
// session plots, then the three curves of a pedal revolution in the turn
// dialog. The table of all fourteen is the one place that knows a curve's key,
// titles, default pen, plot and data; the options, their dialog, the plots and
// the turn dialog all read it.
class Channel
{
public:
    // In the order the settings store lists the curves. The eleven session
    // curves are numbered as the channel arrays of SessionRecord.
    enum Id {
        PowerLeft,
        PowerRight,
        PowerTot,
        OffsetLeft,
        OffsetRight,
        UpDownLeft,
        UpDownRight,
        Height,
        Speed,
        HeartRate,
        Cadence,
        TurnPowerTot,
        TurnForceLeft,
        TurnForceRight
    };
    static constexpr int Count = 14;
    static constexpr int SessionCount = 11;

    enum Plot { TopPlot, CenterPlot, BottomPlot, TurnPlot };

    Id id;
    // The curve key, which is also its key in the settings groups
    // "graphstyle" and "graphvisible".
    const char *key;
    const char *title; // the legend entry
    const char *label; // the row of the options dialog
    Qt::GlobalColor color;
    Qt::PenStyle style;
    Plot plot;
    // The y values of a turn curve; the session curves read the session
    // array numbered by their id.
    QVector<double> TurnRecord::*turnData;

    bool isSession() const { return plot != TurnPlot; }
    QString keyText() const { return QString::fromLatin1(key); }
    QString titleText() const;
    QString labelText() const;
    // A solid brush of the colour, 2 px, the style, square caps, round joins.
    QPen defaultPen() const;
    const QVector<double> *data(const SessionRecord &session) const;
    const QVector<double> *data(const TurnRecord &turn) const;

    // A run of the table, to walk with a range-based for.
    struct Range {
        const Channel *from;
        const Channel *to;
        const Channel *begin() const { return from; }
        const Channel *end() const { return to; }
    };

    static const std::array<Channel, Count> &all();
    static const Channel &of(Id id) { return all()[size_t(id)]; }
    static Range sessionCurves() { return {all().data(), all().data() + SessionCount}; }
    static Range turnCurves() { return {all().data() + SessionCount, all().data() + Count}; }
};

#endif
