#include "PrintedPage.h"

#include "Options.h"

#include <QCoreApplication>

#include <iterator>

PrintedPage::PrintedPage(double width, double height)
{
    const double header = height / 10;
    const double rest = height - header;
    const int headerHeight = int(header);
    const int fullWidth = int(width);
    const int logoWidth = int(width / 10);

    title = QRect(0, 0, fullWidth, headerHeight);
    leftLogo = QRect(0, 0, logoWidth, headerHeight);
    rightLogo = QRect(int(width - width / 10), 0, logoWidth, headerHeight);
    footer = QRect(0, int(rest), fullWidth, headerHeight);

    // Each plot starts at a third of the space below the header but is only
    // 1/3.3 of it high, which leaves a gap under every plot.
    const int plotHeight = int(rest / 3.3);
    plots[0] = QRect(0, headerHeight, fullWidth, plotHeight);
    plots[1] = QRect(0, int(header + rest / 3), fullWidth, plotHeight);
    plots[2] = QRect(0, int(header + 2 * (rest / 3)), fullWidth, plotHeight);
}

QString PrintedPage::axisText(const Options &options)
{
    if (options.x_axis_type == 0) {
        static const char *const timeUnits[] = {"hh:mm:ss", "hh:mm", "hh", "mm:ss", "mm", "ss"};
        const QString unit = options.time_unit < std::size(timeUnits)
            ? QString::fromLatin1(timeUnits[options.time_unit])
            : QStringLiteral("Error");
        return QStringLiteral("time (") + unit + QLatin1Char(')');
    }
    static const char *const spaceUnits[] = {"Km", "meters"};
    const QString unit = options.space_unit < std::size(spaceUnits)
        ? QString::fromLatin1(spaceUnits[options.space_unit])
        : QStringLiteral("error");
    return QStringLiteral("space (") + unit + QLatin1Char(')');
}

QString PrintedPage::footerText(const Options &options)
{
    return QCoreApplication::translate("MainWindow", "X axis unit: ") + axisText(options);
}

QString PrintedPage::titleText(const QString &fileName)
{
    return fileName + QCoreApplication::translate("MainWindow", " data plots:");
}
