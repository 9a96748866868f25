#ifndef VOK_STATISTICSPANEL_H
#define VOK_STATISTICSPANEL_H

#include "RideFigures.h"

#include <QSet>
#include <QTreeWidget>

// The left column's panel: the statistics of the shown range, and below
// them the reading at the cursor while the pointer is over the plots. Each
// figure is a line of name and value with its unit. It only shows what it
// is given, and takes no keyboard focus: Ctrl+C belongs to the window.
class StatisticsPanel : public QTreeWidget
{
    Q_OBJECT

public:
    explicit StatisticsPanel(QWidget *parent = nullptr);

    void showStatistics(const QList<Figure> &figures);
    // The reading under the cursor, headed by its x label.
    void showReading(const QString &xLabel, const QList<Figure> &figures);
    void hideReading();

    const QList<Figure> &statistics() const { return statisticsShown; }
    bool isReadingShown() const;
    // The value text shown for a figure of either section; empty if none.
    QString value(const QString &section, const QString &name) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Another font or style measures every value again.
    void changeEvent(QEvent *event) override;

private:
    int fittingWidth() const;
    // The values' column as wide as the widest value shown so far. Only
    // the values set since are measured: the column never narrows, so those
    // measured before fit. A value out of sight (its section hidden or
    // folded) waits until it shows.
    void fitValues();
    static bool inSight(const QTreeWidgetItem *item);
    // Gives a section as many lines as figures, reusing those it has.
    void fill(QTreeWidgetItem *section, const QList<Figure> &figures);

    QTreeWidgetItem *range;
    QTreeWidgetItem *cursor;
    QList<Figure> statisticsShown;
    QSet<QTreeWidgetItem *> unmeasured; // values set, not yet measured
};

#endif
