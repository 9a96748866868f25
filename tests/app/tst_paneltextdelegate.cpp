#include "PanelTextDelegate.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTreeWidget>
#include <memory>

// The panel's delegate paints what QStyledItemDelegate paints, in the
// styles Qt brings along.
class TestPanelTextDelegate : public QObject
{
    Q_OBJECT

private slots:
    void paintsAsTheStyle_data();
    void paintsAsTheStyle();
};

void TestPanelTextDelegate::paintsAsTheStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("ownColours"); // a text colour for each state
    QTest::addColumn<Qt::LayoutDirection>("direction");

    for (const char *style : {"Fusion", "Windows"}) {
        const auto ltr = Qt::LeftToRight;
        QTest::addRow("%s", style) << style << true << 260 << false << ltr;
        QTest::addRow("%s, disabled", style) << style << false << 260 << false << ltr;
        QTest::addRow("%s, narrow: names shortened", style) << style << true << 150 << false << ltr;
        QTest::addRow("%s, odd width", style) << style << true << 233 << false << ltr;
        QTest::addRow("%s, own colours", style) << style << true << 260 << true << ltr;
        QTest::addRow("%s, own colours, disabled", style) << style << false << 260 << true << ltr;
        QTest::addRow("%s, right to left", style) << style << true << 260 << false << Qt::RightToLeft;
        QTest::addRow("%s, right to left, narrow", style)
            << style << true << 150 << false << Qt::RightToLeft;
    }
}

void TestPanelTextDelegate::paintsAsTheStyle()
{
    QFETCH(QString, style);
    QFETCH(bool, enabled);
    QFETCH(int, width);
    QFETCH(bool, ownColours);
    QFETCH(Qt::LayoutDirection, direction);

    const std::unique_ptr<QStyle> look(QStyleFactory::create(style));
    QVERIFY(look);
    QImage images[2];
    for (int i = 0; i < 2; ++i) {
        QTreeWidget tree;
        tree.setStyle(look.get());
        if (i == 0)
            tree.setItemDelegate(new PanelTextDelegate(&tree));
        tree.setColumnCount(2);
        tree.setTextElideMode(Qt::ElideRight);
        tree.setIndentation(6);
        tree.setRootIsDecorated(false);
        tree.setSelectionMode(QAbstractItemView::NoSelection);
        tree.setFocusPolicy(Qt::NoFocus);
        tree.setEnabled(enabled);
        tree.setLayoutDirection(direction);
        if (ownColours) {
            QPalette colours = tree.palette();
            colours.setColor(QPalette::Active, QPalette::Text, Qt::darkGreen);
            colours.setColor(QPalette::Inactive, QPalette::Text, Qt::darkBlue);
            colours.setColor(QPalette::Disabled, QPalette::Text, Qt::darkRed);
            tree.setPalette(colours);
        }
        auto *section = new QTreeWidgetItem(&tree, {QStringLiteral("Shown range"), QString()});
        QFont bold = section->font(0);
        bold.setBold(true);
        section->setFont(0, bold);
        const QStringList lines[] = {{QStringLiteral("Average power"), QStringLiteral("214.6 W")},
                                     {QStringLiteral("Normalised power, shown in full"),
                                      QStringLiteral("1234567.9 km/h")},
                                     {QStringLiteral("Heart rate"), QString()},
                                     {QString(), QStringLiteral("-")},
                                     {QStringLiteral("Ascent"), QStringLiteral("9657 m")}};
        for (const QStringList &texts : lines) {
            auto *line = new QTreeWidgetItem(section, texts);
            line->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        }
        section->setExpanded(true);
        tree.resize(width, 200);
        tree.header()->resizeSection(1, width / 3);
        images[i] = tree.grab().toImage();
    }
    QCOMPARE(images[0].size(), images[1].size());
    QVERIFY(images[0] == images[1]);
}

QTEST_MAIN(TestPanelTextDelegate)
#include "tst_paneltextdelegate.moc"
