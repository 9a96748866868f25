#ifndef VOK_TIMESCALEDRAW_H
#define VOK_TIMESCALEDRAW_H

#include <QString>
#include <QTime>
#include <qwt_scale_draw.h>

// Labels an x axis of seconds as clock time: the base time plus the value,
// shown in a QTime format such as "hh:mm:ss". Wraps at midnight.
class TimeScaleDraw : public QwtScaleDraw
{
public:
    TimeScaleDraw(const QTime &base, const QString &format);
    ~TimeScaleDraw() override;

    QwtText label(double v) const override;

    // The label format of a time unit of the options, which is also the
    // unit the x-axis chooser names. "Error" for an unknown unit: it has no
    // time fields, so every label reads "Error" too.
    static QString unitFormat(quint32 unit);

private:
    QTime baseTime;
    QString format;
};

#endif
