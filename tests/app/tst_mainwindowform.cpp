#include "MainWindow.h"
#include "TemporarySettings.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QTest>
#include <QTimer>
#include <qwt_plot.h>

// The main window as the user first sees it: widgets, menus, actions and the
// About box.
class tst_MainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowBeforeAnyFile();
    void actions_data();
    void actions();
    void menus_data();
    void menus();
    void logoColumn();
    void plotsStackedOnTheRight();
    void aboutBoxNamesTheLibrariesInUse();

private:
    TemporarySettings *settings = nullptr;
    MainWindow *window = nullptr;
};

void tst_MainWindowForm::init()
{
    settings = new TemporarySettings;
    window = new MainWindow;
}

void tst_MainWindowForm::cleanup()
{
    delete window;
    window = nullptr;
    delete settings;
    settings = nullptr;
}

void tst_MainWindowForm::windowBeforeAnyFile()
{
    QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(window->windowTitle(), QStringLiteral("VOK 2.0.1"));
    QVERIFY(!window->windowIcon().isNull());
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("centralwidget")));
    QCOMPARE(window->findChildren<QToolBar *>().size(), 0);
    QVERIFY(window->findChild<QStatusBar *>() == nullptr);

    auto *combo = window->findChild<QComboBox *>(QStringLiteral("xAxisComboBox"));
    QVERIFY(combo);
    QVERIFY(!combo->isEnabled());
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(combo->minimumSize(), QSize(80, 40));
    QCOMPARE(combo->maximumWidth(), 80);

    auto *label = window->findChild<QLabel *>(QStringLiteral("xAxisLabel"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("X axis type:"));
}

void tst_MainWindowForm::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("open") << "actionOpen" << "Open..." << QKeySequence("Ctrl+O")
                          << ":/images/open.png" << true;
    QTest::newRow("export") << "actionExport_as_KML" << "Export as KML" << QKeySequence("Ctrl+K")
                            << "" << false;
    QTest::newRow("google earth") << "actionView_in_GoogleEarth" << "View in GoogleEarth"
                                  << QKeySequence() << "" << false;
    QTest::newRow("preview") << "actionPrint_preview" << "Print preview..." << QKeySequence()
                             << "" << false;
    QTest::newRow("print") << "actionPrint" << "Print" << QKeySequence() << "" << false;
    QTest::newRow("pdf") << "actionPrint_as_pdf" << "Print as pdf" << QKeySequence() << ""
                         << false;
    QTest::newRow("exit") << "actionExit" << "Exit" << QKeySequence("Esc") << "" << true;
    QTest::newRow("options") << "actionOptions" << "Options..." << QKeySequence() << "" << true;
    QTest::newRow("index") << "actionIndex_2" << "Index..." << QKeySequence() << "" << true;
    QTest::newRow("about") << "actionAbout_VOK" << "About VOK..." << QKeySequence("Ctrl+A")
                           << ":/images/about.png" << true;
}

void tst_MainWindowForm::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, icon);
    QFETCH(bool, enabled);

    auto *action = window->findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->parent(), window);
    QCOMPARE(action->text(), text);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->isEnabled(), enabled);
    QCOMPARE(action->icon().isNull(), icon.isEmpty());
    if (!icon.isEmpty()) {
        const QImage expected = QImage(icon).convertToFormat(QImage::Format_ARGB32);
        const QImage shown = action->icon().pixmap(32, 32).toImage().convertToFormat(
            QImage::Format_ARGB32);
        QCOMPARE(shown, expected);
    }
}

void tst_MainWindowForm::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("file") << "menuFile" << "File"
                          << QStringList{"actionOpen", "-", "actionExport_as_KML",
                                         "actionView_in_GoogleEarth", "-", "actionPrint_preview",
                                         "actionPrint", "actionPrint_as_pdf", "-", "actionExit"};
    QTest::newRow("tools") << "menuGraph" << "Tools" << QStringList{"actionOptions"};
    QTest::newRow("help") << "menuHelp" << "Help"
                          << QStringList{"actionIndex_2", "-", "actionAbout_VOK"};
}

void tst_MainWindowForm::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QStringList, entries);

    auto *widget = window->findChild<QMenu *>(menu);
    QVERIFY(widget);
    QCOMPARE(widget->title(), title);
    QStringList shown;
    for (QAction *action : widget->actions())
        shown << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    QCOMPARE(shown, entries);

    QStringList bar;
    for (QAction *action : window->menuBar()->actions())
        bar << action->menu()->objectName();
    QCOMPARE(bar, (QStringList{"menuFile", "menuGraph", "menuHelp"}));
}

void tst_MainWindowForm::logoColumn()
{
    auto *brand = window->findChild<QLabel *>(QStringLiteral("label"));
    auto *logo = window->findChild<QLabel *>(QStringLiteral("ZEZIraza"));
    QVERIFY(brand && logo);
    QCOMPARE(brand->maximumSize(), QSize(67, 51));
    QCOMPARE(logo->maximumSize(), QSize(47, 51));
    QVERIFY(brand->hasScaledContents() && logo->hasScaledContents());
    QVERIFY(brand->text().isEmpty() && logo->text().isEmpty());
    QCOMPARE(brand->pixmap(Qt::ReturnByValue).size(), QSize(331, 252));
    QCOMPARE(logo->pixmap(Qt::ReturnByValue).size(), QSize(378, 407));
}

void tst_MainWindowForm::plotsStackedOnTheRight()
{
    const QStringList names{"qwtPlotTop", "qwtPlotCenter", "qwtPlotBottom"};
    int previousY = -1;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    for (const QString &name : names) {
        auto *plot = window->findChild<QwtPlot *>(name);
        QVERIFY2(plot, qPrintable(name));
        QCOMPARE(plot->parentWidget()->objectName(), QStringLiteral("centralwidget"));
        QCOMPARE(plot->minimumHeight(), 100);
        QVERIFY(plot->y() > previousY);
        previousY = plot->y();
    }
    auto *combo = window->findChild<QComboBox *>(QStringLiteral("xAxisComboBox"));
    QVERIFY(combo->x() < window->findChild<QwtPlot *>(names.first())->x());
}

void tst_MainWindowForm::aboutBoxNamesTheLibrariesInUse()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QString title;
    QString text;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);

    QCOMPARE(title, QStringLiteral("About VOK"));
    QVERIFY2(text.startsWith(QStringLiteral(
                 "<HTML><p><b><c>VOK 1.0</c></b></p><p>This program uses the following "
                 "libraries under the GNU LGPL version 2.1 licence:</p><ul><li>Qt ")),
             qPrintable(text));
    QVERIFY(text.endsWith(QStringLiteral("</HTML>")));
    QVERIFY2(text.contains(QStringLiteral("<li>Qt %1</li>").arg(qVersion())), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("<li>Qwt 6.1.")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("<li>KDE Frameworks WidgetsAddons 5.")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Qt 4.6")));
}

QTEST_MAIN(tst_MainWindowForm)
#include "tst_mainwindowform.moc"
