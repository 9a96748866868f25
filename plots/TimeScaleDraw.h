#ifndef VOK_TIMESCALEDRAW_H
#define VOK_TIMESCALEDRAW_H

#include <QString>
#include <QTime>
#include "PlotScaleDraw.h"

// Labels an x axis of seconds in a QTime format such as "hh:mm:ss": as the
// time of day the base time plus the value reads on a clock, wrapping at
// midnight, or as the time elapsed since the start, whose hours count on
// past a day ("26:30:00").
class TimeScaleDraw : public PlotScaleDraw
{
public:
    enum Reading { TimeOfDay, Elapsed };

    // An elapsed reading counts from the base time as from midnight.
    TimeScaleDraw(const QTime &base, const QString &format, Reading reading = TimeOfDay);
    ~TimeScaleDraw() override;

    // Empty without a valid base time: before a ride is open there is no
    // time to label.
    QwtText label(double v) const override;

    // Seconds from midnight to the base time, that a label adds to the value.
    double baseSeconds() const;
    // The seconds of the format's smallest field: 1 for "hh:mm:ss", 60 for
    // "hh:mm", 3600 for "hh"; labels closer than this read the same.
    double resolution() const;

    // The label format of a time unit of the options, which is also the
    // unit the x-axis chooser names. "Error" for an unknown unit: it has no
    // time fields, so every label reads "Error" too.
    static QString unitFormat(quint32 unit);

private:
    // The format filled in from seconds since a midnight.
    QString fieldsLabel(qint64 seconds) const;

    QTime baseTime;
    QString format;
    Reading reading;
};

#endif
