#ifndef VOK_RIDETIME_H
#define VOK_RIDETIME_H

#include <QDateTime>
#include <QString>

// The moments of a ride's samples as exchange formats write them: the
// session's start plus the elapsed time, in the computer's local time zone
// with its offset, "2010-04-07T10:30:15+02:00". The session file gives the
// year in two digits, which read as 20yy here. Without a start time the
// moments count from 1970-01-01T00:00:00Z.
class RideTime
{
public:
    explicit RideTime(const QDateTime &sessionStart);

    QDateTime start() const { return origin; }
    // Elapsed seconds outside 0 to a century count as 0.
    QDateTime at(double elapsedSeconds) const;
    static QString text(const QDateTime &moment);
    QString textAt(double elapsedSeconds) const { return text(at(elapsedSeconds)); }

private:
    QDateTime origin;
};

#endif
