#include "Options.h"

#include <QSettings>

const QStringList &Options::curveKeys()
{
    static const QStringList keys = {
        QStringLiteral("pl"),     QStringLiteral("pr"),     QStringLiteral("ptot"),
        QStringLiteral("ol"),     QStringLiteral("or"),     QStringLiteral("udl"),
        QStringLiteral("udr"),    QStringLiteral("height"), QStringLiteral("speed"),
        QStringLiteral("heart"),  QStringLiteral("cadenza"), QStringLiteral("t_ptot"),
        QStringLiteral("t_fl"),   QStringLiteral("t_fr")};
    return keys;
}

QPen Options::defaultPen(const QString &key)
{
    Q_UNUSED(key);
    return QPen();
}

QPen &Options::pen(const QString &key)
{
    return const_cast<QPen &>(static_cast<const Options *>(this)->pen(key));
}

const QPen &Options::pen(const QString &key) const
{
    if (key == QLatin1String("pl")) return pl;
    if (key == QLatin1String("pr")) return pr;
    if (key == QLatin1String("ptot")) return ptot;
    if (key == QLatin1String("t_ptot")) return t_ptot;
    if (key == QLatin1String("t_fl")) return t_fl;
    if (key == QLatin1String("t_fr")) return t_fr;
    if (key == QLatin1String("ol")) return ol;
    if (key == QLatin1String("or")) return or_;
    if (key == QLatin1String("udl")) return udl;
    if (key == QLatin1String("udr")) return udr;
    if (key == QLatin1String("height")) return height;
    if (key == QLatin1String("heart")) return heart;
    if (key == QLatin1String("speed")) return speed;
    Q_ASSERT(key == QLatin1String("cadenza"));
    return cadenza;
}

bool &Options::visible(const QString &key)
{
    if (key == QLatin1String("pl")) return pl_visible;
    if (key == QLatin1String("pr")) return pr_visible;
    if (key == QLatin1String("ptot")) return ptot_visible;
    if (key == QLatin1String("t_ptot")) return t_ptot_visible;
    if (key == QLatin1String("t_fl")) return t_fl_visible;
    if (key == QLatin1String("t_fr")) return t_fr_visible;
    if (key == QLatin1String("ol")) return ol_visible;
    if (key == QLatin1String("or")) return or_visible;
    if (key == QLatin1String("udl")) return udl_visible;
    if (key == QLatin1String("udr")) return udr_visible;
    if (key == QLatin1String("height")) return height_visible;
    if (key == QLatin1String("speed")) return speed_visible;
    if (key == QLatin1String("heart")) return heart_visible;
    Q_ASSERT(key == QLatin1String("cadenza"));
    return cadenza_visible;
}

bool Options::visible(const QString &key) const
{
    return const_cast<Options *>(this)->visible(key);
}

bool Options::operator==(const Options &other) const
{
    for (const QString &key : curveKeys()) {
        if (pen(key) != other.pen(key) || visible(key) != other.visible(key))
            return false;
    }
    return time_unit == other.time_unit && space_unit == other.space_unit
        && time_start_relative == other.time_start_relative
        && space_start_relative == other.space_start_relative
        && x_axis_type == other.x_axis_type && googleEarthPath == other.googleEarthPath;
}

void loadOptions(Options &options)
{
    Q_UNUSED(options);
}

void saveOptions(const Options &options)
{
    Q_UNUSED(options);
}
