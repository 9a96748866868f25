#ifndef VOK_BENCHSUPPORT_H
#define VOK_BENCHSUPPORT_H

// What the benchmark programs share: timing, and a settings store of their
// own so that a run neither reads nor writes the user's settings.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

inline double milliseconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1.0e6;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// The platform for a program without a screen to show on, unless one is set.
inline void useOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The number of runs the first argument asks for, or `fallback`.
inline int runsArgument(int argc, char *argv[], int fallback = 9)
{
    return argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : fallback;
}

// Points the settings store at a temporary folder for the life of the object.
class ScratchSettings
{
public:
    explicit ScratchSettings(const char *benchmark)
    {
        QCoreApplication::setOrganizationName(QStringLiteral("VOK bench"));
        QCoreApplication::setApplicationName(QLatin1String(benchmark));
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }

private:
    QTemporaryDir dir;
};

#endif
