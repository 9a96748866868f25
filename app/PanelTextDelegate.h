#ifndef VOK_PANELTEXTDELEGATE_H
#define VOK_PANELTEXTDELEGATE_H

#include <QStyledItemDelegate>

// Paints a line of plain text the way the style's item views do, but lays
// the text out once where the style lays it out four times: to place it,
// to see whether it must be shortened, to measure the shortened text and to
// draw it. A zoom step repaints some twenty-five values of the statistics
// panel. Text that needs shortening or more than one line, and items with
// icons, check boxes, selection, focus or editing, are painted by
// QStyledItemDelegate.
class PanelTextDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    // Paints the item and returns true if its text fits on one line.
    bool paintPlainLine(QPainter *painter, const QStyleOptionViewItem &item) const;
};

#endif
