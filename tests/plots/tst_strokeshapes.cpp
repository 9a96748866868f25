#include "StrokeShapes.h"

#include <QImage>
#include <QTest>

// The pixels learned for a line's rise are those its stroke covers, for
// every pen and painter they are learned for, wherever the line lies.
class TestStrokeShapes : public QObject
{
    Q_OBJECT

private slots:
    void coversWhatTheStrokeCovers_data();
    void coversWhatTheStrokeCovers();
    void learnsAgainForAnotherPen();
};

namespace {

QImage blank()
{
    QImage image(60, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

void TestStrokeShapes::coversWhatTheStrokeCovers_data()
{
    QTest::addColumn<QPen>("pen");
    QTest::addColumn<int>("hints");

    const QPen session(QBrush(Qt::blue), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
    QTest::newRow("the session pen") << session << 0;
    QTest::newRow("painted as Qt 4 painted")
        << session << int(QPainter::Qt4CompatiblePainting);
    QTest::newRow("flat caps") << QPen(QBrush(Qt::red), 2.0, Qt::SolidLine, Qt::FlatCap) << 0;
    QTest::newRow("round caps, wider")
        << QPen(QBrush(Qt::red), 3.5, Qt::SolidLine, Qt::RoundCap) << 0;
    QTest::newRow("a hairline") << QPen(QBrush(Qt::red), 0.0) << 0;
}

void TestStrokeShapes::coversWhatTheStrokeCovers()
{
    QFETCH(QPen, pen);
    QFETCH(int, hints);
    StrokeShapes shapes;
    for (int rise = -150; rise <= 150; rise += rise >= -8 && rise < 8 ? 1 : 7) {
        for (const QPoint start : {QPoint(20, 200), QPoint(31, 187)}) {
            QImage stroked = blank(), filled = blank();
            {
                QPainter painter(&stroked);
                painter.setRenderHints(QPainter::RenderHints(hints));
                painter.setPen(pen);
                painter.drawLine(QLineF(start, start + QPoint(1, rise)));
            }
            const StrokeShapes::Shape *shape
                = shapes.shape(pen, QPainter::RenderHints(hints), rise);
            QVERIFY(shape);
            QRect bounds;
            {
                QPainter painter(&filled);
                for (const QRect &rect : shape->rects) {
                    painter.fillRect(rect.translated(start), pen.color());
                    bounds |= rect;
                }
            }
            QCOMPARE(shape->bounds, bounds);
            if (filled != stroked)
                QFAIL(qPrintable(QStringLiteral("rise %1 from (%2, %3)")
                                     .arg(rise).arg(start.x()).arg(start.y())));
        }
    }
    QVERIFY(!shapes.shape(pen, QPainter::RenderHints(hints), 100000));
}

// One set of shapes serves one pen and hints at a time.
void TestStrokeShapes::learnsAgainForAnotherPen()
{
    StrokeShapes shapes;
    const QPen thin(QBrush(Qt::blue), 2.0, Qt::SolidLine, Qt::SquareCap);
    const QPen wide(QBrush(Qt::blue), 6.0, Qt::SolidLine, Qt::SquareCap);
    const std::vector<QRect> thinShape = shapes.shape(thin, {}, 5)->rects;
    const std::vector<QRect> wideShape = shapes.shape(wide, {}, 5)->rects;
    QVERIFY(thinShape != wideShape);
    QCOMPARE(shapes.shape(thin, {}, 5)->rects, thinShape);
    QVERIFY(shapes.shape(thin, QPainter::Qt4CompatiblePainting, 5)->rects != thinShape);
}

QTEST_MAIN(TestStrokeShapes)
#include "tst_strokeshapes.moc"
