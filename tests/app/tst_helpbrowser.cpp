#include "HelpBrowser.h"
#include "MainWindow.h"
#include "TemporarySettings.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <memory>

// Help > "Index...": the user guide in a window of its own.
class TestHelpBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void indexOpensGuideWindow();
    void guideNamesEveryActionOfTheMenuBar();
    void guideExplains_data();
    void guideExplains();
    void askingAgainReusesTheWindow();
    void eachMainWindowHasItsOwnGuide();
    void escapeClosesOnlyTheGuide();
    void linksAndImagesResolve();

private:
    static HelpBrowser *openGuide(MainWindow &window);
    static QString guideText(HelpBrowser *guide);

    std::unique_ptr<TemporarySettings> settings;
};

void TestHelpBrowser::initTestCase()
{
    settings = std::make_unique<TemporarySettings>();
}

void TestHelpBrowser::cleanup()
{
    settings->clear();
}

HelpBrowser *TestHelpBrowser::openGuide(MainWindow &window)
{
    auto *index = window.findChild<QAction *>(QStringLiteral("actionIndex_2"));
    if (!index)
        return nullptr;
    index->trigger();
    return window.findChild<HelpBrowser *>();
}

QString TestHelpBrowser::guideText(HelpBrowser *guide)
{
    auto *browser = guide->findChild<QTextBrowser *>();
    return browser ? browser->toPlainText() : QString();
}

void TestHelpBrowser::indexOpensGuideWindow()
{
    MainWindow window;
    window.show();
    QVERIFY(!window.findChild<HelpBrowser *>());

    HelpBrowser *guide = openGuide(window);
    QVERIFY(guide);
    QVERIFY(guide->isWindow());
    QVERIFY(guide->isVisible());
    QVERIFY(window.isVisible());
    QCOMPARE(guide->window(), guide);
    QCOMPARE(guide->windowTitle(), QStringLiteral("VOK - User guide"));

    auto *browser = guide->findChild<QTextBrowser *>();
    QVERIFY(browser);
    QVERIFY(browser->isVisible());
    QCOMPARE(browser->source(), QUrl(QStringLiteral("qrc:/help/index.html")));
    QCOMPARE(browser->documentTitle(), QStringLiteral("VOK user guide"));
}

// A menu entry added later is documented too: every action of the menu bar
// appears in the guide as "Menu > Entry".
void TestHelpBrowser::guideNamesEveryActionOfTheMenuBar()
{
    MainWindow window;
    HelpBrowser *guide = openGuide(window);
    QVERIFY(guide);
    const QString text = guideText(guide);

    int entries = 0;
    const auto menus = window.menuBar()->actions();
    for (QAction *menu : menus) {
        if (!menu->menu())
            continue;
        const auto actions = menu->menu()->actions();
        for (QAction *action : actions) {
            if (action->isSeparator())
                continue;
            const QString entry = menu->text() + QStringLiteral(" > ") + action->text();
            QVERIFY2(text.contains(entry), qPrintable(entry));
            ++entries;
        }
    }
    QCOMPARE(entries, 10);
}

void TestHelpBrowser::guideExplains_data()
{
    QTest::addColumn<QString>("words");
    QTest::newRow("menu entry for opening a session file") << QStringLiteral("File > Open...");
    QTest::newRow("menu entry for KML export") << QStringLiteral("File > Export as KML");
    QTest::newRow("menu entry for Google Earth") << QStringLiteral("File > View in GoogleEarth");
    QTest::newRow("menu entry for print preview") << QStringLiteral("File > Print preview...");
    QTest::newRow("menu entry for printing") << QStringLiteral("File > Print");
    QTest::newRow("menu entry for PDF output") << QStringLiteral("File > Print as pdf");
    QTest::newRow("menu entry for quitting") << QStringLiteral("File > Exit");
    QTest::newRow("menu entry for options dialog") << QStringLiteral("Tools > Options...");
    QTest::newRow("menu entry for this guide") << QStringLiteral("Help > Index...");
    QTest::newRow("menu entry for about box") << QStringLiteral("Help > About VOK...");
    QTest::newRow("dragging a rectangle zooms") << QStringLiteral("Drag a rectangle");
    QTest::newRow("right click returns to the full view") << QStringLiteral("Right click");
    QTest::newRow("double-click on a turn marker") << QStringLiteral("Double-click a turn marker");
    QTest::newRow("legend check boxes") << QStringLiteral("check box");
    QTest::newRow("x axis chooser") << QStringLiteral("X axis type");
    QTest::newRow("where the settings are kept")
        << QStringLiteral("~/.config/Calvina Labs/VOK.conf");
    QTest::newRow("session file name") << QStringLiteral("S_yymmdd_hh-mm.csv");
    QTest::newRow("session tag line") << QStringLiteral("VOK_session_file ,S_100407_10-30.csv");
    QTest::newRow("start distance line") << QStringLiteral("Km @ Start ,1523.4");
    QTest::newRow("start time line") << QStringLiteral("Time @ Start ,10-30-15");
    QTest::newRow("sample line with a photo reference")
        << QStringLiteral("1,0:00:01,11.12352,45.67893,352,120,85,24.9,0,220,108,112,3.4,4.1,52,"
                          "48,0,0,0.007,IMG_0001.jpg");
    QTest::newRow("end line") << QStringLiteral("#####");
    QTest::newRow("single-turn file name") << QStringLiteral("T_yymmdd.hh-mm-ss.csv");
    QTest::newRow("single-turn tag line")
        << QStringLiteral("VOK_Single_Turn_file ,T_100407.10-31-02.csv");
    QTest::newRow("single-turn data line") << QStringLiteral("0,0,152.3,210.5,12.1");
}

void TestHelpBrowser::guideExplains()
{
    QFETCH(QString, words);
    MainWindow window;
    HelpBrowser *guide = openGuide(window);
    QVERIFY(guide);
    QVERIFY2(guideText(guide).contains(words), qPrintable(words));
}

void TestHelpBrowser::askingAgainReusesTheWindow()
{
    MainWindow window;
    window.show();
    QPointer<HelpBrowser> guide = openGuide(window);
    QVERIFY(guide);
    auto *browser = guide->findChild<QTextBrowser *>();
    QVERIFY(browser);

    // The reader's place in the guide survives while the window is reused.
    browser->scrollToAnchor(QStringLiteral("turn"));
    const int scrolled = browser->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);

    QCOMPARE(openGuide(window), guide.data());
    QCOMPARE(window.findChildren<HelpBrowser *>().size(), 1);

    guide->close();
    QVERIFY(guide);
    QVERIFY(!guide->isVisible());
    QCOMPARE(openGuide(window), guide.data());
    QVERIFY(guide->isVisible());
    QCOMPARE(browser->verticalScrollBar()->value(), scrolled);

    guide->showMinimized();
    QVERIFY(guide->isMinimized());
    QCOMPARE(openGuide(window), guide.data());
    QVERIFY(!guide->isMinimized());
    QVERIFY(guide->isVisible());
    QCOMPARE(window.findChildren<HelpBrowser *>().size(), 1);
}

void TestHelpBrowser::eachMainWindowHasItsOwnGuide()
{
    auto first = std::make_unique<MainWindow>();
    MainWindow second;
    QPointer<HelpBrowser> firstGuide = openGuide(*first);
    QPointer<HelpBrowser> secondGuide = openGuide(second);
    QVERIFY(firstGuide);
    QVERIFY(secondGuide);
    QVERIFY(firstGuide != secondGuide);
    QCOMPARE(firstGuide->parentWidget(), first.get());
    QCOMPARE(secondGuide->parentWidget(), &second);

    // The guide goes with its main window.
    first.reset();
    QVERIFY(!firstGuide);
    QVERIFY(secondGuide);
}

void TestHelpBrowser::escapeClosesOnlyTheGuide()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    HelpBrowser *guide = openGuide(window);
    QVERIFY(guide);
    // Activation arrives through the event loop, after the main window's.
    QTRY_VERIFY(guide->isActiveWindow());
    auto *browser = guide->findChild<QTextBrowser *>();
    QVERIFY(browser);

    QTest::keyClick(browser, Qt::Key_Escape);
    QVERIFY(!guide->isVisible());
    QVERIFY(window.isVisible());
}

// Every link of the guide leads to one of its own sections, and every image
// it shows is compiled in.
void TestHelpBrowser::linksAndImagesResolve()
{
    MainWindow window;
    HelpBrowser *guide = openGuide(window);
    QVERIFY(guide);
    auto *browser = guide->findChild<QTextBrowser *>();
    QVERIFY(browser);

    QSet<QString> anchors;
    QStringList links;
    QStringList images;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString &name : format.anchorNames())
                anchors.insert(name);
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                links.append(format.anchorHref());
            if (format.isImageFormat())
                images.append(format.toImageFormat().name());
        }
    }

    QVERIFY(links.size() >= 8);
    for (const QString &link : qAsConst(links)) {
        QVERIFY2(link.startsWith(QLatin1Char('#')), qPrintable(link));
        QVERIFY2(anchors.contains(link.mid(1)), qPrintable(link));
    }

    QCOMPARE(images.size(), 1);
    for (const QString &image : qAsConst(images)) {
        const QVariant data = browser->loadResource(QTextDocument::ImageResource, QUrl(image));
        QImage loaded;
        if (data.canConvert<QImage>())
            loaded = data.value<QImage>();
        if (loaded.isNull())
            loaded = QImage::fromData(data.toByteArray());
        QVERIFY2(!loaded.isNull(), qPrintable(image));
    }
}

QTEST_MAIN(TestHelpBrowser)
#include "tst_helpbrowser.moc"
