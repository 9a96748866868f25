#ifndef VOK_FIELDCONVERTER_H
#define VOK_FIELDCONVERTER_H

#include <QString>
#include <QtGlobal>

#include <cstring>

// Converts the fields of a comma-separated line straight from its UTF-8
// bytes: numbers exactly as QString::toDouble converts them, elapsed times
// as timeSeconds reads them. The plain forms that fill real files
// ("-12.345", "352", "0:01:07", "31:15:00") are converted here, correctly
// rounded; every other form goes to the slower general conversion, so the
// result never differs from it.
class FieldConverter
{
public:
    // Each converts the field that starts at begin and runs to the next
    // comma or to end, and returns where the field ends (that comma or end).
    static const char *number(const char *begin, const char *end, double &value);
    // Seconds of an "h:mm:ss" elapsed time, 0 when it is not one.
    static const char *seconds(const char *begin, const char *end, double &value);
    static const char *fieldEnd(const char *begin, const char *end)
    {
        const void *comma = std::memchr(begin, ',', size_t(end - begin));
        return comma ? static_cast<const char *>(comma) : end;
    }

    // Whole fields, in any form.
    static double toDouble(const char *begin, const char *end);
    static double toSeconds(const char *begin, const char *end);

    // Seconds of an elapsed time "h:mm:ss": what QTime reads with that
    // format, and past a day hours of any number of digits (minutes and
    // seconds still 0 to 59), so that "31:15:00" is 112500. Anything else
    // is 0.
    static double timeSeconds(const QString &field);

private:
    static bool isDigit(char c) { return unsigned(c) - '0' < 10u; }
    static unsigned digit(char c) { return unsigned(c) - '0'; }

    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
                                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17,
                                             1e18, 1e19};
};

inline const char *FieldConverter::number(const char *begin, const char *end, double &value)
{
    // Optional minus, digits, optional point and digits. Up to 19 digits
    // fit the 64-bit mantissa; up to 2^53 it is an exact double, and so is
    // every power of ten used here, so one division rounds correctly.
    const char *p = begin;
    const bool negative = p != end && *p == '-';
    p += negative;
    const char *digits = p;
    quint64 mantissa = 0;
    while (p != end && isDigit(*p))
        mantissa = mantissa * 10 + digit(*p++);
    const qint64 whole = p - digits;
    qint64 fraction = 0;
    if (p != end && *p == '.') {
        const char *fractionDigits = ++p;
        while (p != end && isDigit(*p))
            mantissa = mantissa * 10 + digit(*p++);
        fraction = p - fractionDigits;
    }
    if (p == end || *p == ',') {
        if (whole > 0 && whole + fraction <= 19 && mantissa <= (quint64(1) << 53)) {
            double magnitude = double(mantissa);
            if (fraction)
                magnitude /= powersOfTen[fraction];
            value = negative ? -magnitude : magnitude;
            return p;
        }
        if (p == begin) { // an empty field
            value = 0.0;
            return p;
        }
    } else {
        p = fieldEnd(p, end);
    }
    value = toDouble(begin, p);
    return p;
}

inline const char *FieldConverter::seconds(const char *begin, const char *end, double &value)
{
    // Up to 15 hour digits (an exact double whatever they hold), then ":mm:ss".
    const char *p = begin;
    quint64 hour = 0;
    while (p != end && isDigit(*p) && p - begin < 15)
        hour = hour * 10 + digit(*p++);
    if (p != begin && end - p >= 6 && p[0] == ':' && isDigit(p[1]) && isDigit(p[2])
        && p[3] == ':' && isDigit(p[4]) && isDigit(p[5]) && (end - p == 6 || p[6] == ',')) {
        const unsigned minute = digit(p[1]) * 10 + digit(p[2]);
        const unsigned second = digit(p[4]) * 10 + digit(p[5]);
        if (minute < 60 && second < 60) {
            value = double(hour) * 3600.0 + double(minute * 60 + second);
            return p + 6;
        }
    }
    p = fieldEnd(begin, end);
    value = toSeconds(begin, p);
    return p;
}

#endif
