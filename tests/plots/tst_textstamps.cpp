#include "TextStamps.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextLayout>
#include <qwt_painter.h>

namespace {

enum class Painter { Plain, PixelRatio2, Scaled, RightToLeft };

// At the screen's resolution, like the window's: on other devices (a
// printer) QwtPainter draws text with a font of its own, and stamps
// decline. Qt Test gives images 96 dots per inch, whatever the screen.
QImage blank(Painter kind)
{
    const bool doubled = kind == Painter::PixelRatio2;
    QImage image(doubled ? 440 : 220, doubled ? 100 : 50, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(doubled ? 2.0 : 1.0);
    image.setDotsPerMeterX(qRound(QApplication::desktop()->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(QApplication::desktop()->logicalDpiY() / 0.0254));
    image.fill(Qt::white);
    return image;
}

// Draws text with QwtPainter::drawText into qwts and with stamps into ours,
// which stays blank where they decline; returns whether they drew.
bool drawBoth(TextStamps &stamps, Painter kind, const QFont &font, const QRectF &rect,
              const QString &text, QImage &qwts, QImage &ours)
{
    auto begin = [&](QPainter &painter) {
        painter.setFont(font);
        painter.setPen(Qt::darkBlue);
        if (kind == Painter::Scaled)
            painter.scale(1.5, 1.5);
        if (kind == Painter::RightToLeft)
            painter.setLayoutDirection(Qt::RightToLeft);
    };
    qwts = ours = blank(kind);
    QPainter theirs(&qwts);
    begin(theirs);
    QwtPainter::drawText(&theirs, rect, 0, text);
    QPainter painter(&ours);
    begin(painter);
    return stamps.draw(&painter, rect, text);
}

} // namespace

Q_DECLARE_METATYPE(Painter)

// Texts drawn from a kept layout come out as QwtPainter::drawText draws
// them, pixel for pixel; where they might not, they are left to the caller.
class TestTextStamps : public QObject
{
    Q_OBJECT

private slots:
    void drawsAsDrawText_data();
    void drawsAsDrawText();
};

void TestTextStamps::drawsAsDrawText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<Painter>("painter");
    QTest::addColumn<bool>("drawn");      // in the application's font
    QTest::addColumn<bool>("drawnLarge"); // and in a larger one

    const QRectF wide(3.4, 2.65, 200.0, 30.5);
    QTest::newRow("clock label") << "12:00:00" << wide << Painter::Plain << true << true;
    QTest::newRow("pixel ratio 2") << "Höhe 1,000 m" << wide << Painter::PixelRatio2 << true << true;
    QTest::newRow("ligatures, kerning") << "AVA ffi Ty" << wide << Painter::Plain << true << true;
    // Just wide enough for the application's font: a layout kept for it
    // must not be taken for the larger font, which drawText would clip.
    const QString text = QStringLiteral("Power Tot (W)");
    QTextLayout measured(text, QFont(QGuiApplication::font(), QApplication::desktop()));
    measured.beginLayout();
    QTextLine line = measured.createLine();
    line.setLineWidth(1000.0);
    measured.endLayout();
    QTest::newRow("fits one font") << text << QRectF(3.4, 2.2, line.naturalTextWidth() + 1.0, 30.5)
                                   << Painter::Plain << true << false;

    // Declined: drawText would clip or break the line, or lays it out otherwise.
    QTest::newRow("too narrow") << "Power (W)" << QRectF(2, 4, 40, 27) << Painter::Plain << false
                                << false;
    QTest::newRow("too low") << "12:00" << QRectF(3, 2, 200, 5) << Painter::Plain << false << false;
    QTest::newRow("tab") << "a\tb" << wide << Painter::Plain << false << false;
    QTest::newRow("trailing space") << "km " << wide << Painter::Plain << false << false;
    QTest::newRow("scaled painter") << "12:00:00" << wide << Painter::Scaled << false << false;
    QTest::newRow("right to left") << "12:00" << wide << Painter::RightToLeft << false << false;
}

void TestTextStamps::drawsAsDrawText()
{
    QFETCH(QString, text);
    QFETCH(QRectF, rect);
    QFETCH(Painter, painter);
    QFETCH(bool, drawn);
    QFETCH(bool, drawnLarge);

    QFont largeBold = QGuiApplication::font();
    largeBold.setPointSizeF(14.5);
    largeBold.setBold(true);
    TextStamps stamps;
    // Each font in turn, the second time from the kept layout.
    for (int time = 0; time < 2; ++time) {
        for (const bool large : {false, true}) {
            QImage qwts, ours;
            const bool stamped = drawBoth(stamps, painter, large ? largeBold : QGuiApplication::font(),
                                          rect, text, qwts, ours);
            QCOMPARE(stamped, large ? drawnLarge : drawn);
            QCOMPARE(ours, stamped ? qwts : blank(painter));
        }
    }
}

QTEST_MAIN(TestTextStamps)
#include "tst_textstamps.moc"
