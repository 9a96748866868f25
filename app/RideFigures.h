#ifndef VOK_RIDEFIGURES_H
#define VOK_RIDEFIGURES_H

#include <QList>
#include <QString>

#include <functional>

class SessionRecord;
struct RideStatistics;

// One line of the statistics panel: a name, a value as text ("-" where it
// cannot be told) and its unit. A clock time or a duration reads as one
// without its unit on screen; copied, every unit goes along.
struct Figure
{
    QString name;
    QString value;
    QString unit;
    bool unitShown = true;
};

// The figures of the panel as text: the statistics of a stretch, the
// reading of one sample, and the statistics as lines to paste into a
// spreadsheet. x values are labelled as the x axis labels them.
class RideFigures
{
public:
    using XLabel = std::function<QString(double x)>;

    static QList<Figure> statistics(const SessionRecord &session, const RideStatistics &stats,
                                    const XLabel &xLabel, const QString &xUnit);
    // Every channel of one sample, after the time and the distance.
    static QList<Figure> reading(const SessionRecord &session, int sample);
    // "name<TAB>value<TAB>unit" lines, first the file and the range.
    static QString tabSeparated(const QString &fileName, const QList<Figure> &figures);

    // Seconds as h:mm:ss, hours past a day going on; "-" when not finite.
    static QString duration(double seconds);
    // A number with the decimals given, "-" when not finite.
    static QString number(double value, int decimals);
};

#endif
