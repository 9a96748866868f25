#ifndef VOK_TIMESCALEDRAW_H
#define VOK_TIMESCALEDRAW_H

#include <QString>
#include <QTime>
#include <qwt_scale_draw.h>

// Labels an x axis of seconds in a QTime format such as "hh:mm:ss": as the
// time of day the base time plus the value reads on a clock, wrapping at
// midnight, or as the time elapsed since the start, whose hours count on
// past a day ("26:30:00").
class TimeScaleDraw : public QwtScaleDraw
{
public:
    enum Reading { TimeOfDay, Elapsed };

    // An elapsed reading counts from the base time as from midnight.
    TimeScaleDraw(const QTime &base, const QString &format, Reading reading = TimeOfDay);
    ~TimeScaleDraw() override;

    QwtText label(double v) const override;

    // The label format of a time unit of the options, which is also the
    // unit the x-axis chooser names. "Error" for an unknown unit: it has no
    // time fields, so every label reads "Error" too.
    static QString unitFormat(quint32 unit);

private:
    QString elapsedLabel(qint64 seconds) const;

    QTime baseTime;
    QString format;
    Reading reading;
};

#endif
