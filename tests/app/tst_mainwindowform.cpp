// The texts and shortcuts of the main window's form, by object name.
#include "GuiDriver.h"

class TestMainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void textsAndShortcuts_data();
    void textsAndShortcuts();
    void chooserShowsItsItemsWhole();

private:
    TemporarySettings settings;
};

void TestMainWindowForm::textsAndShortcuts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("shortcut");

    const QKeySequence none;
    QTest::newRow("window title") << "MainWindow" << "VOK 2.0.1" << none;
    QTest::newRow("x-axis chooser label") << "xAxisLabel" << "X axis type:" << none;
    QTest::newRow("File menu") << "menuFile" << "File" << none;
    QTest::newRow("Tools menu") << "menuGraph" << "Tools" << none;
    QTest::newRow("Help menu") << "menuHelp" << "Help" << none;
    QTest::newRow("open") << "actionOpen" << "Open..." << QKeySequence("Ctrl+O");
    QTest::newRow("KML export")
        << "actionExport_as_KML" << "Export as KML" << QKeySequence("Ctrl+K");
    QTest::newRow("Google Earth") << "actionView_in_GoogleEarth" << "View in GoogleEarth" << none;
    QTest::newRow("print preview") << "actionPrint_preview" << "Print preview..." << none;
    QTest::newRow("print") << "actionPrint" << "Print" << none;
    QTest::newRow("PDF") << "actionPrint_as_pdf" << "Print as pdf" << none;
    QTest::newRow("exit") << "actionExit" << "Exit" << QKeySequence("Esc");
    QTest::newRow("options") << "actionOptions" << "Options..." << none;
    QTest::newRow("user guide") << "actionIndex_2" << "Index..." << none;
    QTest::newRow("about box") << "actionAbout_VOK" << "About VOK..." << QKeySequence("Ctrl+A");
}

void TestMainWindowForm::textsAndShortcuts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QKeySequence, shortcut);
    MainWindow window;
    QObject *object = name == window.objectName() ? &window : window.findChild<QObject *>(name);
    QVERIFY2(object, qPrintable(name));
    const char *property = object == &window        ? "windowTitle"
                           : qobject_cast<QMenu *>(object) ? "title"
                                                           : "text";
    QCOMPARE(object->property(property).toString(), text);
    QCOMPARE(object->property("shortcut").value<QKeySequence>(), shortcut);
}

// Each item of the x-axis chooser is a mode over its unit, on two lines.
void TestMainWindowForm::chooserShowsItsItemsWhole()
{
    MainWindow window;
    window.show();
    auto *chooser = window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"));
    QStyleOptionComboBox option;
    option.initFrom(chooser);
    const QRect field = chooser->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, chooser);
    for (int i = 0; i < chooser->count(); ++i) {
        for (const QString &line : chooser->itemText(i).split('\n'))
            QVERIFY2(chooser->fontMetrics().horizontalAdvance(line) <= field.width(),
                     qPrintable(line));
    }
}

QTEST_MAIN(TestMainWindowForm)
#include "tst_mainwindowform.moc"
