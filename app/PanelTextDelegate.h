#ifndef VOK_PANELTEXTDELEGATE_H
#define VOK_PANELTEXTDELEGATE_H

#include <QStyledItemDelegate>

// Paints a line of plain text the way the style's item views do, but lays
// the text out once. The style lays it out anew for each thing it works
// out: where the item's parts go, whether the text must be shortened, and
// the drawing itself. A zoom step repaints some twenty-five values of the
// statistics panel. Text that needs shortening or more than one line, and items with
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
