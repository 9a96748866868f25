#include "Options.h"
#include "PrintedPage.h"

#include <QtTest>

class tst_PrintedPage : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void footerText_data();
    void footerText();
    void titleText();
};

void tst_PrintedPage::layout_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QRect>("title");
    QTest::addColumn<QRect>("leftLogo");
    QTest::addColumn<QRect>("rightLogo");
    QTest::addColumn<QRect>("footer");
    QTest::addColumn<QRect>("top");
    QTest::addColumn<QRect>("center");
    QTest::addColumn<QRect>("bottom");

    // h0 = 236.1, rest = 2124.9, rest / 3 = 708.3, rest / 3.3 = 643.9
    QTest::newRow("page of 3390 by 2361 pixels")
        << 3390.0 << 2361.0 << QRect(0, 0, 3390, 236) << QRect(0, 0, 339, 236)
        << QRect(3051, 0, 339, 236) << QRect(0, 2124, 3390, 236) << QRect(0, 236, 3390, 643)
        << QRect(0, 944, 3390, 643) << QRect(0, 1652, 3390, 643);
    // h0 = 236.1, rest = 2124.9, W / 10 = 338.7
    QTest::newRow("landscape page of 3387 by 2361 pixels")
        << 3387.0 << 2361.0 << QRect(0, 0, 3387, 236) << QRect(0, 0, 338, 236)
        << QRect(3048, 0, 338, 236) << QRect(0, 2124, 3387, 236) << QRect(0, 236, 3387, 643)
        << QRect(0, 944, 3387, 643) << QRect(0, 1652, 3387, 643);
    // h0 = 338.7, rest = 3048.3, rest / 3 = 1016.1, rest / 3.3 = 923.73, W / 10 = 236.1
    QTest::newRow("portrait page of 2361 by 3387 pixels")
        << 2361.0 << 3387.0 << QRect(0, 0, 2361, 338) << QRect(0, 0, 236, 338)
        << QRect(2124, 0, 236, 338) << QRect(0, 3048, 2361, 338) << QRect(0, 338, 2361, 923)
        << QRect(0, 1354, 2361, 923) << QRect(0, 2370, 2361, 923);
    // h0 = 0.999, rest = 8.991, rest / 3 = 2.997, rest / 3.3 = 2.7245, W / 10 = 9.99
    QTest::newRow("tiny page truncates every edge toward zero")
        << 99.9 << 9.99 << QRect(0, 0, 99, 0) << QRect(0, 0, 9, 0) << QRect(89, 0, 9, 0)
        << QRect(0, 8, 99, 0) << QRect(0, 0, 99, 2) << QRect(0, 3, 99, 2) << QRect(0, 6, 99, 2);
}

void tst_PrintedPage::layout()
{
    QFETCH(double, width);
    QFETCH(double, height);

    const PrintedPage page(width, height);
    QTEST(page.title, "title");
    QTEST(page.leftLogo, "leftLogo");
    QTEST(page.rightLogo, "rightLogo");
    QTEST(page.footer, "footer");
    QTEST(page.plots[0], "top");
    QTEST(page.plots[1], "center");
    QTEST(page.plots[2], "bottom");
}

void tst_PrintedPage::footerText_data()
{
    QTest::addColumn<int>("xAxisType");
    QTest::addColumn<uint>("timeUnit");
    QTest::addColumn<uint>("spaceUnit");
    QTest::addColumn<QString>("footer");

    QTest::newRow("time in hours, minutes and seconds") << 0 << 0u << 1u << "X axis unit: time (hh:mm:ss)";
    QTest::newRow("time in hours and minutes") << 0 << 1u << 1u << "X axis unit: time (hh:mm)";
    QTest::newRow("time in hours") << 0 << 2u << 1u << "X axis unit: time (hh)";
    QTest::newRow("time in minutes and seconds") << 0 << 3u << 1u << "X axis unit: time (mm:ss)";
    QTest::newRow("time in minutes") << 0 << 4u << 1u << "X axis unit: time (mm)";
    QTest::newRow("time in seconds") << 0 << 5u << 1u << "X axis unit: time (ss)";
    QTest::newRow("time unit just past the list") << 0 << 6u << 0u << "X axis unit: time (Error)";
    QTest::newRow("time unit far past the list") << 0 << 4294967295u << 0u << "X axis unit: time (Error)";
    QTest::newRow("space in kilometres") << 1 << 3u << 0u << "X axis unit: space (Km)";
    QTest::newRow("space in metres") << 1 << 0u << 1u << "X axis unit: space (meters)";
    QTest::newRow("space unit past the list") << 1 << 0u << 2u << "X axis unit: space (error)";
    QTest::newRow("any other mode counts as space") << 7 << 0u << 1u << "X axis unit: space (meters)";
    QTest::newRow("negative mode counts as space") << -1 << 0u << 0u << "X axis unit: space (Km)";
}

void tst_PrintedPage::footerText()
{
    QFETCH(int, xAxisType);
    QFETCH(uint, timeUnit);
    QFETCH(uint, spaceUnit);

    Options options;
    options.x_axis_type = xAxisType;
    options.time_unit = timeUnit;
    options.space_unit = spaceUnit;
    QTEST(PrintedPage::footerText(options), "footer");
}

void tst_PrintedPage::titleText()
{
    QCOMPARE(PrintedPage::titleText(QStringLiteral("S_100407_10-30.csv")),
             QStringLiteral("S_100407_10-30.csv data plots:"));
    QCOMPARE(PrintedPage::titleText(QString()), QStringLiteral(" data plots:"));
}

QTEST_GUILESS_MAIN(tst_PrintedPage)
#include "tst_printedpage.moc"
