#ifndef VOK_STOREDSETTINGS_H
#define VOK_STOREDSETTINGS_H

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

// Direct access to the application's settings store, as another run of the
// program would see it (each call opens and closes its own QSettings, so
// what is written is on disk when the call returns).
inline void store(const QString &key, const QVariant &value)
{
    QSettings settings;
    settings.setValue(key, value);
}

inline QVariant stored(const QString &key)
{
    QSettings settings;
    return settings.value(key);
}

inline QStringList storedKeys()
{
    QSettings settings;
    return settings.allKeys();
}

#endif
