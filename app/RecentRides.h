#ifndef VOK_RECENTRIDES_H
#define VOK_RECENTRIDES_H

#include <QStringList>

// The rides last opened successfully, newest first, at most eight, each
// once. Kept with the other settings, in the group "mainwindow".
class RecentRides
{
public:
    static constexpr int maximum = 8;

    const QStringList &paths() const { return list; }

    // Puts the ride first; the same file named another way counts once.
    void add(const QString &path);
    void remove(const QString &path);
    void clear() { list.clear(); }

    // A stored value of the wrong type reads as no rides.
    void read();
    void write() const;

private:
    QStringList list;
};

#endif
