#include "PlotScaleDraw.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QPainter>
#include <QtMath>
#include <qwt_painter.h>
#include <qwt_scale_div.h>
#include <qwt_text.h>
#include <qwt_text_engine.h>

namespace {

bool drawnAsPlainText(const QwtText &text)
{
    return !text.testPaintAttribute(QwtText::PaintUsingTextFont)
           && !text.testPaintAttribute(QwtText::PaintUsingTextColor)
           && !text.testPaintAttribute(QwtText::PaintBackground)
           && QwtText::textEngine(text.text(), QwtText::AutoText)
                  == QwtText::textEngine(QwtText::PlainText);
}

} // namespace

PlotScaleDraw::PlotScaleDraw() = default;

PlotScaleDraw::~PlotScaleDraw() = default;

QSizeF PlotScaleDraw::textSize(const QFont &font, const QwtText &text) const
{
    if (text.isEmpty())
        return QSizeF(0.0, 0.0);
    auto measure = [&] {
        QwtText laidOut = text;
        laidOut.setRenderFlags(0);
        laidOut.setLayoutAttribute(QwtText::MinimumLayout);
        return laidOut.textSize(font);
    };
    // Only plain text measures the same whatever else the label sets.
    return drawnAsPlainText(text) ? sizes.size(font, text.text(), measure) : measure();
}

PlotScaleDraw::Margins PlotScaleDraw::margins(const QFont &font) const
{
    if (!marginsKnown || font != marginsFont) {
        // Text is drawn in the screen's metrics, whatever the device.
        const QFont screenFont(font, QApplication::desktop());
        QwtText::textEngine(QwtText::PlainText)
            ->textMargins(screenFont, QString(), fontMargins.left, fontMargins.right,
                          fontMargins.top, fontMargins.bottom);
        marginsFont = font;
        marginsKnown = true;
    }
    return fontMargins;
}

double PlotScaleDraw::extent(const QFont &font) const
{
    if (labelRotation() != 0.0)
        return QwtScaleDraw::extent(font);

    double d = 0.0;
    if (hasComponent(QwtAbstractScaleDraw::Labels)) {
        // Unrotated, a label takes its text's size across the scale.
        const bool vertical = orientation() == Qt::Vertical;
        LabelsAcross &labels = labelsAcross;
        if (!labels.known || labels.vertical != vertical || labels.font != font
            || !(labels.scale == scaleDiv())) {
            double largest = 0.0;
            for (const double value : scaleDiv().ticks(QwtScaleDiv::MajorTick)) {
                if (!scaleDiv().contains(value))
                    continue;
                const QSizeF size = textSize(font, label(value));
                largest = std::max(largest, vertical ? size.width() : size.height());
            }
            labels = {font, scaleDiv(), vertical, largest, true};
        }
        d = qCeil(labels.largest);
        if (d > 0)
            d += spacing();
    }
    if (hasComponent(QwtAbstractScaleDraw::Ticks))
        d += maxTickLength();
    if (hasComponent(QwtAbstractScaleDraw::Backbone))
        d += std::max(1, penWidth());
    return std::max(d, minimumExtent());
}

void PlotScaleDraw::drawLabel(QPainter *painter, double value) const
{
    const QwtText text = label(value);
    if (text.isEmpty())
        return;
    if (!drawnAsPlainText(text)) {
        QwtScaleDraw::drawLabel(painter, value);
        return;
    }

    const QSizeF size = textSize(painter->font(), text);
    painter->save();
    painter->setWorldTransform(labelTransformation(labelPosition(value), size), true);
    // The label's box is its size in whole pixels, grown by the margins its
    // size was measured without.
    const Margins around = margins(painter->font());
    QRectF box(QRect(QPoint(0, 0), size.toSize()));
    box.setTop(box.top() - around.top);
    box.setBottom(box.bottom() + around.bottom);
    box.setLeft(box.left() - around.left);
    box.setRight(box.right() + around.right);
    if (!stamps.draw(painter, box, text.text()))
        QwtPainter::drawText(painter, box, 0, text.text());
    painter->restore();
}
