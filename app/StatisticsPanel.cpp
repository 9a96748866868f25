#include "StatisticsPanel.h"
#include "PanelTextDelegate.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>

StatisticsPanel::StatisticsPanel(QWidget *parent)
    : QTreeWidget(parent)
{
    setColumnCount(2);
    setItemDelegate(new PanelTextDelegate(this));
    header()->hide();
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    // Sized once per update, not once per changed figure.
    header()->setSectionResizeMode(1, QHeaderView::Fixed);
    setRootIsDecorated(false);
    setIndentation(6);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setUniformRowHeights(true);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    range = new QTreeWidgetItem(this, QStringList(tr("Shown range")));
    cursor = new QTreeWidgetItem(this, QStringList(tr("Cursor")));
    for (QTreeWidgetItem *section : {range, cursor}) {
        QFont bold = section->font(0);
        bold.setBold(true);
        section->setFont(0, bold);
        section->setFont(1, bold);
        section->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        section->setFlags(Qt::ItemIsEnabled);
    }
    range->setExpanded(true);
    cursor->setHidden(true);
    setItemsExpandable(false);
}

// Wide enough for the longest name beside the longest value of a day's
// ride, with a scroll bar: the column of the window takes this width.
int StatisticsPanel::fittingWidth() const
{
    const QFontMetrics metrics(font());
    const int margins = 4 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 16;
    return metrics.horizontalAdvance(tr("Normalised power"))
           + metrics.horizontalAdvance(QStringLiteral("99999.9 km/h")) + margins + 2 * frameWidth()
           + indentation() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

QSize StatisticsPanel::sizeHint() const
{
    return QSize(fittingWidth(), QTreeWidget::sizeHint().height());
}

QSize StatisticsPanel::minimumSizeHint() const
{
    return QSize(fittingWidth(), QTreeWidget::minimumSizeHint().height());
}

void StatisticsPanel::fill(QTreeWidgetItem *section, const QList<Figure> &figures)
{
    QRect changed;
    while (section->childCount() > figures.size()) {
        QTreeWidgetItem *surplus = section->takeChild(section->childCount() - 1);
        unmeasured.remove(surplus);
        delete surplus;
    }
    for (int i = 0; i < figures.size(); ++i) {
        QTreeWidgetItem *line = i < section->childCount() ? section->child(i) : nullptr;
        if (!line) {
            line = new QTreeWidgetItem(section);
            line->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            line->setFlags(Qt::ItemIsEnabled);
        }
        const Figure &figure = figures.at(i);
        const QString value = figure.value == QLatin1String("-") || !figure.unitShown
                                  || figure.unit.isEmpty()
                                  ? figure.value
                                  : figure.value + QLatin1Char(' ') + figure.unit;
        if (line->text(0) != figure.name)
            line->setText(0, figure.name);
        if (line->text(1) != value) {
            line->setText(1, value);
            unmeasured.insert(line);
            changed |= visualRect(indexFromItem(line, 1));
        }
    }
    // Values changed in lines apart from one another leave the tree a
    // region of several rectangles, and it repaints each of them the full
    // width, names included. One rectangle over them all keeps it to the
    // values, which is most of the repainting in a zoom.
    viewport()->update(changed);
}

void StatisticsPanel::showStatistics(const QList<Figure> &figures)
{
    statisticsShown = figures;
    fill(range, figures);
    fitValues();
}

void StatisticsPanel::fitValues()
{
    // As QTreeView::sizeHintForColumn measures a line, but only those
    // waiting: for a reading that is a third of the lines.
    ensurePolished();
    int width = header()->sectionSize(1);
    const QStyleOptionViewItem option = viewOptions();
    for (auto it = unmeasured.begin(); it != unmeasured.end();) {
        if (!inSight(*it)) {
            ++it;
            continue;
        }
        const QModelIndex index = indexFromItem(*it, 1);
        width = std::max(width, itemDelegate(index)->sizeHint(option, index).width());
        it = unmeasured.erase(it);
    }
    if (width != header()->sectionSize(1))
        header()->resizeSection(1, width);
}

bool StatisticsPanel::inSight(const QTreeWidgetItem *item)
{
    for (const QTreeWidgetItem *parent = item->parent(); parent; parent = parent->parent()) {
        if (parent->isHidden() || !parent->isExpanded())
            return false;
    }
    return !item->isHidden();
}

void StatisticsPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        for (QTreeWidgetItem *section : {range, cursor}) {
            unmeasured.insert(section);
            for (int i = 0; i < section->childCount(); ++i)
                unmeasured.insert(section->child(i));
        }
    }
    QTreeWidget::changeEvent(event);
}

void StatisticsPanel::showReading(const QString &xLabel, const QList<Figure> &figures)
{
    fill(cursor, figures);
    if (cursor->text(1) != xLabel) {
        cursor->setText(1, xLabel);
        unmeasured.insert(cursor);
    }
    fitValues();
    if (cursor->isHidden()) {
        cursor->setHidden(false);
        cursor->setExpanded(true);
    }
}

void StatisticsPanel::hideReading()
{
    cursor->setHidden(true);
}

bool StatisticsPanel::isReadingShown() const
{
    return !cursor->isHidden();
}

QString StatisticsPanel::value(const QString &section, const QString &name) const
{
    for (QTreeWidgetItem *item : {range, cursor}) {
        if (item->text(0) != section)
            continue;
        for (int i = 0; i < item->childCount(); ++i) {
            if (item->child(i)->text(0) == name)
                return item->child(i)->text(1);
        }
    }
    return QString();
}
