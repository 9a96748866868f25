#ifndef VOK_SPACESCALEDRAW_H
#define VOK_SPACESCALEDRAW_H

#include <qwt_scale_draw.h>

// Labels an x axis of kilometres: (value + offset) x factor with three decimals.
class SpaceScaleDraw : public QwtScaleDraw
{
public:
    SpaceScaleDraw(double offset, double factor);
    ~SpaceScaleDraw() override;

    QwtText label(double v) const override;

private:
    double offset;
    double factor;
};

#endif
