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

private:
    QTime baseTime;
    QString format;
};

#endif
