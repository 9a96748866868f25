#ifndef VOK_OPTIONS_H
#define VOK_OPTIONS_H

#include <QPen>
#include <QString>
#include <QStringList>

// Every user preference of the viewer: a pen and a visibility flag for each
// of the fourteen plotted curves, the x-axis mode, units and origins, and the
// Google Earth executable. A plain value type; the options dialog edits a copy.
class Options
{
public:
    // Pens, one per curve key (heart rate before speed).
    QPen pl;
    QPen pr;
    QPen ptot;
    QPen t_ptot;
    QPen t_fl;
    QPen t_fr;
    QPen ol;
    QPen or_; // "or" is a reserved word in C++
    QPen udl;
    QPen udr;
    QPen height;
    QPen heart;
    QPen speed;
    QPen cadenza;

    quint32 time_unit = 0;
    quint32 space_unit = 0;
    bool time_start_relative = false;
    bool space_start_relative = true;
    qint32 x_axis_type = 0;

    // Visibility flags, one per curve key (speed before heart rate).
    bool pl_visible = true;
    bool pr_visible = true;
    bool ptot_visible = true;
    bool t_ptot_visible = true;
    bool t_fl_visible = true;
    bool t_fr_visible = true;
    bool ol_visible = true;
    bool or_visible = true;
    bool udl_visible = true;
    bool udr_visible = true;
    bool height_visible = true;
    bool speed_visible = true;
    bool heart_visible = true;
    bool cadenza_visible = true;

    QString googleEarthPath;

    // The fourteen curve keys in settings order: "pl", "pr", "ptot", "ol",
    // "or", "udl", "udr", "height", "speed", "heart", "cadenza", "t_ptot",
    // "t_fl", "t_fr".
    static const QStringList &curveKeys();
    // The pen a curve key has when nothing is stored; a default QPen for an unknown key.
    static QPen defaultPen(const QString &key);

    // The pen and the flag of a curve key. The key must be one of curveKeys().
    QPen &pen(const QString &key);
    const QPen &pen(const QString &key) const;
    bool &visible(const QString &key);
    bool visible(const QString &key) const;

    bool operator==(const Options &other) const;
    bool operator!=(const Options &other) const { return !(*this == other); }
};

// Move the whole record between memory and the settings store (group "options").
void loadOptions(Options &options);
void saveOptions(const Options &options);

#endif
