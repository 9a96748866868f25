#include "TemporarySettings.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

TemporarySettings::TemporarySettings()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Calvina Labs"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("calvinalabs.example"));
    QCoreApplication::setApplicationName(QStringLiteral("VOK"));
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    clear();
}

TemporarySettings::~TemporarySettings()
{
    clear();
}

void TemporarySettings::clear()
{
    QSettings settings;
    settings.clear();
    settings.sync();
}
