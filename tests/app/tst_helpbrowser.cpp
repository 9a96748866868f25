#include "HelpBrowser.h"
#include "MainWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBrowser>

// Help > "Index..." opens the user guide in a window of its own; the guide
// names the window's menu entries, the mouse gestures and the file names.
class TestHelpBrowser : public QObject
{
    Q_OBJECT

private slots:
    void guideExplains_data();
    void guideExplains();
};

void TestHelpBrowser::guideExplains_data()
{
    QTest::addColumn<QString>("words");
    for (const char *entry : {"File > Open...", "File > Open Recent", "File > Export as KML",
                              "File > View in GoogleEarth", "File > Export for other programs...",
                              "File > Print preview...", "File > Print", "File > Print as pdf",
                              "File > Exit", "Tools > Options...", "Tools > Pedal strokes...",
                              "Help > Index...",
                              "Help > About VOK..."})
        QTest::addRow("menu entry %s", entry) << QString(entry);
    QTest::newRow("dragging a rectangle zooms") << "Drag a rectangle";
    QTest::newRow("a right click returns to the full view") << "Right click";
    QTest::newRow("a double-click opens a turn") << "Double-click a turn marker";
    QTest::newRow("the legend's check boxes") << "check box";
    QTest::newRow("session file name") << "S_yymmdd_hh-mm.csv";
    QTest::newRow("single-turn file name") << "T_yymmdd.hh-mm-ss.csv";
}

void TestHelpBrowser::guideExplains()
{
    QFETCH(QString, words);
    MainWindow window;
    window.show();
    QStringList entries; // every entry of the menu bar as the guide writes it
    for (QAction *menu : window.menuBar()->actions())
        for (QAction *entry : menu->menu()->actions())
            entries << menu->text() + " > " + entry->text();
    QVERIFY2(!words.contains(" > ") || entries.contains(words), qPrintable(entries.join('\n')));

    auto *index = window.findChild<QAction *>("actionIndex_2");
    QVERIFY(index);
    index->trigger();
    auto *guide = window.findChild<HelpBrowser *>();
    QVERIFY(guide && guide->isWindow() && guide->isVisible());
    QVERIFY2(guide->findChild<QTextBrowser *>()->toPlainText().contains(words), qPrintable(words));
}

QTEST_MAIN(TestHelpBrowser)
#include "tst_helpbrowser.moc"
