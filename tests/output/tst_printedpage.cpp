#include "Options.h"
#include "PrintedPage.h"

#include <QtTest>

class tst_PrintedPage : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void footer_data();
    void footer();
};

void tst_PrintedPage::layout_data()
{
    QTest::addColumn<QSizeF>("page");
    // Width, header band, logo width, right logo x, footer y, plots' y (3), plot height.
    QTest::addColumn<QList<int>>("edges");
    // h0 = 236.1, rest = 2124.9, rest / 3 = 708.3, rest / 3.3 = 643.9, W / 10 = 339
    QTest::newRow("the worked example, 3390 by 2361 pixels")
        << QSizeF(3390, 2361) << QList<int>{3390, 236, 339, 3051, 2124, 236, 944, 1652, 643};
    // h0 = 0.999, rest = 8.991, rest / 3 = 2.997, W / 10 = 9.99, W - W / 10 = 89.91
    QTest::newRow("a tiny page, every edge truncated toward zero")
        << QSizeF(99.9, 9.99) << QList<int>{99, 0, 9, 89, 8, 0, 3, 6, 2};
}

void tst_PrintedPage::layout()
{
    QFETCH(QSizeF, page);
    QFETCH(QList<int>, edges);
    const PrintedPage layout(page.width(), page.height());
    QCOMPARE(layout.title, QRect(0, 0, edges[0], edges[1]));
    QCOMPARE(layout.leftLogo, QRect(0, 0, edges[2], edges[1]));
    QCOMPARE(layout.rightLogo, QRect(edges[3], 0, edges[2], edges[1]));
    QCOMPARE(layout.footer, QRect(0, edges[4], edges[0], edges[1]));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(layout.plots[i], QRect(0, edges[5 + i], edges[0], edges[8]));
}

void tst_PrintedPage::footer_data()
{
    QTest::addColumn<int>("xAxisType");
    QTest::addColumn<uint>("unit"); // time_unit in time mode, space_unit otherwise
    QTest::addColumn<QString>("footer");
    QTest::newRow("time in hours, minutes, seconds") << 0 << 0u << "X axis unit: time (hh:mm:ss)";
    QTest::newRow("time in minutes and seconds") << 0 << 3u << "X axis unit: time (mm:ss)";
    QTest::newRow("time unit past the seconds") << 0 << 6u << "X axis unit: time (Error)";
    QTest::newRow("space in kilometres") << 1 << 0u << "X axis unit: space (Km)";
    QTest::newRow("space in metres") << 1 << 1u << "X axis unit: space (meters)";
    QTest::newRow("space unit past the metres") << 1 << 2u << "X axis unit: space (error)";
    QTest::newRow("any other mode counts as space") << -1 << 1u << "X axis unit: space (meters)";
}

void tst_PrintedPage::footer()
{
    QFETCH(int, xAxisType);
    QFETCH(uint, unit);
    Options options;
    options.x_axis_type = xAxisType;
    options.time_unit = options.space_unit = unit;
    QTEST(PrintedPage::footerText(options), "footer");
}

QTEST_GUILESS_MAIN(tst_PrintedPage)
#include "tst_printedpage.moc"
