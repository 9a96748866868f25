#include "RideFigures.h"

#include "RideStatistics.h"
#include "SessionRecord.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RideFigures", text);
}

// The units of the figures, shared by the statistics and the reading.
constexpr QLatin1String watts("W");
constexpr QLatin1String percent("%");
constexpr QLatin1String millimetres("mm");
constexpr QLatin1String metres("m");
constexpr QLatin1String kilometres("km");
constexpr QLatin1String beats("bpm");
constexpr QLatin1String turns("rpm");
constexpr QLatin1String speed("km/h");
constexpr QLatin1String hoursMinutesSeconds("h:mm:ss");

} // namespace

QString RideFigures::number(double value, int decimals)
{
    if (!std::isfinite(value))
        return QStringLiteral("-");
    // No "-0" for a value that rounds to nothing.
    if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0.0;
    return QString::number(value, 'f', decimals);
}

QString RideFigures::duration(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0)
        return QStringLiteral("-");
    const qint64 whole = std::llround(std::min(seconds, 1e15));
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QList<Figure> RideFigures::statistics(const SessionRecord &session, const RideStatistics &s,
                                      const XLabel &xLabel, const QString &xUnit)
{
    auto xOf = [&](int sample) {
        const QVector<double> *x = session.xData;
        return s.sampleCount() >= 2 && x && sample < x->size() && std::isfinite(x->at(sample))
                   ? xLabel(x->at(sample))
                   : QStringLiteral("-");
    };
    return {
        {tr("From"), xOf(s.first), xUnit, !session.xData || session.xData != &session.time},
        {tr("To"), xOf(s.last), xUnit, !session.xData || session.xData != &session.time},
        {tr("Duration"), duration(s.duration), hoursMinutesSeconds, false},
        {tr("Moving time"), duration(s.movingTime), hoursMinutesSeconds, false},
        {tr("Distance"), number(s.distance, 2), kilometres},
        {tr("Power avg"), number(s.powerTotal, 0), watts},
        {tr("Power L avg"), number(s.powerLeft, 0), watts},
        {tr("Power R avg"), number(s.powerRight, 0), watts},
        {tr("Power max"), number(s.powerMax, 0), watts},
        {tr("Normalised power"), number(s.normalisedPower, 0), watts},
        {tr("Work"), number(s.work, 1), QStringLiteral("kJ")},
        {tr("Balance"), number(s.leftShare, 1), tr("% left")},
        {tr("Offset L avg"), number(s.offsetLeft, 1), millimetres},
        {tr("Offset R avg"), number(s.offsetRight, 1), millimetres},
        {tr("Up/down L avg"), number(s.upDownLeft, 1), percent},
        {tr("Up/down R avg"), number(s.upDownRight, 1), percent},
        {tr("Heart rate avg"), number(s.heartRate, 0), beats},
        {tr("Heart rate max"), number(s.heartRateMax, 0), beats},
        {tr("Cadence avg"), number(s.cadence, 0), turns},
        {tr("Cadence max"), number(s.cadenceMax, 0), turns},
        {tr("Speed avg"), number(s.speed, 1), speed},
        {tr("Speed max"), number(s.speedMax, 1), speed},
        {tr("Height min"), number(s.heightMin, 0), metres},
        {tr("Height max"), number(s.heightMax, 0), metres},
        {tr("Ascent"), number(s.ascent, 0), metres},
        {tr("Descent"), number(s.descent, 0), metres},
    };
}

QList<Figure> RideFigures::reading(const SessionRecord &session, int sample)
{
    auto at = [&](const QVector<double> &values) {
        return sample >= 0 && sample < values.size() ? values[sample] : NAN;
    };
    return {
        {tr("Time"), duration(at(session.time)), hoursMinutesSeconds, false},
        {tr("Distance"), number(at(session.space), 3), kilometres},
        {tr("Power L"), number(at(session.powerLeft), 0), watts},
        {tr("Power R"), number(at(session.powerRight), 0), watts},
        {tr("Power total"), number(at(session.powerTot), 0), watts},
        {tr("Offset L"), number(at(session.offsetLeft), 1), millimetres},
        {tr("Offset R"), number(at(session.offsetRight), 1), millimetres},
        {tr("Up/down L"), number(at(session.upDownLeft), 1), percent},
        {tr("Up/down R"), number(at(session.upDownRight), 1), percent},
        {tr("Height"), number(at(session.height) * 10.0, 0), metres},
        {tr("Speed"), number(at(session.speed), 1), speed},
        {tr("Heart rate"), number(at(session.heartRate), 0), beats},
        {tr("Cadence"), number(at(session.cadence), 0), turns},
    };
}

QString RideFigures::tabSeparated(const QString &fileName, const QList<Figure> &figures)
{
    QString text = tr("File") + QLatin1Char('\t') + fileName + QLatin1String("\t\n");
    for (const Figure &figure : figures)
        text += figure.name + QLatin1Char('\t') + figure.value + QLatin1Char('\t') + figure.unit
                + QLatin1Char('\n');
    return text;
}
