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
    struct Style {
        const char *key;
        Qt::GlobalColor colour;
        Qt::PenStyle line;
    };
    // The turn dialog draws left force red and right force blue, the other
    // way round from the session curves.
    static const Style styles[] = {
        {"pl", Qt::blue, Qt::SolidLine},        {"pr", Qt::red, Qt::SolidLine},
        {"ptot", Qt::black, Qt::SolidLine},     {"ol", Qt::blue, Qt::SolidLine},
        {"or", Qt::red, Qt::SolidLine},         {"udl", Qt::blue, Qt::DashLine},
        {"udr", Qt::red, Qt::DashLine},         {"height", Qt::darkGreen, Qt::SolidLine},
        {"speed", Qt::black, Qt::SolidLine},    {"heart", Qt::darkRed, Qt::SolidLine},
        {"cadenza", Qt::darkBlue, Qt::SolidLine}, {"t_ptot", Qt::black, Qt::SolidLine},
        {"t_fl", Qt::red, Qt::SolidLine},       {"t_fr", Qt::blue, Qt::SolidLine}};
    for (const Style &style : styles) {
        if (key == QLatin1String(style.key))
            return QPen(QBrush(style.colour, Qt::SolidPattern), 2.0, style.line, Qt::SquareCap,
                        Qt::RoundJoin);
    }
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

// A stored value of the wrong kind is converted the way QVariant converts it
// (a pen from anything but a pen is a default QPen, a number from text that is
// not one is 0): a hand-edited or damaged settings file never stops the
// program from starting.
void loadOptions(Options &options)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("options"));

    settings.beginGroup(QStringLiteral("graphstyle"));
    for (const QString &key : Options::curveKeys())
        options.pen(key)
            = settings.value(key, QVariant::fromValue(Options::defaultPen(key))).value<QPen>();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("graphvisible"));
    for (const QString &key : Options::curveKeys())
        options.visible(key) = settings.value(key, true).toBool();
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
    for (const QString &key : Options::curveKeys())
        settings.setValue(key, QVariant::fromValue(options.pen(key)));
    settings.endGroup();

    settings.beginGroup(QStringLiteral("graphvisible"));
    for (const QString &key : Options::curveKeys())
        settings.setValue(key, options.visible(key));
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
