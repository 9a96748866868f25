#ifndef VOK_PRINTEDPAGE_H
#define VOK_PRINTEDPAGE_H

#include <QRect>
#include <QString>

#include <array>

class Options;

// Where everything goes on the one printed page of the session plots, in
// device pixels of the printable area: a header band a tenth of the page high
// with the title and a logo at either end, the three plots below it, and the
// footer line naming the x-axis unit. Kept apart from the painting so that the
// arithmetic can be checked on its own.
class PrintedPage
{
public:
    // width and height of the printable area, in device pixels.
    PrintedPage(double width, double height);

    QRect title;     // the whole header band
    QRect leftLogo;  // a tenth of the width at the left end of the band
    QRect rightLogo; // the same at the right end
    QRect footer;
    std::array<QRect, 3> plots; // top, center, bottom

    // "time (hh:mm:ss)", "space (Km)" and so on, from the x-axis mode and
    // units of the options.
    static QString axisText(const Options &options);
    // The footer line: "X axis unit: " and the axis text.
    static QString footerText(const Options &options);
    // The header title: the session file name and " data plots:".
    static QString titleText(const QString &fileName);
};

#endif
