// The main window's quit question and what a confirmed quit leaves in the
// settings store for the next start: options, window geometry, turn dialog
// geometry and the visibility of the session curves.
#include "CurveLookup.h"
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "StoredSettings.h"
#include "TemporarySettings.h"

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

namespace {

enum class CloseBy { EscapeKey, ExitAction, CloseCall };

struct Question {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool asked = false;
};

// Asks the window to close the way a user would, answers the quit question
// with button and returns what the question looked like.
Question closeWindow(MainWindow &window, CloseBy how, QMessageBox::StandardButton button)
{
    auto question = std::make_shared<Question>();
    answerModal<QMessageBox>([question, button](QMessageBox *box) {
        question->title = box->windowTitle();
        question->text = box->text();
        question->icon = box->icon();
        question->buttons = box->standardButtons();
        question->asked = true;
        box->button(button)->click();
    });
    switch (how) {
    case CloseBy::EscapeKey:
        QTest::keyClick(&window, Qt::Key_Escape);
        break;
    case CloseBy::ExitAction:
        window.findChild<QAction *>(QStringLiteral("actionExit"))->trigger();
        break;
    case CloseBy::CloseCall:
        window.close();
        break;
    }
    return *question;
}

// Shows a window and waits until it can take key presses.
bool showActive(MainWindow &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The rectangle lies in the middle of area: the gaps on opposite sides differ
// by at most the one pixel that an odd difference of widths leaves.
bool centredIn(const QRect &rect, const QRect &area)
{
    const int left = rect.left() - area.left();
    const int right = area.right() - rect.right();
    const int top = rect.top() - area.top();
    const int bottom = area.bottom() - rect.bottom();
    return qAbs(left - right) <= 1 && qAbs(top - bottom) <= 1;
}

QRect availableArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

Q_DECLARE_METATYPE(CloseBy)

class TestMainWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { settings.clear(); }

    void firstRunCentresTheWindow_data();
    void firstRunCentresTheWindow();
    void storedGeometryIsRestored();
    void damagedGeometryFallsBackToTheDefault_data();
    void damagedGeometryFallsBackToTheDefault();
    void cancelKeepsTheWindowAndWritesNothing_data();
    void cancelKeepsTheWindowAndWritesNothing();
    void okWritesOptionsAndGeometry_data();
    void okWritesOptionsAndGeometry();
    void storedOptionsSurviveAQuit();
    void turnDialogGeometryIsWrittenBack_data();
    void turnDialogGeometryIsWrittenBack();
    void maximizedWindowKeepsItsNormalGeometry();
    void hiddenCurveStaysHiddenAtTheNextStart_data();
    void hiddenCurveStaysHiddenAtTheNextStart();

private:
    TemporarySettings settings;
};

void TestMainWindowSettings::firstRunCentresTheWindow_data()
{
    QTest::addColumn<QVariant>("storedSize");
    QTest::addColumn<QSize>("expectedSize");

    QTest::newRow("nothing stored") << QVariant() << QSize(800, 600);
    QTest::newRow("a size but no position") << QVariant(QSize(640, 480)) << QSize(640, 480);
    QTest::newRow("a size of odd width and height but no position")
        << QVariant(QSize(701, 451)) << QSize(701, 451);
}

void TestMainWindowSettings::firstRunCentresTheWindow()
{
    QFETCH(QVariant, storedSize);
    QFETCH(QSize, expectedSize);
    if (storedSize.isValid())
        store("mainwindow/widget/size", storedSize);

    MainWindow window;
    QCOMPARE(window.size(), expectedSize);
    QVERIFY(!window.isMaximized());
    QVERIFY2(centredIn(QRect(window.pos(), window.size()), availableArea()),
             qPrintable(QStringLiteral("window at %1,%2")
                            .arg(window.pos().x())
                            .arg(window.pos().y())));
}

void TestMainWindowSettings::storedGeometryIsRestored()
{
    store("mainwindow/widget/size", QSize(700, 500));
    store("mainwindow/widget/pos", QPoint(30, 40));
    store("mainwindow/widget/maximized", false);

    MainWindow window;
    QCOMPARE(window.size(), QSize(700, 500));
    QCOMPARE(window.pos(), QPoint(30, 40));
    QVERIFY(!window.isMaximized());
}

void TestMainWindowSettings::damagedGeometryFallsBackToTheDefault_data()
{
    QTest::addColumn<QVariant>("size");
    QTest::addColumn<QVariant>("pos");
    QTest::addColumn<QSize>("expectedSize");

    QTest::newRow("a size that is a word")
        << QVariant(QStringLiteral("large")) << QVariant() << QSize(800, 600);
    QTest::newRow("a size of no area") << QVariant(QSize(0, 0)) << QVariant() << QSize(800, 600);
    QTest::newRow("a position far off every screen")
        << QVariant(QSize(620, 440)) << QVariant(QPoint(-50000, -50000)) << QSize(620, 440);
}

void TestMainWindowSettings::damagedGeometryFallsBackToTheDefault()
{
    QFETCH(QVariant, size);
    QFETCH(QVariant, pos);
    QFETCH(QSize, expectedSize);
    store("mainwindow/widget/size", size);
    if (pos.isValid())
        store("mainwindow/widget/pos", pos);

    MainWindow window;
    QCOMPARE(window.size(), expectedSize);
    QVERIFY(centredIn(QRect(window.pos(), window.size()), availableArea()));
}

void TestMainWindowSettings::cancelKeepsTheWindowAndWritesNothing_data()
{
    QTest::addColumn<CloseBy>("how");

    QTest::newRow("Escape key") << CloseBy::EscapeKey;
    QTest::newRow("File > Exit") << CloseBy::ExitAction;
    QTest::newRow("the window's close button") << CloseBy::CloseCall;
}

void TestMainWindowSettings::cancelKeepsTheWindowAndWritesNothing()
{
    QFETCH(CloseBy, how);

    MainWindow window;
    QVERIFY(showActive(window));
    const Question question = closeWindow(window, how, QMessageBox::Cancel);

    QVERIFY(question.asked);
    QCOMPARE(question.title, QStringLiteral("VOK"));
    QCOMPARE(question.text, QStringLiteral("Do you really want to quit?"));
    QCOMPARE(question.icon, QMessageBox::Warning);
    QCOMPARE(question.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(window.isVisible());
    QCOMPARE(storedKeys(), QStringList());
}

void TestMainWindowSettings::okWritesOptionsAndGeometry_data()
{
    cancelKeepsTheWindowAndWritesNothing_data();
}

void TestMainWindowSettings::okWritesOptionsAndGeometry()
{
    QFETCH(CloseBy, how);

    MainWindow window;
    window.resize(700, 480);
    window.move(25, 35);
    QVERIFY(showActive(window));
    const Question question = closeWindow(window, how, QMessageBox::Ok);

    QVERIFY(question.asked);
    QVERIFY(!window.isVisible());

    QSettings settings;
    settings.beginGroup(QStringLiteral("options"));
    QCOMPARE(settings.allKeys().size(), 34);
    QCOMPARE(settings.value("graphstyle/udl").value<QPen>().style(), Qt::DashLine);
    settings.endGroup();

    QCOMPARE(stored("mainwindow/widget/size").toSize(), QSize(700, 480));
    QCOMPARE(stored("mainwindow/widget/pos").toPoint(), QPoint(25, 35));
    QCOMPARE(stored("mainwindow/widget/maximized").toBool(), false);
    QVERIFY(stored("mainwindow/widget/maximized").isValid());

    // No turn dialog was opened: its defaults are what goes to the store.
    const QSize turnSize = stored("turndialog/widget/size").toSize();
    QCOMPARE(turnSize, QSize(640, 360));
    QVERIFY(stored("turndialog/widget/pos").isValid());
    QVERIFY(centredIn(QRect(stored("turndialog/widget/pos").toPoint(), turnSize), availableArea()));

    // The next start finds the window where this one was left.
    MainWindow next;
    QCOMPARE(next.size(), QSize(700, 480));
    QCOMPARE(next.pos(), QPoint(25, 35));
}

void TestMainWindowSettings::storedOptionsSurviveAQuit()
{
    const QPen pen(QBrush(Qt::magenta, Qt::SolidPattern), 4.0, Qt::DotLine, Qt::SquareCap,
                   Qt::RoundJoin);
    store("options/graphstyle/pl", QVariant::fromValue(pen));
    store("options/axes/x_axis_type", 1);
    store("options/axes/time_unit", 3u);
    store("options/axes/time_start_relative", true);
    store("options/googleearth/fullpath", QStringLiteral("/opt/earth/googleearth"));

    MainWindow window;
    QCOMPARE(window.optionsRecord().x_axis_type, 1);
    QVERIFY(showActive(window));
    QVERIFY(closeWindow(window, CloseBy::CloseCall, QMessageBox::Ok).asked);

    QCOMPARE(stored("options/graphstyle/pl").value<QPen>(), pen);
    QCOMPARE(stored("options/axes/x_axis_type").toInt(), 1);
    QCOMPARE(stored("options/axes/time_unit").toUInt(), 3u);
    QCOMPARE(stored("options/axes/time_start_relative").toBool(), true);
    QCOMPARE(stored("options/googleearth/fullpath").toString(),
             QStringLiteral("/opt/earth/googleearth"));
}

void TestMainWindowSettings::turnDialogGeometryIsWrittenBack_data()
{
    QTest::addColumn<QVariant>("size");
    QTest::addColumn<QVariant>("pos");
    QTest::addColumn<QSize>("expectedSize");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QPoint>("expectedPos"); // when not centred

    QTest::newRow("a stored size and position")
        << QVariant(QSize(300, 200)) << QVariant(QPoint(5, 6)) << QSize(300, 200) << false
        << QPoint(5, 6);
    QTest::newRow("nothing stored")
        << QVariant() << QVariant() << QSize(640, 360) << true << QPoint();
    QTest::newRow("a stored size alone")
        << QVariant(QSize(500, 300)) << QVariant() << QSize(500, 300) << true << QPoint();
    QTest::newRow("a size that is a word")
        << QVariant(QStringLiteral("big")) << QVariant() << QSize(640, 360) << true << QPoint();
    QTest::newRow("a position that is a word")
        << QVariant(QSize(300, 200)) << QVariant(QStringLiteral("left")) << QSize(300, 200)
        << false << QPoint(0, 0);
}

// No turn dialog is opened: what was read at start goes back to the store.
void TestMainWindowSettings::turnDialogGeometryIsWrittenBack()
{
    QFETCH(QVariant, size);
    QFETCH(QVariant, pos);
    QFETCH(QSize, expectedSize);
    QFETCH(bool, centred);
    QFETCH(QPoint, expectedPos);
    if (size.isValid())
        store("turndialog/widget/size", size);
    if (pos.isValid())
        store("turndialog/widget/pos", pos);

    MainWindow window;
    QVERIFY(showActive(window));
    settings.clear();
    QVERIFY(closeWindow(window, CloseBy::CloseCall, QMessageBox::Ok).asked);

    QCOMPARE(stored("turndialog/widget/size").toSize(), expectedSize);
    const QPoint storedPos = stored("turndialog/widget/pos").toPoint();
    if (centred)
        QVERIFY(centredIn(QRect(storedPos, expectedSize), availableArea()));
    else
        QCOMPARE(storedPos, expectedPos);
}

void TestMainWindowSettings::maximizedWindowKeepsItsNormalGeometry()
{
    // An earlier run closed the window un-maximized.
    store("mainwindow/widget/size", QSize(660, 420));
    store("mainwindow/widget/pos", QPoint(40, 50));

    {
        MainWindow window;
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.isMaximized());
        QVERIFY(window.size() != QSize(660, 420));
        QVERIFY(closeWindow(window, CloseBy::CloseCall, QMessageBox::Ok).asked);
    }
    QCOMPARE(stored("mainwindow/widget/maximized").toBool(), true);
    QCOMPARE(stored("mainwindow/widget/size").toSize(), QSize(660, 420));
    QCOMPARE(stored("mainwindow/widget/pos").toPoint(), QPoint(40, 50));

    MainWindow window;
    QVERIFY(window.isMaximized());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(window.size(), QSize(660, 420));
    QTRY_COMPARE(window.pos(), QPoint(40, 50));
}

void TestMainWindowSettings::hiddenCurveStaysHiddenAtTheNextStart_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("key");

    QTest::newRow("left power") << "Power Left (W)" << "pl";
    QTest::newRow("right power") << "Power Right (W)" << "pr";
    QTest::newRow("total power") << "Power Tot (W)" << "ptot";
    QTest::newRow("left offset") << "Offset Left (mm)" << "ol";
    QTest::newRow("right offset") << "Offset Right (mm)" << "or";
    QTest::newRow("left up/down") << "Up/Down Left (%)" << "udl";
    QTest::newRow("right up/down") << "Up/Down Right (%)" << "udr";
    QTest::newRow("height") << "Height (x 10m)" << "height";
    QTest::newRow("speed") << "Speed (Km/h)" << "speed";
    QTest::newRow("heart rate") << "Heart Rate (PPM)" << "heart";
    QTest::newRow("cadence") << "Cadenza (ped/min)" << "cadenza";
}

void TestMainWindowSettings::hiddenCurveStaysHiddenAtTheNextStart()
{
    QFETCH(QString, title);
    QFETCH(QString, key);
    const QStringList titles = {"Power Left (W)",   "Power Right (W)",  "Power Tot (W)",
                                "Offset Left (mm)", "Offset Right (mm)", "Up/Down Left (%)",
                                "Up/Down Right (%)", "Height (x 10m)",  "Speed (Km/h)",
                                "Heart Rate (PPM)", "Cadenza (ped/min)"};

    {
        MainWindow window;
        QwtPlotCurve *curve = findCurve(window, title);
        if (!curve)
            QSKIP("The session plots have no channel curves in this build");
        QVERIFY(curve->isVisible());
        window.showCurve(curve, false);
        QVERIFY(showActive(window));
        QVERIFY(closeWindow(window, CloseBy::CloseCall, QMessageBox::Ok).asked);
    }
    QCOMPARE(stored("options/graphvisible/" + key).toBool(), false);

    MainWindow window;
    for (const QString &other : titles) {
        QwtPlotCurve *curve = findCurve(window, other);
        QVERIFY2(curve, qPrintable(other));
        QCOMPARE(curve->isVisible(), other != title);
    }
    // The turn dialog's curves are not the main window's to save.
    QCOMPARE(stored("options/graphvisible/t_fl").toBool(), true);
}

QTEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindowsettings.moc"
