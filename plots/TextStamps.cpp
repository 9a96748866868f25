#include "TextStamps.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QPainter>
#include <QTextLayout>

namespace {

constexpr int stampsKept = 512;

// Text that drawText lays out as it stands, on one line: no line breaks,
// tabs or length variants, no spaces at the ends (which it counts in the
// line's width and a layout of its own need not), nothing outside the
// basic plane, where the shaping is easiest to get different.
bool plainLine(const QString &text)
{
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator
            || c.unicode() == 0x9c || c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

const TextStamps::Stamp &TextStamps::stamp(const QString &text)
{
    const auto known = stamps.constFind(text);
    if (known != stamps.constEnd())
        return *known;
    if (stamps.size() >= stampsKept)
        stamps.clear();

    QTextOption option;
    option.setTextDirection(direction);
    option.setWrapMode(QTextOption::ManualWrap);

    // The line's extent as drawText measures it: it clips a text that
    // does not fit in its rect.
    QTextLayout layout(text, font);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    Stamp made;
    if (line.isValid()) {
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0.0, 0.0));
        made.width = line.naturalTextWidth();
        made.height = line.height();
    }
    layout.endLayout();

    made.text.setText(text);
    made.text.setTextFormat(Qt::PlainText);
    made.text.setTextOption(option);
    made.text.prepare(scale, font);
    return *stamps.insert(text, made);
}

bool TextStamps::draw(QPainter *painter, const QRectF &rect, const QString &text)
{
    // From right to left, drawText aligns to the other side.
    if (!plainLine(text) || painter->layoutDirection() == Qt::RightToLeft)
        return false;
    // QwtPainter draws in the screen's metrics on devices of another
    // resolution (a printer), with a font of its own.
    const QFont &painterFont = painter->font();
    const QPaintDevice *device = painter->device();
    const QWidget *screen = QApplication::desktop();
    if (painterFont.pixelSize() < 0
        && (!device || !screen || device->logicalDpiX() != screen->logicalDpiX()
            || device->logicalDpiY() != screen->logicalDpiY()))
        return false;
    if (painterFont.underline() || painterFont.strikeOut() || painterFont.overline())
        return false;
    // Scaled by the painter, drawText and a layout of the scaled text place
    // glyphs differently; a device's own pixel ratio scales both alike.
    if (painter->worldTransform().type() > QTransform::TxTranslate
        || painter->viewTransformEnabled())
        return false;

    // A layout holds for a device's scale; the painter moves it anywhere.
    QTransform painterScale = painter->combinedTransform();
    painterScale.setMatrix(painterScale.m11(), painterScale.m12(), painterScale.m13(),
                           painterScale.m21(), painterScale.m22(), painterScale.m23(), 0.0, 0.0,
                           painterScale.m33());
    if (painterFont != font || painterScale != scale || painter->layoutDirection() != direction) {
        stamps.clear();
        font = painterFont;
        scale = painterScale;
        direction = painter->layoutDirection();
    }

    const Stamp &made = stamp(text);
    if (made.width > rect.width() || made.height > rect.height())
        return false;
    painter->drawStaticText(rect.topLeft(), made.text);
    return true;
}
