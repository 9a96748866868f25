// File > "Print as pdf" read back with poppler, and the print preview; both
// paint the page through printTo, which keeps the turn markers off it.
#include "ExternalTools.h"
#include "GuiDriver.h"
#include "PlotPrinter.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

namespace {

// Chooses path in the file dialog of File > "Print as pdf" and answers the
// message that follows; returns its title and text.
QString printPdf(MainWindow &window, const QString &path)
{
    whenModal<QFileDialog>([path](QFileDialog *files) { choose(files, path); });
    QString shown;
    whenModal<QMessageBox>([&shown](QMessageBox *box) {
        shown = box->windowTitle() + QStringLiteral(": ") + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    window.findChild<QAction *>(QStringLiteral("actionPrint_as_pdf"))->trigger();
    return shown;
}

} // namespace

class tst_Printing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { settings.clear(); }
    void onePdfPage_data();
    void onePdfPage();
    void turnMarkersStayOffThePage_data();
    void turnMarkersStayOffThePage();
    void gridLinesShowOnPaper_data();
    void gridLinesShowOnPaper();

private:
    TemporarySettings settings;
    QTemporaryDir dir;
    const QString ride = dir.filePath(QStringLiteral("S_100407_10-30.csv"));
};

void tst_Printing::initTestCase()
{
    // 40 s from 10:30:15, a turn recorded after 10 s.
    QVERIFY(writeRide(ride, 41));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("T_100407.10-30-25.csv")),
                      "VOK_Single_Turn_file ,T_100407.10-30-25.csv\n0,0,152,210,12\n#####\n"));
}

void tst_Printing::onePdfPage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("axis"); // chosen in the x-axis chooser; the stored mode is the other
    QTest::addColumn<QString>("footer");

    QTest::newRow("time axis, a name without suffix gets .pdf")
        << "time" << "time.pdf" << 0 << "X axis unit: time (hh:mm:ss)";
    QTest::newRow("distance axis, a name with another suffix is kept")
        << "distance.txt" << "distance.txt" << 1 << "X axis unit: space (Km)";
}

void tst_Printing::onePdfPage()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(int, axis);
    QFETCH(QString, footer);
    VOK_REQUIRE_TOOL(pdfinfo, "pdfinfo");
    VOK_REQUIRE_TOOL(pdftotext, "pdftotext");

    store(QStringLiteral("options/axes/x_axis_type"), 1 - axis);
    MainWindow window;
    QVERIFY(openRide(window, ride));
    window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"))->setCurrentIndex(axis);
    const QString path = dir.filePath(written);
    QCOMPARE(printPdf(window, dir.filePath(typed)), "Print status: Page printed to file: " + path);

    // One A4 page, landscape: 842 by 595 points.
    const QString info = runTool(pdfinfo, {path}).output;
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral(
                 "Pages: +1\n(.*\n)*Page size: +84[12][.0-9]* x 59[56][.0-9]* pts \\(A4\\)"))),
             qPrintable(info));
    const QString text = runTool(pdftotext, {path, QStringLiteral("-")}).output;
    QVERIFY2(text.contains("S_100407_10-30.csv data plots:") && text.contains(footer),
             qPrintable(text));
}

void tst_Printing::turnMarkersStayOffThePage_data()
{
    QTest::addColumn<bool>("preview");

    QTest::newRow("printed as PDF") << false;
    QTest::newRow("shown in the print preview") << true;
}

void tst_Printing::turnMarkersStayOffThePage()
{
    QFETCH(bool, preview);

    QStringList moves; // outlives the window, whose plots report their items leaving
    MainWindow window;
    QVERIFY(openRide(window, ride));
    QwtPlotCurve *markers = findCurve(window, QStringLiteral("Turns"));
    QVERIFY(markers);
    QwtPlot *top = markers->plot();
    QVERIFY(top);
    connect(top, &QwtPlot::itemAttached, this, [&moves, markers](QwtPlotItem *item, bool on) {
        if (item == markers)
            moves << QString::fromLatin1(on ? "back" : "off");
    });

    if (preview) {
        int pages = -1;
        whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog *dialog) {
            pages = dialog->findChild<QPrintPreviewWidget *>()->pageCount();
            dialog->reject();
        });
        window.findChild<QAction *>(QStringLiteral("actionPrint_preview"))->trigger();
        QCOMPARE(pages, 1);
    } else {
        QVERIFY(!printPdf(window, dir.filePath(QStringLiteral("markers.pdf"))).isEmpty());
    }
    QCOMPARE(moves, QStringList({"off", "back"}));
    QCOMPARE(markers->plot(), top);
}

void tst_Printing::gridLinesShowOnPaper_data()
{
    QTest::addColumn<double>("screenWidth"); // pixels
    QTest::addColumn<double>("dotsPerInch");
    QTest::addColumn<double>("printedWidth"); // dots: at least half a point

    QTest::newRow("the screen's 1.3 px at 300 dpi") << 1.3 << 300.0 << 300.0 / 144.0;
    QTest::newRow("a hairline at 600 dpi") << 0.0 << 600.0 << 600.0 / 144.0;
    QTest::newRow("wide enough already at 72 dpi") << 1.3 << 72.0 << 1.3;
}

void tst_Printing::gridLinesShowOnPaper()
{
    QFETCH(double, screenWidth);
    QFETCH(double, dotsPerInch);
    const QPen screen(QBrush(Qt::gray), screenWidth, Qt::DashLine);
    const QPen printed = PlotPrinter::printedGridPen(screen, dotsPerInch);
    QTEST(printed.widthF(), "printedWidth");
    QCOMPARE(printed.style(), Qt::DashLine);
}

QTEST_MAIN(tst_Printing)
#include "tst_printing.moc"
