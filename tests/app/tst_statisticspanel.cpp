#include "StatisticsPanel.h"

#include <QHeaderView>
#include <QRandomGenerator>
#include <QStyleFactory>
#include <QTest>
#include <algorithm>
#include <memory>

// The values' column grows to the widest value the panel has had in sight,
// as QTreeView measures them, whatever the order of statistics, readings
// and fonts.
class TestStatisticsPanel : public QObject
{
    Q_OBJECT

private slots:
    void valuesColumnFitsTheWidestValue_data();
    void valuesColumnFitsTheWidestValue();
};

namespace {

QList<Figure> figures(int count, int width, QRandomGenerator &random)
{
    QList<Figure> list;
    for (int i = 0; i < count; ++i) {
        const int digits = 1 + int(random.bounded(std::max(width, 1)));
        list.append({QStringLiteral("Figure %1").arg(i),
                     QString::number(random.bounded(1u << 30)).left(digits), QStringLiteral("km/h")});
    }
    return list;
}

} // namespace

void TestStatisticsPanel::valuesColumnFitsTheWidestValue_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<quint32>("seed");
    for (const char *style : {"Fusion", "Windows"}) {
        for (quint32 seed : {1u, 2u, 3u})
            QTest::addRow("%s, seed %u", style, seed) << style << seed;
    }
}

void TestStatisticsPanel::valuesColumnFitsTheWidestValue()
{
    QFETCH(QString, style);
    QFETCH(quint32, seed);
    const std::unique_ptr<QStyle> look(QStyleFactory::create(style));
    StatisticsPanel panel;
    panel.setStyle(look.get());
    panel.resize(300, 700);
    panel.show();

    // What the panel did when it measured every line in sight on each
    // update: a reading it unhides, after measuring.
    int expected = panel.header()->sectionSize(1);
    QTreeWidgetItem *cursor = panel.topLevelItem(1);
    const QAbstractItemView &view = panel; // QTreeView keeps its measure protected
    auto measureAsBefore = [&](bool readingUnhidden) {
        if (readingUnhidden)
            cursor->setHidden(true);
        expected = std::max(expected, view.sizeHintForColumn(1));
        if (readingUnhidden)
            cursor->setHidden(false);
    };

    QRandomGenerator random(seed);
    QList<Figure> reading;
    for (int step = 0; step < 60; ++step) {
        const int kind = int(random.bounded(10u));
        const bool readingHidden = !panel.isReadingShown();
        if (kind < 4) {
            panel.showStatistics(figures(17 + int(random.bounded(4u)), step / 3, random));
            measureAsBefore(false);
        } else if (kind < 8) {
            // Sometimes the same reading again: its lines count once they show.
            if (reading.isEmpty() || kind < 6)
                reading = figures(9 + int(random.bounded(4u)), step / 2, random);
            panel.showReading(QString(int(random.bounded(14u)) + 1, QLatin1Char('8')), reading);
            measureAsBefore(readingHidden);
        } else if (kind == 8) {
            panel.hideReading();
        } else {
            QFont font = panel.font();
            font.setPointSize(font.pointSize() + 1);
            panel.setFont(font);
            panel.showStatistics(panel.statistics());
            measureAsBefore(false);
        }
        QCOMPARE(panel.header()->sectionSize(1), expected);
    }
}

QTEST_MAIN(TestStatisticsPanel)
#include "tst_statisticspanel.moc"
