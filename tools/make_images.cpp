// make_images: draws the program's artwork and writes it as RGBA PNG files.
//
//   make_images OUTDIR        (normally resources/images)
//
// Run it headless with QT_QPA_PLATFORM=offscreen. The brand mark's lettering
// uses the DejaVu Sans font (package fonts-dejavu-core); the product logo's
// letters are drawn as strokes and need no font.

#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QStringList>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;

const QColor kInk(0x1d, 0x2b, 0x3a);
const QColor kInkLight(0x3a, 0x4f, 0x66);
const QColor kOrange(0xf0, 0x7c, 0x1e);
const QColor kRed(0xd9, 0x3a, 0x1f);
const QColor kSilver(0xe4, 0xe9, 0xef);
const QColor kTeal(0x12, 0x8a, 0x8c);
const QColor kTealDark(0x0b, 0x5e, 0x66);

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void preparePainter(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QPointF polar(const QPointF &centre, double radius, double degrees)
{
    const double a = degrees * kPi / 180.0;
    return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

// ------------------------------------------------------------ product logo

// A chainring with teeth, seen face-on: outer toothed rim, five spider arms
// and a hub.
QPainterPath chainring(const QPointF &c, double tipRadius, double rootRadius, double innerRadius, int teeth)
{
    QPainterPath rim;
    const double step = 360.0 / teeth;
    for (int i = 0; i < teeth; ++i) {
        const double a = i * step;
        const QPointF p0 = polar(c, rootRadius, a - 0.5 * step);
        const QPointF p1 = polar(c, tipRadius, a - 0.18 * step);
        const QPointF p2 = polar(c, tipRadius, a + 0.18 * step);
        if (i == 0)
            rim.moveTo(p0);
        else
            rim.lineTo(p0);
        rim.cubicTo(polar(c, rootRadius + 0.6 * (tipRadius - rootRadius), a - 0.42 * step), p1, p1);
        rim.lineTo(p2);
        rim.cubicTo(p2, polar(c, rootRadius + 0.6 * (tipRadius - rootRadius), a + 0.42 * step),
                    polar(c, rootRadius, a + 0.5 * step));
    }
    rim.closeSubpath();

    QPainterPath hole;
    hole.addEllipse(c, innerRadius, innerRadius);
    QPainterPath ring = rim.subtracted(hole);

    // Spider arms joining the ring to the hub.
    QPainterPath spider;
    for (int i = 0; i < 5; ++i) {
        const double a = -90.0 + i * 72.0;
        QPainterPath arm;
        const QPointF inner = polar(c, 20.0, a);
        const QPointF outer = polar(c, innerRadius + 6.0, a);
        const QPointF side = polar(QPointF(0, 0), 11.0, a + 90.0);
        const QPointF sideOuter = polar(QPointF(0, 0), 15.0, a + 90.0);
        arm.moveTo(inner + side);
        arm.lineTo(outer + sideOuter);
        arm.lineTo(outer - sideOuter);
        arm.lineTo(inner - side);
        arm.closeSubpath();
        spider = spider.united(arm);
    }
    QPainterPath hub;
    hub.addEllipse(c, 34.0, 34.0);
    spider = spider.united(hub);

    QPainterPath whole = ring.united(spider);
    // Chainring bolts at the end of each arm and the axle bore.
    for (int i = 0; i < 5; ++i) {
        QPainterPath bolt;
        bolt.addEllipse(polar(c, innerRadius - 4.0, -90.0 + i * 72.0), 4.5, 4.5);
        whole = whole.subtracted(bolt);
    }
    QPainterPath bore;
    bore.addEllipse(c, 12.0, 12.0);
    return whole.subtracted(bore);
}

// Letters V, O and K as a stroke centre line; the caller strokes them.
void addLetters(QPainterPath &strokes, QPainterPath &ring, double left, double top, double height)
{
    const double w = 0.92 * height;
    // V
    strokes.moveTo(left, top);
    strokes.lineTo(left + w / 2.0, top + height);
    strokes.lineTo(left + w, top);
    // O, kept apart so it can take the accent colour
    const double oLeft = left + w + 0.30 * height;
    ring.addEllipse(QRectF(oLeft, top, height, height));
    // K
    const double kLeft = oLeft + height + 0.36 * height;
    const double kWidth = 0.72 * height;
    strokes.moveTo(kLeft, top);
    strokes.lineTo(kLeft, top + height);
    strokes.moveTo(kLeft + kWidth, top);
    strokes.lineTo(kLeft + 0.06 * height, top + 0.56 * height);
    strokes.moveTo(kLeft + 0.30 * height, top + 0.40 * height);
    strokes.lineTo(kLeft + kWidth + 0.04 * height, top + height);
}

QImage productLogo()
{
    QImage image = blankImage(378, 407);
    QPainter p(&image);
    preparePainter(p);

    const QPointF c(189.0, 160.0);

    // Soft shadow round the rim, and a light face behind the spider so the
    // logo reads well on any background.
    QRadialGradient shadow(c + QPointF(0, 8), 162.0);
    shadow.setColorAt(0.82, QColor(0, 0, 0, 0));
    shadow.setColorAt(0.90, QColor(0, 0, 0, 60));
    shadow.setColorAt(1.00, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(c + QPointF(0, 8), 162.0, 162.0);
    QRadialGradient face(c + QPointF(-30, -40), 150.0);
    face.setColorAt(0.0, Qt::white);
    face.setColorAt(1.0, QColor(0xd5, 0xde, 0xe8));
    p.setBrush(face);
    p.drawEllipse(c, 116.0, 116.0);

    const QPainterPath ring = chainring(c, 150.0, 138.0, 112.0, 42);
    QLinearGradient metal(c.x() - 150, c.y() - 150, c.x() + 150, c.y() + 150);
    metal.setColorAt(0.0, kInkLight);
    metal.setColorAt(1.0, kInk);
    p.setBrush(metal);
    p.setPen(QPen(kInk, 1.5));
    p.drawPath(ring);

    // Crank arm pointing down-left with its pedal eye.
    const QPointF crankEnd = polar(c, 100.0, 125.0);
    QPen crankPen(kSilver, 24.0, Qt::SolidLine, Qt::RoundCap);
    QPainterPath crank;
    crank.moveTo(c);
    crank.lineTo(crankEnd);
    p.strokePath(crank, QPen(kInk, 30.0, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(crank, crankPen);
    p.setPen(QPen(kInk, 3.0));
    p.setBrush(kInk);
    p.drawEllipse(crankEnd, 6.0, 6.0);
    p.setBrush(kSilver);
    p.drawEllipse(c, 11.0, 11.0);

    // A power trace sweeping across the ring, rising to the right.
    QPainterPath trace;
    const double x0 = 24.0, x1 = 354.0;
    for (int i = 0; i <= 330; ++i) {
        const double u = i / 330.0;
        const double x = x0 + u * (x1 - x0);
        const double y = 232.0 - 120.0 * u * u
                         - 26.0 * std::sin(u * 5.2 * kPi) * (0.4 + 0.6 * u)
                         - 10.0 * std::sin(u * 17.0 * kPi + 0.7) * (1.0 - 0.5 * u);
        if (i == 0)
            trace.moveTo(x, y);
        else
            trace.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.strokePath(trace, QPen(Qt::white, 15.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient heat(x0, 0, x1, 0);
    heat.setColorAt(0.0, kOrange);
    heat.setColorAt(1.0, kRed);
    p.strokePath(trace, QPen(QBrush(heat), 7.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF tip = trace.currentPosition();
    p.setPen(QPen(Qt::white, 3.0));
    p.setBrush(kRed);
    p.drawEllipse(tip, 9.0, 9.0);

    // The name under the ring.
    QPainterPath letters;
    QPainterPath ringO;
    const double height = 66.0;
    const double width = 0.92 * height + 0.30 * height + height + 0.36 * height + 0.76 * height;
    addLetters(letters, ringO, (378.0 - width) / 2.0, 327.0, height);
    p.setBrush(Qt::NoBrush);
    p.strokePath(letters, QPen(kInk, 17.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(ringO, QPen(kOrange, 17.0));
    p.end();
    return image;
}

// ------------------------------------------------------------ brand mark

QPainterPath hexagon(const QPointF &c, double radius)
{
    QPainterPath path;
    for (int i = 0; i < 6; ++i) {
        const QPointF v = polar(c, radius, -90.0 + 60.0 * i);
        if (i == 0)
            path.moveTo(v);
        else
            path.lineTo(v);
    }
    path.closeSubpath();
    return path;
}

QPainterPath flask(const QPointF &c, double size)
{
    // Erlenmeyer flask: narrow neck with a lip, conical body, flat base.
    const double neckHalf = 0.11 * size, lipHalf = 0.16 * size, baseHalf = 0.42 * size;
    const double top = c.y() - 0.50 * size, neckBottom = c.y() - 0.12 * size, bottom = c.y() + 0.44 * size;
    QPainterPath path;
    path.moveTo(c.x() - lipHalf, top);
    path.lineTo(c.x() + lipHalf, top);
    path.lineTo(c.x() + lipHalf, top + 0.07 * size);
    path.lineTo(c.x() + neckHalf, top + 0.07 * size);
    path.lineTo(c.x() + neckHalf, neckBottom);
    path.lineTo(c.x() + baseHalf, bottom - 0.06 * size);
    path.quadTo(c.x() + baseHalf + 0.02 * size, bottom, c.x() + baseHalf - 0.06 * size, bottom);
    path.lineTo(c.x() - baseHalf + 0.06 * size, bottom);
    path.quadTo(c.x() - baseHalf - 0.02 * size, bottom, c.x() - baseHalf, bottom - 0.06 * size);
    path.lineTo(c.x() - neckHalf, neckBottom);
    path.lineTo(c.x() - neckHalf, top + 0.07 * size);
    path.lineTo(c.x() - lipHalf, top + 0.07 * size);
    path.closeSubpath();
    return path;
}

QFont brandFont(bool bold, double pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(bold);
    font.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QImage brandMark()
{
    QImage image = blankImage(331, 252);
    QPainter p(&image);
    preparePainter(p);

    const QPointF c(165.5, 86.0);
    const QPainterPath hex = hexagon(c, 78.0);
    QLinearGradient sea(c.x(), c.y() - 78, c.x(), c.y() + 78);
    sea.setColorAt(0.0, kTeal);
    sea.setColorAt(1.0, kTealDark);
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawPath(hex);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 90), 3.0));
    p.drawPath(hexagon(c, 68.0));

    // White flask with an orange liquid and a few bubbles.
    const QPointF flaskCentre = c + QPointF(0, 4);
    const QPainterPath body = flask(flaskCentre, 96.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(body);
    QPainterPath liquidLevel;
    liquidLevel.addRect(QRectF(c.x() - 60, flaskCentre.y() + 8.0, 120, 60));
    QPainterPath liquid = flask(flaskCentre, 80.0).intersected(liquidLevel);
    liquid.translate(0, 6.0);
    p.setBrush(kOrange);
    p.drawPath(liquid.intersected(body));
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(flaskCentre + QPointF(-8, 26), 4.0, 4.0);
    p.drawEllipse(flaskCentre + QPointF(9, 18), 3.0, 3.0);
    p.drawEllipse(flaskCentre + QPointF(1, 34), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawEllipse(flaskCentre + QPointF(13, -53), 4.0, 4.0);
    p.drawEllipse(flaskCentre + QPointF(20, -62), 2.6, 2.6);

    // "Calvina Labs" fitted to the width of the mark.
    const QString first = QStringLiteral("Calvina");
    const QString second = QStringLiteral(" Labs");
    double size = 44.0;
    QFont bold = brandFont(true, size);
    QFont regular = brandFont(false, size);
    double total = QFontMetricsF(bold).horizontalAdvance(first) + QFontMetricsF(regular).horizontalAdvance(second);
    if (total > 300.0) {
        size = size * 300.0 / total;
        bold = brandFont(true, size);
        regular = brandFont(false, size);
        total = QFontMetricsF(bold).horizontalAdvance(first) + QFontMetricsF(regular).horizontalAdvance(second);
    }
    const double baseline = 222.0;
    const double left = (331.0 - total) / 2.0;
    QPainterPath text;
    text.addText(left, baseline, bold, first);
    QPainterPath labs;
    labs.addText(left + QFontMetricsF(bold).horizontalAdvance(first), baseline, regular, second);
    p.setBrush(kInk);
    p.drawPath(text);
    p.setBrush(kTeal);
    p.drawPath(labs);

    // Underline in the two brand colours.
    p.setBrush(kTeal);
    p.drawRoundedRect(QRectF(left, baseline + 12.0, total * 0.62, 5.0), 2.5, 2.5);
    p.setBrush(kOrange);
    p.drawRoundedRect(QRectF(left + total * 0.64, baseline + 12.0, total * 0.36, 5.0), 2.5, 2.5);
    p.end();
    return image;
}

// ------------------------------------------------------------ icons

QImage openIcon()
{
    QImage image = blankImage(32, 32);
    QPainter p(&image);
    preparePainter(p);

    // Back of the folder with its tab.
    QPainterPath back;
    back.moveTo(2.5, 6.5);
    back.lineTo(11.5, 6.5);
    back.lineTo(14.0, 9.0);
    back.lineTo(27.5, 9.0);
    back.lineTo(27.5, 27.5);
    back.lineTo(2.5, 27.5);
    back.closeSubpath();
    QLinearGradient backFill(0, 6, 0, 28);
    backFill.setColorAt(0.0, QColor(0xe8, 0xb0, 0x35));
    backFill.setColorAt(1.0, QColor(0xc8, 0x8a, 0x12));
    p.setPen(QPen(QColor(0x8a, 0x5c, 0x05), 1.0));
    p.setBrush(backFill);
    p.drawPath(back);

    // A sheet of paper sticking out.
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb0), 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 11.5, 19.0, 12.0));

    // The front flap, tilted open.
    QPolygonF front;
    front << QPointF(6.5, 14.5) << QPointF(30.5, 14.5) << QPointF(27.5, 27.5) << QPointF(2.5, 27.5);
    QLinearGradient frontFill(0, 14, 0, 28);
    frontFill.setColorAt(0.0, QColor(0xff, 0xd8, 0x66));
    frontFill.setColorAt(1.0, QColor(0xf2, 0xb1, 0x2c));
    p.setPen(QPen(QColor(0x8a, 0x5c, 0x05), 1.0));
    p.setBrush(frontFill);
    p.drawPolygon(front);
    p.end();
    return image;
}

QImage aboutIcon()
{
    QImage image = blankImage(32, 32);
    QPainter p(&image);
    preparePainter(p);

    const QPointF c(16.0, 16.0);
    QRadialGradient ball(c + QPointF(-4, -5), 18.0);
    ball.setColorAt(0.0, QColor(0x6c, 0xb0, 0xf2));
    ball.setColorAt(1.0, QColor(0x1c, 0x5a, 0xa8));
    p.setPen(QPen(QColor(0x14, 0x45, 0x85), 1.0));
    p.setBrush(ball);
    p.drawEllipse(c, 14.5, 14.5);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16.0, 9.0), 2.4, 2.4);
    QPainterPath stem;
    stem.addRoundedRect(QRectF(14.0, 13.0, 4.0, 11.0), 1.0, 1.0);
    stem.addRoundedRect(QRectF(12.0, 13.0, 5.0, 2.2), 0.8, 0.8);
    stem.addRoundedRect(QRectF(12.0, 22.6, 8.0, 2.2), 0.8, 0.8);
    stem.setFillRule(Qt::WindingFill);
    p.drawPath(stem.simplified());
    p.end();
    return image;
}

// A black horizontal line two pixels thick across the middle of the image.
QImage lineSample(int width, Qt::PenStyle style)
{
    QImage image = blankImage(width, 4);
    QPainter p(&image);
    preparePainter(p);
    p.setPen(QPen(Qt::black, 2.0, style, Qt::FlatCap));
    p.drawLine(QPointF(0.0, 2.0), QPointF(width, 2.0));
    p.end();
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: make_images OUTDIR\n");
        return 2;
    }
    const QDir dir(args.at(1));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "make_images: cannot create %s\n", qPrintable(dir.path()));
        return 1;
    }
    const QFontInfo fontInfo(brandFont(true, 40));
    if (fontInfo.family() != QLatin1String("DejaVu Sans"))
        std::fprintf(stderr, "make_images: DejaVu Sans not found, lettering falls back to %s\n",
                     qPrintable(fontInfo.family()));

    const struct {
        const char *name;
        QImage image;
    } images[] = {
        {"VOK.png", productLogo()},
        {"marchio.png", brandMark()},
        {"open.png", openIcon()},
        {"about.png", aboutIcon()},
        {"line_solid.png", lineSample(92, Qt::SolidLine)},
        {"line_dashed.png", lineSample(92, Qt::DashLine)},
        {"line_dotted.png", lineSample(94, Qt::DotLine)},
        {"line_dash_dot.png", lineSample(94, Qt::DashDotLine)},
    };
    int failures = 0;
    for (const auto &entry : images) {
        const QString path = dir.filePath(QLatin1String(entry.name));
        if (entry.image.save(path, "PNG")) {
            std::printf("%s %dx%d\n", qPrintable(path), entry.image.width(), entry.image.height());
        } else {
            std::fprintf(stderr, "make_images: cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
