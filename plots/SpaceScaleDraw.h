#ifndef VOK_SPACESCALEDRAW_H
#define VOK_SPACESCALEDRAW_H

#include <QString>
#include "PlotScaleDraw.h"

// Labels an x axis of kilometres: (value + offset) x factor with three decimals.
class SpaceScaleDraw : public PlotScaleDraw
{
public:
    SpaceScaleDraw(double offset, double factor);
    ~SpaceScaleDraw() override;

    QwtText label(double v) const override;

    // A label reads (value + offset) x factor.
    double labelOffset() const { return offset; }
    double labelFactor() const { return factor; }

    // The name of a distance unit of the options, as the x-axis chooser
    // shows it, and the factor from kilometres to that unit. An unknown
    // unit is named "error" and labelled in kilometres.
    static QString unitText(quint32 unit);
    static double unitFactor(quint32 unit);

private:
    double offset;
    double factor;
};

#endif
