#include "Options.h"

#include <QSettings>

bool Options::operator==(const Options &other) const
{
    return pens == other.pens && shown == other.shown && time_unit == other.time_unit
        && space_unit == other.space_unit && time_start_relative == other.time_start_relative
        && space_start_relative == other.space_start_relative
        && x_axis_type == other.x_axis_type && googleEarthPath == other.googleEarthPath;
}

// A stored value of the wrong kind is converted the way QVariant converts it
// (a pen from anything but a pen is a default QPen, a number from text that is
// not one is 0): a hand-edited or damaged settings file never stops the
// program from starting.
void loadOptions(Options &options)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("options"));

    settings.beginGroup(QStringLiteral("graphstyle"));
    for (const Channel &curve : Channel::all())
        options.pen(curve.id)
            = settings.value(curve.keyText(), QVariant::fromValue(curve.defaultPen())).value<QPen>();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("graphvisible"));
    for (const Channel &curve : Channel::all())
        options.visible(curve.id) = settings.value(curve.keyText(), true).toBool();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("axes"));
    options.x_axis_type = settings.value(QStringLiteral("x_axis_type"), 0).toInt();
    options.time_unit = settings.value(QStringLiteral("time_unit"), 0u).toUInt();
    options.space_unit = settings.value(QStringLiteral("space_unit"), 0u).toUInt();
    options.time_start_relative
        = settings.value(QStringLiteral("time_start_relative"), false).toBool();
    options.space_start_relative
        = settings.value(QStringLiteral("space_start_relative"), true).toBool();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("googleearth"));
    options.googleEarthPath = settings.value(QStringLiteral("fullpath")).toString();
    settings.endGroup();

    settings.endGroup();
}

void saveOptions(const Options &options)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("options"));

    settings.beginGroup(QStringLiteral("graphstyle"));
    for (const Channel &curve : Channel::all())
        settings.setValue(curve.keyText(), QVariant::fromValue(options.pen(curve.id)));
    settings.endGroup();

    settings.beginGroup(QStringLiteral("graphvisible"));
    for (const Channel &curve : Channel::all())
        settings.setValue(curve.keyText(), options.visible(curve.id));
    settings.endGroup();

    settings.beginGroup(QStringLiteral("axes"));
    settings.setValue(QStringLiteral("x_axis_type"), options.x_axis_type);
    settings.setValue(QStringLiteral("time_unit"), options.time_unit);
    settings.setValue(QStringLiteral("space_unit"), options.space_unit);
    settings.setValue(QStringLiteral("time_start_relative"), options.time_start_relative);
    settings.setValue(QStringLiteral("space_start_relative"), options.space_start_relative);
    settings.endGroup();

    settings.beginGroup(QStringLiteral("googleearth"));
    settings.setValue(QStringLiteral("fullpath"), options.googleEarthPath);
    settings.endGroup();

    settings.endGroup();
}
