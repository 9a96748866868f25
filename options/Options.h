#ifndef VOK_OPTIONS_H
#define VOK_OPTIONS_H

#include "Channel.h"

#include <QPen>
#include <QString>

#include <array>

// Every user preference of the viewer: a pen and a visibility flag for each
// of the fourteen plotted curves, the x-axis mode, units and origins, and the
// Google Earth executable. A plain value type; the options dialog edits a copy.
class Options
{
public:
    quint32 time_unit = 0;
    quint32 space_unit = 0;
    bool time_start_relative = false;
    bool space_start_relative = true;
    qint32 x_axis_type = 0;
    QString googleEarthPath;

    // The pen and the visibility flag of a curve.
    QPen &pen(Channel::Id curve) { return pens[size_t(curve)]; }
    const QPen &pen(Channel::Id curve) const { return pens[size_t(curve)]; }
    bool &visible(Channel::Id curve) { return shown[size_t(curve)]; }
    bool visible(Channel::Id curve) const { return shown[size_t(curve)]; }

    bool operator==(const Options &other) const;
    bool operator!=(const Options &other) const { return !(*this == other); }

private:
    std::array<QPen, Channel::Count> pens;
    std::array<bool, Channel::Count> shown{true, true, true, true, true, true, true,
                                           true, true, true, true, true, true, true};
};

// Move the whole record between memory and the settings store (group "options").
void loadOptions(Options &options);
void saveOptions(const Options &options);

#endif
