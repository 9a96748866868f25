#include "FieldConverter.h"

#include "TextLineReader.h"

#include <QRegularExpression>
#include <QTime>

#include <charconv>
#include <cmath>

namespace {

// A number of any length in the form [-]digits[.digits], converted without
// building a string: such runs of digits are what a long field usually holds.
// Qt gives infinity when the value is too large and +0 when a non-zero value
// is too small, and so does this.
bool plainDecimal(const char *begin, const char *end, double &value)
{
    const char *p = begin;
    const bool negative = p != end && *p == '-';
    p += negative;
    const char *digits = p;
    bool nonZeroWhole = false;
    for (; p != end && unsigned(*p) - '0' < 10u; ++p)
        nonZeroWhole |= *p != '0';
    if (p == digits)
        return false;
    if (p != end && *p == '.') {
        for (++p; p != end && unsigned(*p) - '0' < 10u; ++p) {
        }
    }
    if (p != end)
        return false;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    if (result.ptr != end)
        return false;
    if (result.ec == std::errc())
        return true;
    if (result.ec != std::errc::result_out_of_range)
        return false;
    value = nonZeroWhole ? (negative ? -HUGE_VAL : HUGE_VAL) : 0.0;
    return true;
}

} // namespace

double FieldConverter::toDouble(const char *begin, const char *end)
{
    double value;
    if (plainDecimal(begin, end, value))
        return value;
    return TextLineReader::text(begin, end).toDouble();
}

double FieldConverter::toSeconds(const char *begin, const char *end)
{
    return timeSeconds(TextLineReader::text(begin, end));
}

double FieldConverter::timeSeconds(const QString &field)
{
    const QTime time = QTime::fromString(field, QStringLiteral("h:mm:ss"));
    if (time.isValid())
        return double((time.hour() * 60 + time.minute()) * 60 + time.second());

    // A ride longer than a day counts its hours on.
    static const QRegularExpression longRide(
        QRegularExpression::anchoredPattern(QStringLiteral("([0-9]+):([0-5][0-9]):([0-5][0-9])")));
    const QRegularExpressionMatch match = longRide.match(field);
    if (!match.hasMatch())
        return 0.0;
    // Summed as the fast path of seconds() sums, so that both round alike.
    return match.capturedRef(1).toDouble() * 3600.0
           + double(match.capturedRef(2).toInt() * 60 + match.capturedRef(3).toInt());
}
