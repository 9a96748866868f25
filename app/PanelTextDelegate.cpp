#include "PanelTextDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace {

bool plainLine(const QStyleOptionViewItem &item)
{
    const QStyleOptionViewItem::ViewItemFeatures others =
        QStyleOptionViewItem::WrapText | QStyleOptionViewItem::HasCheckIndicator
        | QStyleOptionViewItem::HasDecoration;
    const QStyle::State marked = QStyle::State_Selected | QStyle::State_HasFocus
                                 | QStyle::State_Editing;
    return !(item.features & others) && !(item.state & marked) && item.backgroundBrush.style() == Qt::NoBrush
           && !item.text.contains(QChar::LineSeparator) && !item.text.contains(QLatin1Char('\n'));
}

} // namespace

void PanelTextDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    if (!plainLine(item) || !paintPlainLine(painter, item))
        QStyledItemDelegate::paint(painter, option, index);
}

bool PanelTextDelegate::paintPlainLine(QPainter *painter, const QStyleOptionViewItem &item) const
{
    const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, item.widget) + 1;
    const QRect textRect = item.rect.adjusted(margin, 0, -margin, 0);

    QTextOption textOption;
    textOption.setWrapMode(QTextOption::ManualWrap);
    textOption.setTextDirection(item.direction);
    textOption.setAlignment(QStyle::visualAlignment(item.direction, item.displayAlignment));
    QTextLayout layout(item.text, item.font);
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0.0, 0.0));
    }
    layout.endLayout();
    if (line.isValid() && line.naturalTextWidth() > textRect.width())
        return false; // shortened with an ellipsis by the style

    painter->save();
    painter->setClipRect(item.rect);
    // Nothing, for such lines, in Qt's own styles; a hover highlight in some.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, item.widget);
    if (!item.text.isEmpty()) {
        QPalette::ColorGroup group =
            item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(item.state & QStyle::State_Active))
            group = QPalette::Inactive;
        painter->setPen(item.palette.color(group, QPalette::Text));
        // The line's box centred in the text's rectangle as the style
        // centres it, in whole pixels.
        const QRect box = QStyle::alignedRect(Qt::LayoutDirectionAuto, item.displayAlignment,
                                              layout.boundingRect().size().toSize(), textRect);
        layout.draw(painter, QPointF(textRect.x(), box.top()));
    }
    painter->restore();
    return true;
}
