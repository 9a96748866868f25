// What the main window and the turn dialog take from the settings store at
// start, and what a confirmed quit leaves in it for the next start.
#include "GuiDriver.h"
#include "TurnDialog.h"

class TestMainWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { settings.clear(); }
    void storedGeometryOpens_data();
    void storedGeometryOpens();
    void quitWritesOnlyWhenConfirmed_data();
    void quitWritesOnlyWhenConfirmed();

private:
    TemporarySettings settings;
};

void TestMainWindowSettings::storedGeometryOpens_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QVariant>("size"); // invalid: nothing stored
    QTest::addColumn<QVariant>("pos");
    QTest::addColumn<QSize>("expectedSize");
    QTest::addColumn<QPoint>("expectedPos"); // null: centred on the screen

    const QVariant none;
    QTest::newRow("main window where it was left")
        << "mainwindow" << QVariant(QSize(700, 500)) << QVariant(QPoint(30, 40)) << QSize(700, 500)
        << QPoint(30, 40);
    QTest::newRow("main window at the first start")
        << "mainwindow" << none << none << QSize(800, 600) << QPoint();
    QTest::newRow("main window left on a screen that is gone")
        << "mainwindow" << QVariant(QSize(620, 440)) << QVariant(QPoint(-9000, 5000))
        << QSize(620, 440) << QPoint();
    QTest::newRow("main window of no area")
        << "mainwindow" << QVariant(QSize(0, 300)) << none << QSize(800, 600) << QPoint();
    QTest::newRow("turn dialog where it was left")
        << "turndialog" << QVariant(QSize(300, 200)) << QVariant(QPoint(5, 6)) << QSize(300, 200)
        << QPoint(5, 6);
    QTest::newRow("turn dialog at the first start")
        << "turndialog" << none << none << QSize(640, 360) << QPoint();
    QTest::newRow("turn dialog left on a screen that is gone")
        << "turndialog" << QVariant(QSize(500, 300)) << QVariant(QPoint(12000, 40))
        << QSize(500, 300) << QPoint();
    QTest::newRow("turn dialog of no area")
        << "turndialog" << QVariant(QSize(400, 0)) << none << QSize(640, 360) << QPoint();
}

void TestMainWindowSettings::storedGeometryOpens()
{
    QFETCH(QString, group);
    QFETCH(QVariant, size);
    QFETCH(QVariant, pos);
    QFETCH(QSize, expectedSize);
    QFETCH(QPoint, expectedPos);
    store(group + "/widget/size", size);
    store(group + "/widget/pos", pos);

    MainWindow window; // which reads the turn dialog's geometry too
    TurnRecord turn;
    Options options;
    TurnDialog dialog(&turn, &options, nullptr);
    QWidget &opened = group == "mainwindow" ? static_cast<QWidget &>(window) : dialog;
    QCOMPARE(opened.size(), expectedSize);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (expectedPos.isNull()) // the odd pixel left over may go either way
        expectedPos = screen.center() - QPoint(expectedSize.width(), expectedSize.height()) / 2;
    QVERIFY2((opened.pos() - expectedPos).manhattanLength() <= 2,
             qPrintable(QStringLiteral("opened at %1,%2").arg(opened.x()).arg(opened.y())));
}

void TestMainWindowSettings::quitWritesOnlyWhenConfirmed_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("Cancel keeps the window and writes nothing") << false;
    QTest::newRow("OK writes the options and both geometries") << true;
}

void TestMainWindowSettings::quitWritesOnlyWhenConfirmed()
{
    QFETCH(bool, ok);
    {
        MainWindow window;
        window.show();
        window.resize(700, 480);
        window.move(25, 35);
        window.showCurve(findCurve(window, "Heart Rate (PPM)"), false); // as the legend does
        QString question;
        whenModal<QMessageBox>([&question, ok](QMessageBox *box) {
            question = box->windowTitle() + ": " + box->text();
            box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        });
        QCOMPARE(window.close(), ok);
        QCOMPARE(question, QStringLiteral("VOK: Do you really want to quit?"));
    }
    if (!ok) {
        QCOMPARE(storedKeys(), QStringList());
        return;
    }
    QCOMPARE(stored("mainwindow/widget/size").toSize(), QSize(700, 480));
    QCOMPARE(stored("mainwindow/widget/pos").toPoint(), QPoint(25, 35));
    QCOMPARE(stored("mainwindow/widget/maximized").toString(), QStringLiteral("false"));
    QCOMPARE(stored("turndialog/widget/size").toSize(), QSize(640, 360));
    QCOMPARE(stored("options/graphvisible/heart").toString(), QStringLiteral("false"));
    QCOMPARE(stored("options/graphvisible/speed").toString(), QStringLiteral("true"));
    MainWindow next;
    QVERIFY(!findCurve(next, "Heart Rate (PPM)")->isVisible());
    QVERIFY(findCurve(next, "Speed (Km/h)")->isVisible());
}

QTEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindowsettings.moc"
