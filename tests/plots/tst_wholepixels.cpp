#include "WholePixels.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// Which painters and pens may take pixels worked out elsewhere.
class TestWholePixels : public QObject
{
    Q_OBJECT

private slots:
    void tellsWhichPaintersPutPixelsOneToOne_data();
    void tellsWhichPaintersPutPixelsOneToOne();
    void printedPagesAreNot();
};

using Setup = std::function<void(QPainter &, QPen &)>;
Q_DECLARE_METATYPE(Setup)

void TestWholePixels::tellsWhichPaintersPutPixelsOneToOne_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("oneToOne");
    QTest::addColumn<bool>("opaqueStrokes");

    QTest::newRow("a plain image painter") << Setup([](QPainter &, QPen &) {}) << true << true;
    QTest::newRow("moved by whole pixels")
        << Setup([](QPainter &p, QPen &) { p.translate(3, -7); }) << true << true;
    QTest::newRow("moved by half a pixel")
        << Setup([](QPainter &p, QPen &) { p.translate(0.5, 0); }) << false << false;
    QTest::newRow("scaled") << Setup([](QPainter &p, QPen &) { p.scale(2, 2); }) << false << false;
    QTest::newRow("half opaque")
        << Setup([](QPainter &p, QPen &) { p.setOpacity(0.5); }) << false << false;
    QTest::newRow("another composition")
        << Setup([](QPainter &p, QPen &) { p.setCompositionMode(QPainter::CompositionMode_Xor); })
        << false << false;
    QTest::newRow("smoothing")
        << Setup([](QPainter &p, QPen &) { p.setRenderHint(QPainter::Antialiasing); }) << true
        << false;
    QTest::newRow("a dashed pen")
        << Setup([](QPainter &, QPen &pen) { pen.setStyle(Qt::DashLine); }) << true << false;
    QTest::newRow("a see-through pen")
        << Setup([](QPainter &, QPen &pen) { pen.setColor(QColor(0, 0, 255, 100)); }) << true
        << false;
    QTest::newRow("a gradient pen")
        << Setup([](QPainter &, QPen &pen) { pen.setBrush(QLinearGradient(0, 0, 10, 10)); })
        << true << false;
}

void TestWholePixels::tellsWhichPaintersPutPixelsOneToOne()
{
    QFETCH(Setup, setup);
    QFETCH(bool, oneToOne);
    QFETCH(bool, opaqueStrokes);

    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QPen pen(Qt::black, 2.0);
    setup(painter, pen);
    QCOMPARE(WholePixels::oneToOne(&painter), oneToOne);
    QCOMPARE(WholePixels::opaqueStrokes(&painter, pen), opaqueStrokes);
}

void TestWholePixels::printedPagesAreNot()
{
    const QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath(QStringLiteral("page.pdf")));
    QPainter painter(&pdf);
    painter.resetTransform();
    QVERIFY(!WholePixels::oneToOne(&painter));
}

QTEST_MAIN(TestWholePixels)
#include "tst_wholepixels.moc"
