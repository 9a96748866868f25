#include "RecentRides.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char key[] = "mainwindow/recent_rides";

// One spelling per file: absolute, without "." and ".." steps.
QString normalised(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

void RecentRides::add(const QString &path)
{
    const QString file = normalised(path);
    list.removeAll(file);
    list.prepend(file);
    while (list.size() > maximum)
        list.removeLast();
}

void RecentRides::remove(const QString &path)
{
    list.removeAll(normalised(path));
}

void RecentRides::read()
{
    const QVariant stored = QSettings().value(QLatin1String(key));
    list.clear();
    if (stored.type() != QVariant::StringList && stored.type() != QVariant::String)
        return;
    const QStringList paths = stored.toStringList();
    for (auto it = paths.crbegin(); it != paths.crend(); ++it) {
        if (!it->isEmpty())
            add(*it);
    }
}

void RecentRides::write() const
{
    QSettings().setValue(QLatin1String(key), list);
}
