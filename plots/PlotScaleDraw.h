#ifndef VOK_PLOTSCALEDRAW_H
#define VOK_PLOTSCALEDRAW_H

#include "MeasuredTexts.h"
#include "TextStamps.h"

#include <QFont>
#include <QSizeF>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>

class QwtText;

// The scale draw of the plots' axes. It measures each label text once
// for a font and keeps the size for later scales. QwtScaleDraw measures
// its labels anew whenever the scale changes. A layout measures each
// label several times a zoom step, and each time, even when the size is
// known, the font is asked for its key, which costs about a measurement.
// It also lays each label out once for drawing (see TextStamps). Labels are
// measured by the same Qwt and Qt functions as QwtScaleDraw uses, and drawn
// the same, so they come out the same. Labels that would not be
// drawn as plain text, or that set their own font, colour or background,
// are measured and drawn by QwtScaleDraw; so are the extents of rotated
// labels.
class PlotScaleDraw : public QwtScaleDraw
{
public:
    PlotScaleDraw();
    ~PlotScaleDraw() override;

    double extent(const QFont &font) const override;

protected:
    void drawLabel(QPainter *painter, double value) const override;

private:
    struct Margins {
        double left = 0.0;
        double right = 0.0;
        double top = 0.0;
        double bottom = 0.0;
    };

    // The size of a label's text less its margins, as QwtScaleDraw lays it
    // out: without render flags, in the font's screen metrics.
    QSizeF textSize(const QFont &font, const QwtText &text) const;
    // Space a plain text engine leaves around any text in this font.
    Margins margins(const QFont &font) const;

    // The labels' largest size across the scale, for the scale and font it
    // was worked out for: a layout asks for the extent several times a
    // step, and each time every label would be written out and looked up.
    // A label depends only on its value, as QwtAbstractScaleDraw's own
    // labels of a scale do.
    struct LabelsAcross {
        QFont font;
        QwtScaleDiv scale;
        bool vertical = false;
        double largest = 0.0;
        bool known = false;
    };

    mutable MeasuredTexts sizes;
    mutable LabelsAcross labelsAcross;
    mutable TextStamps stamps;
    mutable QFont marginsFont;
    mutable Margins fontMargins;
    mutable bool marginsKnown = false;
};

#endif
