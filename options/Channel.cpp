#include "Channel.h"

#include "SessionRecord.h"
#include "TurnRecord.h"

#include <QCoreApplication>

namespace {

// The turn dialog draws left force red and right force blue, the other way
// round from the session curves.
constexpr std::array<Channel, Channel::Count> table = {{
    {Channel::PowerLeft, "pl", QT_TRANSLATE_NOOP("Channel", "Power Left (W)"),
     QT_TRANSLATE_NOOP("Channel", "Power Left"), Qt::blue, Qt::SolidLine, Channel::TopPlot, nullptr},
    {Channel::PowerRight, "pr", QT_TRANSLATE_NOOP("Channel", "Power Right (W)"),
     QT_TRANSLATE_NOOP("Channel", "Power Right"), Qt::red, Qt::SolidLine, Channel::TopPlot, nullptr},
    {Channel::PowerTot, "ptot", QT_TRANSLATE_NOOP("Channel", "Power Tot (W)"),
     QT_TRANSLATE_NOOP("Channel", "Total Power"), Qt::black, Qt::SolidLine, Channel::TopPlot, nullptr},
    {Channel::OffsetLeft, "ol", QT_TRANSLATE_NOOP("Channel", "Offset Left (mm)"),
     QT_TRANSLATE_NOOP("Channel", "Offset Left"), Qt::blue, Qt::SolidLine, Channel::CenterPlot, nullptr},
    {Channel::OffsetRight, "or", QT_TRANSLATE_NOOP("Channel", "Offset Right (mm)"),
     QT_TRANSLATE_NOOP("Channel", "Offset Right"), Qt::red, Qt::SolidLine, Channel::CenterPlot, nullptr},
    {Channel::UpDownLeft, "udl", QT_TRANSLATE_NOOP("Channel", "Up/Down Left (%)"),
     QT_TRANSLATE_NOOP("Channel", "% up/down Left"), Qt::blue, Qt::DashLine, Channel::CenterPlot,
     nullptr},
    {Channel::UpDownRight, "udr", QT_TRANSLATE_NOOP("Channel", "Up/Down Right (%)"),
     QT_TRANSLATE_NOOP("Channel", "% up/down Right"), Qt::red, Qt::DashLine, Channel::CenterPlot,
     nullptr},
    {Channel::Height, "height", QT_TRANSLATE_NOOP("Channel", "Height (x 10m)"),
     QT_TRANSLATE_NOOP("Channel", "Height"), Qt::darkGreen, Qt::SolidLine, Channel::BottomPlot, nullptr},
    {Channel::Speed, "speed", QT_TRANSLATE_NOOP("Channel", "Speed (Km/h)"),
     QT_TRANSLATE_NOOP("Channel", "Speed"), Qt::black, Qt::SolidLine, Channel::BottomPlot, nullptr},
    {Channel::HeartRate, "heart", QT_TRANSLATE_NOOP("Channel", "Heart Rate (PPM)"),
     QT_TRANSLATE_NOOP("Channel", "Heart Rate"), Qt::darkRed, Qt::SolidLine, Channel::BottomPlot,
     nullptr},
    {Channel::Cadence, "cadenza", QT_TRANSLATE_NOOP("Channel", "Cadenza (ped/min)"),
     QT_TRANSLATE_NOOP("Channel", "Cadenza"), Qt::darkBlue, Qt::SolidLine, Channel::BottomPlot, nullptr},
    {Channel::TurnPowerTot, "t_ptot", QT_TRANSLATE_NOOP("Channel", "Power Tot"),
     QT_TRANSLATE_NOOP("Channel", "Total Power"), Qt::black, Qt::SolidLine, Channel::TurnPlot,
     &TurnRecord::power},
    {Channel::TurnForceLeft, "t_fl", QT_TRANSLATE_NOOP("Channel", "Force Left"),
     QT_TRANSLATE_NOOP("Channel", "Force Left"), Qt::red, Qt::SolidLine, Channel::TurnPlot,
     &TurnRecord::forceLeft},
    {Channel::TurnForceRight, "t_fr", QT_TRANSLATE_NOOP("Channel", "Force Right"),
     QT_TRANSLATE_NOOP("Channel", "Force Right"), Qt::blue, Qt::SolidLine, Channel::TurnPlot,
     &TurnRecord::forceRight},
}};

constexpr bool inIdOrder()
{
    for (size_t i = 0; i < table.size(); ++i) {
        if (size_t(table[i].id) != i)
            return false;
    }
    return true;
}
static_assert(inIdOrder(), "the table is indexed by Channel::Id");

} // namespace

const std::array<Channel, Channel::Count> &Channel::all()
{
    return table;
}

QString Channel::titleText() const
{
    return QCoreApplication::translate("Channel", title);
}

QString Channel::labelText() const
{
    return QCoreApplication::translate("Channel", label);
}

QPen Channel::defaultPen() const
{
    return QPen(QBrush(color, Qt::SolidPattern), 2.0, style, Qt::SquareCap, Qt::RoundJoin);
}

const QVector<double> *Channel::data(const SessionRecord &session) const
{
    return isSession() ? session.channel(int(id)) : nullptr;
}

const QVector<double> *Channel::data(const TurnRecord &turn) const
{
    return turnData ? &(turn.*turnData) : nullptr;
}
