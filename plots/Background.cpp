#include "Background.h"

#include <QPainter>

Background::Background()
    : QwtPlotItem(QwtText())
{
    setZ(0.0);
}

int Background::rtti() const
{
    return QwtPlotItem::Rtti_PlotUserItem;
}

void Background::draw(QPainter *painter, const QwtScaleMap &, const QwtScaleMap &,
                      const QRectF &canvasRect) const
{
    painter->fillRect(canvasRect, QColor(Qt::white));
}
