#include "PixelFill.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

// Rectangles filled straight into the painted image come out as
// QPainter::fillRect gives them, whatever the painter.
class TestPixelFill : public QObject
{
    Q_OBJECT

private slots:
    void fillsAsThePainterWould_data();
    void fillsAsThePainterWould();
    void keepsWithinTheRegionBeingPainted();
};

namespace {

using Setup = std::function<void(QPainter &)>;

// Column strokes two pixels wide and rectangles of other widths, some
// across the image's edges, one empty; and lines along the inner edges of
// the clips below, as a grid draws them, and a pixel beyond them.
QVector<QRect> rectangles()
{
    QRandomGenerator random(7);
    QVector<QRect> rects{QRect(-3, 5, 2, 40), QRect(195, -4, 2, 30), QRect(50, 90, 0, 5)};
    for (const QRect &clip : {QRect(30, 20, 120, 50), QRect(10, 0, 150, 60)}) {
        for (int beyond : {0, 1}) {
            const QRect reach = clip.adjusted(-beyond, -beyond, beyond, beyond);
            rects << QRect(reach.left(), reach.top(), 1, reach.height())
                  << QRect(reach.right() - 1, reach.top(), 2, reach.height())
                  << QRect(reach.left(), reach.top(), reach.width(), 1)
                  << QRect(reach.left() + 5, reach.bottom(), reach.width() - 10, 1);
        }
    }
    for (int i = 0; i < 400; ++i)
        rects.append(QRect(random.bounded(-10, 210), random.bounded(-10, 110),
                           i % 4 ? 2 : random.bounded(1, 9), random.bounded(1, 60)));
    return rects;
}

const QColor colour(20, 120, 220);

// The rectangles, and a shape of several rectangles put down all over and
// across the edges, through PixelFill or through fillRect.
void fillAll(QPainter &painter, bool direct)
{
    PixelFill fill(&painter, colour);
    for (const QRect &rect : rectangles()) {
        if (direct)
            fill.fill(rect);
        else
            painter.fillRect(rect, colour);
    }
    const std::vector<QRect> shape{QRect(-1, -1, 1, 3), QRect(0, -2, 1, 6), QRect(1, 2, 2, 4)};
    const QRect bounds(-1, -2, 4, 8);
    for (int x = -3; x < 205; x += 11) {
        for (int y = -4; y < 106; y += 9) {
            if (direct) {
                fill.fill(shape, bounds, QPoint(x, y));
            } else {
                for (const QRect &rect : shape)
                    painter.fillRect(rect.translated(x, y), colour);
            }
        }
    }
}

// All of them on an image of format, after setup.
QImage filled(QImage::Format format, const Setup &setup, bool direct)
{
    QImage image(200, 100, format);
    image.fill(Qt::white);
    QPainter painter(&image);
    setup(painter);
    fillAll(painter, direct);
    painter.end();
    return image;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

void TestPixelFill::fillsAsThePainterWould_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<Setup>("setup");

    const Setup plain = [](QPainter &) {};
    QTest::newRow("RGB32") << int(QImage::Format_RGB32) << plain;
    QTest::newRow("ARGB32") << int(QImage::Format_ARGB32) << plain;
    QTest::newRow("ARGB32 premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << plain;
    QTest::newRow("16-bit pixels") << int(QImage::Format_RGB16) << plain;
    QTest::newRow("moved by whole pixels")
        << int(QImage::Format_RGB32) << Setup([](QPainter &p) { p.translate(7, -5); });
    QTest::newRow("moved by half a pixel")
        << int(QImage::Format_RGB32) << Setup([](QPainter &p) { p.translate(0.5, 0.5); });
    QTest::newRow("scaled") << int(QImage::Format_RGB32)
                            << Setup([](QPainter &p) { p.scale(1.5, 1.5); });
    QTest::newRow("clipped to a rectangle")
        << int(QImage::Format_RGB32) << Setup([](QPainter &p) { p.setClipRect(30, 20, 120, 50); });
    QTest::newRow("clipped to a rectangle between pixels")
        << int(QImage::Format_RGB32)
        << Setup([](QPainter &p) { p.setClipRect(QRectF(30.5, 20.25, 120.4, 50.7)); });
    QTest::newRow("moved and clipped") << int(QImage::Format_RGB32) << Setup([](QPainter &p) {
        p.translate(-4, 9);
        p.setClipRect(10, 0, 150, 60);
    });
    QTest::newRow("clipped to two rectangles")
        << int(QImage::Format_RGB32) << Setup([](QPainter &p) {
               p.setClipRegion(QRegion(10, 10, 50, 50) + QRegion(100, 40, 60, 50));
           });
    QTest::newRow("half opaque")
        << int(QImage::Format_RGB32) << Setup([](QPainter &p) { p.setOpacity(0.5); });
    QTest::newRow("smoothed") << int(QImage::Format_RGB32)
                              << Setup([](QPainter &p) { p.setRenderHint(QPainter::Antialiasing); });
}

void TestPixelFill::fillsAsThePainterWould()
{
    QFETCH(int, format);
    QFETCH(Setup, setup);
    const QImage expected = filled(QImage::Format(format), setup, false);
    QCOMPARE(filled(QImage::Format(format), setup, true), expected);
}

// Painted as part of a window, only the region being repainted (the
// engine's system clip) may change.
void TestPixelFill::keepsWithinTheRegionBeingPainted()
{
    const QRegion exposed = QRegion(20, 10, 60, 40) + QRegion(120, 30, 50, 70);
    QImage images[2];
    for (int direct = 0; direct < 2; ++direct) {
        QImage &image = images[direct];
        image = QImage(200, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        image.paintEngine()->setSystemClip(exposed);
        QPainter painter(&image);
        painter.translate(3, 2);
        fillAll(painter, direct);
        // And across each edge of the region by one pixel.
        PixelFill fill(&painter, colour);
        for (QRect area : exposed) {
            area.translate(-3, -2);
            for (const QRect &edge : {QRect(area.left() - 1, area.top() + 2, 2, 5),
                                      QRect(area.right(), area.top() + 2, 2, 5),
                                      QRect(area.left() + 2, area.top() - 1, 5, 2),
                                      QRect(area.left() + 2, area.bottom(), 5, 2)}) {
                if (direct)
                    fill.fill(edge);
                else
                    painter.fillRect(edge, colour);
            }
        }
    }
    QCOMPARE(images[1], images[0]);
    QCOMPARE(images[1].pixel(5, 5), qRgb(0, 0, 0));
}

QTEST_MAIN(TestPixelFill)
#include "tst_pixelfill.moc"
