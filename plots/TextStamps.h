#ifndef VOK_TEXTSTAMPS_H
#define VOK_TEXTSTAMPS_H

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <QTransform>

class QPainter;
class QRectF;

// Short texts laid out once and drawn again from their layout. Drawing a
// text with QPainter::drawText shapes it anew every time, which is most of
// what drawing a short label costs, and a zoom step draws the same axis
// labels step after step. draw() lays a text out the way drawText lays out
// one line of plain text and draws the same pixels at the same place; where
// that could differ, it leaves the text to the caller.
//
// Texts are kept for one font, scale and layout direction of the painter;
// another of any lets all of them go, and so does reaching a limit.
class TextStamps
{
public:
    // Draws text as QwtPainter::drawText(painter, rect, 0, text) does, from
    // the top left corner of rect, and returns true; returns false, drawing
    // nothing, where it cannot be sure of drawing the same.
    bool draw(QPainter *painter, const QRectF &rect, const QString &text);

private:
    struct Stamp {
        QStaticText text;
        double width = 0.0;  // of the laid-out line, as drawText measures it
        double height = 0.0; // its ascent and descent
    };
    // The text's stamp, laid out now if it is not kept yet.
    const Stamp &stamp(const QString &text);

    QFont font;
    QTransform scale; // the painter's transformation, less its translation
    Qt::LayoutDirection direction = Qt::LeftToRight; // the painter's
    QHash<QString, Stamp> stamps;
};

#endif
