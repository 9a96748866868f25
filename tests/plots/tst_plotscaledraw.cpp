#include "PlotScaleDraw.h"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>
#include <qwt_scale_engine.h>
#include <qwt_text.h>

namespace {

enum class Labels { Numbers, SomeEmpty, RichText, Coloured };

// A scale draw of either kind labelled alike.
template <class Draw>
class Labelled : public Draw
{
public:
    explicit Labelled(Labels labels) : labels(labels) {}

    QwtText label(double value) const override
    {
        switch (labels) {
        case Labels::Numbers:
            break;
        case Labels::SomeEmpty:
            if (qRound(value) % 20 == 0)
                return QwtText();
            break;
        case Labels::RichText:
            return QwtText(QStringLiteral("<b>%1</b>").arg(value));
        case Labels::Coloured: {
            QwtText text = Draw::label(value);
            text.setColor(Qt::red);
            return text;
        }
        }
        return Draw::label(value);
    }

private:
    Labels labels;
};

} // namespace

Q_DECLARE_METATYPE(QwtScaleDraw::Alignment)
Q_DECLARE_METATYPE(Labels)

// The axes' scale draw takes the place and paints the pixels that
// QwtScaleDraw does, through changes of scale and font.
class TestPlotScaleDraw : public QObject
{
    Q_OBJECT

private slots:
    void drawsAsQwtScaleDraw_data();
    void drawsAsQwtScaleDraw();
};

void TestPlotScaleDraw::drawsAsQwtScaleDraw_data()
{
    QTest::addColumn<QwtScaleDraw::Alignment>("alignment");
    QTest::addColumn<Labels>("labels");
    QTest::addColumn<double>("rotation");
    QTest::addColumn<double>("zoom"); // of the painter, as when printing

    const struct {
        const char *name;
        QwtScaleDraw::Alignment alignment;
    } sides[] = {{"bottom", QwtScaleDraw::BottomScale},
                 {"left", QwtScaleDraw::LeftScale},
                 {"right", QwtScaleDraw::RightScale},
                 {"top", QwtScaleDraw::TopScale}};
    for (const auto &side : sides) {
        QTest::addRow("%s, numbers", side.name) << side.alignment << Labels::Numbers << 0.0 << 1.0;
        QTest::addRow("%s, some labels empty", side.name)
            << side.alignment << Labels::SomeEmpty << 0.0 << 1.0;
    }
    QTest::newRow("left, painter zoomed") << QwtScaleDraw::LeftScale << Labels::Numbers << 0.0 << 2.5;
    QTest::newRow("bottom, painter zoomed")
        << QwtScaleDraw::BottomScale << Labels::Numbers << 0.0 << 1.7;
    QTest::newRow("bottom, rotated labels")
        << QwtScaleDraw::BottomScale << Labels::Numbers << 30.0 << 1.0;
    QTest::newRow("left, rich text") << QwtScaleDraw::LeftScale << Labels::RichText << 0.0 << 1.0;
    QTest::newRow("bottom, coloured labels")
        << QwtScaleDraw::BottomScale << Labels::Coloured << 0.0 << 1.0;
}

void TestPlotScaleDraw::drawsAsQwtScaleDraw()
{
    QFETCH(QwtScaleDraw::Alignment, alignment);
    QFETCH(Labels, labels);
    QFETCH(double, rotation);
    QFETCH(double, zoom);

    Labelled<PlotScaleDraw> ours(labels);
    Labelled<QwtScaleDraw> qwts(labels);
    const bool vertical = alignment == QwtScaleDraw::LeftScale
                          || alignment == QwtScaleDraw::RightScale;
    const QPointF origin = alignment == QwtScaleDraw::LeftScale ? QPointF(180, 20)
                           : alignment == QwtScaleDraw::TopScale ? QPointF(30, 120)
                                                                  : QPointF(30, 20);
    for (QwtScaleDraw *draw : {static_cast<QwtScaleDraw *>(&ours), static_cast<QwtScaleDraw *>(&qwts)}) {
        draw->setAlignment(alignment);
        draw->setLabelRotation(rotation);
        draw->move(origin);
        draw->setLength(vertical ? 300 : 420);
    }

    QFont large = QGuiApplication::font();
    large.setPointSizeF(15.5);
    large.setBold(true);
    QFont pixels = QGuiApplication::font();
    pixels.setPixelSize(9);
    const QFont fonts[] = {QGuiApplication::font(), large, pixels};
    // Ending on the scale it starts with: the next font comes on the same scale.
    const QwtInterval scales[] = {{0.0, 100.0}, {-3.7, 12.9}, {1.0e5, 8.6e5}, {0.0, 100.0}};

    QwtLinearScaleEngine engine;
    // Each font and scale in turn on the same two draws: what one draw
    // keeps must not outlast its font or its scale.
    for (const QFont &font : fonts) {
        for (const QwtInterval &scale : scales) {
            const QwtScaleDiv div = engine.divideScale(scale.minValue(), scale.maxValue(), 8, 5);
            ours.setScaleDiv(div);
            qwts.setScaleDiv(div);
            const QByteArray where = QStringLiteral("%1 pt %2 px, %3 to %4")
                                         .arg(font.pointSizeF())
                                         .arg(font.pixelSize())
                                         .arg(scale.minValue())
                                         .arg(scale.maxValue())
                                         .toUtf8();
            QVERIFY2(ours.extent(font) == qwts.extent(font), where.constData());

            QImage images[2];
            for (int i = 0; i < 2; ++i) {
                images[i] = QImage(int(520 * zoom), int(380 * zoom), QImage::Format_ARGB32_Premultiplied);
                images[i].fill(Qt::white);
                QPainter painter(&images[i]);
                painter.scale(zoom, zoom);
                painter.setFont(font);
                (i == 0 ? static_cast<QwtScaleDraw &>(ours) : qwts).draw(&painter, QPalette());
            }
            QVERIFY2(images[0] == images[1], where.constData());
        }
    }
}

QTEST_MAIN(TestPlotScaleDraw)
#include "tst_plotscaledraw.moc"
