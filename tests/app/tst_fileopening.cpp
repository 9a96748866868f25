// File > "Open...": the file dialog, the read error message and the refresh
// of the window after a read, good or bad.
#include "CurveLookup.h"
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "TemporarySettings.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_point_data.h>

#include <functional>

namespace {

// The titles of the eleven channel curves, in channel order.
const QStringList channelTitles = {"Power Left (W)",   "Power Right (W)",  "Power Tot (W)",
                                   "Offset Left (mm)", "Offset Right (mm)", "Up/Down Left (%)",
                                   "Up/Down Right (%)", "Height (x 10m)",  "Speed (Km/h)",
                                   "Heart Rate (PPM)", "Cadenza (ped/min)"};

const QStringList refreshedActions = {"actionExport_as_KML", "actionView_in_GoogleEarth",
                                      "actionPrint", "actionPrint_preview", "actionPrint_as_pdf"};

struct Message {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

QByteArray sessionHeader()
{
    return "VOK_session_file ,S_100407_10-30.csv\n"
           "Km @ Start ,1523.4\n"
           "Time @ Start ,10-30-15\n"
           "Number,Time,Long,Lat,Alt,HR,Cad,Speed,Ev,Ptot,Pl,Pr,Ol,Or,UDl,UDr,A,B,Km\n";
}

// One sample line per second. Every measured value is level plus a few
// units that change along the ride, so rides of different levels never share
// a value.
QByteArray sampleLines(int count, int level)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i) {
        const QString value = QString::number(level + i % 7);
        QStringList fields = {QString::number(i),
                              QStringLiteral("%1:%2:%3")
                                  .arg(i / 3600)
                                  .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                                  .arg(i % 60, 2, 10, QLatin1Char('0')),
                              QStringLiteral("11.12345"), QStringLiteral("45.67891")};
        for (int field = 4; field <= 17; ++field)
            fields << (field == 8 || field >= 16 ? QStringLiteral("0") : value);
        fields << QString::number(0.007 * i, 'f', 3);
        lines += fields.join(QLatin1Char(',')).toLatin1() + '\n';
    }
    return lines;
}

// Chooses File > "Open...", picks path in the file dialog and, if a message
// box follows, hands it to onMessage before answering it with OK.
Message openThroughDialog(MainWindow &window, const QString &path,
                          const std::function<void()> &onMessage = {})
{
    auto message = std::make_shared<Message>();
    answerModal<QFileDialog>([path](QFileDialog *dialog) {
        // selectFile does not overwrite a file name field that has the focus.
        if (QWidget *focus = dialog->focusWidget())
            focus->clearFocus();
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // public there, as the Open button calls it
        // A dialog that refused the file would wait for a user forever.
        if (dialog->isVisible())
            dialog->reject();
    });
    QPointer<QTimer> boxAnswer = answerModal<QMessageBox>([message, onMessage](QMessageBox *box) {
        message->shown = true;
        message->title = box->windowTitle();
        message->text = box->text();
        message->icon = box->icon();
        message->buttons = box->standardButtons();
        if (onMessage)
            onMessage();
        box->button(QMessageBox::Ok)->click();
    });
    window.findChild<QAction *>(QStringLiteral("actionOpen"))->trigger();
    delete boxAnswer;
    return *message;
}

} // namespace

class TestFileOpening : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void cancelledDialogChangesNothing();
    void fileThatIsNoSessionShowsReadError_data();
    void fileThatIsNoSessionShowsReadError();
    void goodRideOpensWithoutMessage();
    void badRideAfterGoodOneNeverDrawsReleasedSamples_data();
    void badRideAfterGoodOneNeverDrawsReleasedSamples();

private:
    TemporarySettings settings;
    QTemporaryDir files;
    QString startDirectory;
};

void TestFileOpening::initTestCase()
{
    // The widget-based dialog is the one a test can drive, on any desktop.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(files.isValid());
    startDirectory = QDir::currentPath();
}

void TestFileOpening::init()
{
    settings.clear();
}

void TestFileOpening::cleanup()
{
    QDir::setCurrent(startDirectory);
}

void TestFileOpening::cancelledDialogChangesNothing()
{
    const QString here = files.path() + QStringLiteral("/rides");
    QVERIFY(QDir().mkpath(here));
    QVERIFY(QDir::setCurrent(here));

    MainWindow window;
    window.show();
    QString caption;
    QStringList filters;
    QString directory;
    QStringList preselected;
    answerModal<QFileDialog>([&](QFileDialog *dialog) {
        caption = dialog->windowTitle();
        filters = dialog->nameFilters();
        directory = dialog->directory().absolutePath();
        preselected = dialog->selectedFiles();
        dialog->reject();
    });
    window.findChild<QAction *>(QStringLiteral("actionOpen"))->trigger();

    QCOMPARE(caption, QStringLiteral("Open data file"));
    QCOMPARE(filters, QStringList(QStringLiteral("Formatted ASCII (*.csv)")));
    QCOMPARE(QDir(directory).canonicalPath(), QDir(here).canonicalPath());
    // The start directory is taken as a directory, not as a file name to fill in.
    QCOMPARE(preselected, QStringList());

    QCOMPARE(window.windowTitle(), QStringLiteral("VOK 2.0.1"));
    QVERIFY(!window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"))->isEnabled());
    for (const QString &name : refreshedActions)
        QVERIFY2(!window.findChild<QAction *>(name)->isEnabled(), qPrintable(name));
    QCOMPARE(window.sessionRecord().fileName, QString());
}

void TestFileOpening::fileThatIsNoSessionShowsReadError_data()
{
    QTest::addColumn<QByteArray>("contents");

    QTest::newRow("plain text") << QByteArray("Shopping list\nbread, milk\n");
    QTest::newRow("an empty file") << QByteArray();
    QTest::newRow("a session without its separator line")
        << QByteArray(sessionHeader() + sampleLines(3, 100));
    QTest::newRow("a start distance without decimal point")
        << QByteArray("VOK_session_file ,S_100407_10-30.csv\n"
                      "Km @ Start ,1523\n"
                      "Time @ Start ,10-30-15\n"
                      "caption\n"
                      "#####\n");
}

void TestFileOpening::fileThatIsNoSessionShowsReadError()
{
    QFETCH(QByteArray, contents);
    const QString path = files.path() + QStringLiteral("/notes.csv");
    QVERIFY(writeFile(path, contents));

    MainWindow window;
    window.show();
    const Message message = openThroughDialog(window, path);

    QVERIFY(message.shown);
    QCOMPARE(message.title, QStringLiteral("Read error"));
    QCOMPARE(message.text,
             QStringLiteral("The selected dataset could not be loaded:\n--> unknown file format"));
    QCOMPARE(message.icon, QMessageBox::Warning);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // Refreshed all the same, naming the file that could not be read.
    QCOMPARE(window.windowTitle(), QStringLiteral("VOK - ") + path);
    QVERIFY(window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"))->isEnabled());
    for (const QString &name : refreshedActions)
        QVERIFY2(window.findChild<QAction *>(name)->isEnabled(), qPrintable(name));
    // Nothing is written to the settings store by opening a file.
    QSettings store;
    QCOMPARE(store.allKeys(), QStringList());
}

void TestFileOpening::goodRideOpensWithoutMessage()
{
    const QString directory = files.path() + QStringLiteral("/good");
    QVERIFY(QDir().mkpath(directory));
    const QString path = directory + QStringLiteral("/S_100407_10-30.csv");
    QVERIFY(writeFile(path, sessionHeader() + sampleLines(200, 100) + "#####\n"));

    MainWindow window;
    window.show();
    const Message message = openThroughDialog(window, path);

    QVERIFY2(!message.shown, qPrintable(message.text));
    QCOMPARE(window.sessionRecord().time.size(), 200);
    QCOMPARE(window.sessionRecord().fileName, QStringLiteral("S_100407_10-30.csv"));
    QCOMPARE(window.windowTitle(), QStringLiteral("VOK - ") + path);
    QVERIFY(window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"))->isEnabled());
    for (const QString &name : refreshedActions)
        QVERIFY2(window.findChild<QAction *>(name)->isEnabled(), qPrintable(name));
}

void TestFileOpening::badRideAfterGoodOneNeverDrawsReleasedSamples_data()
{
    QTest::addColumn<int>("badSamples");

    QTest::newRow("a shorter ride without separator line") << 3;
    // Growing the arrays past the first ride's capacity moves them: the first
    // ride's storage is freed while the curves may still point into it.
    QTest::newRow("a longer ride without separator line") << 5000;
}

// The curves draw straight from the record's arrays, and a failed read has
// refilled them. While the read error is on screen the plots repaint; they
// must find the curves showing what the record holds now.
void TestFileOpening::badRideAfterGoodOneNeverDrawsReleasedSamples()
{
    QFETCH(int, badSamples);
    const QString goodDirectory = files.path() + QStringLiteral("/before");
    const QString badDirectory = files.path() + QStringLiteral("/after");
    QVERIFY(QDir().mkpath(goodDirectory));
    QVERIFY(QDir().mkpath(badDirectory));
    const QString good = goodDirectory + QStringLiteral("/S_100407_10-30.csv");
    const QString bad = badDirectory + QStringLiteral("/S_100407_10-30.csv");
    QVERIFY(writeFile(good, sessionHeader() + sampleLines(200, 100) + "#####\n"));
    QVERIFY(writeFile(bad, sessionHeader() + sampleLines(badSamples, 500)));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (!findCurve(window, channelTitles.first()))
        QSKIP("The session plots have no channel curves in this build");

    QVERIFY(!openThroughDialog(window, good).shown);
    QCOMPARE(window.sessionRecord().time.size(), 200);
    for (const QString &title : channelTitles)
        QCOMPARE(int(findCurve(window, title)->dataSize()), 200);

    // A curve is stale when it has more points than its channel now holds,
    // when it points into storage that is no longer the channel's, or when
    // its points are not the channel's values.
    const auto staleCurves = [&window] {
        QStringList stale;
        const SessionRecord &session = window.sessionRecord();
        for (int channel = 0; channel < channelTitles.size(); ++channel) {
            const QwtPlotCurve *curve = findCurve(window, channelTitles[channel]);
            const QVector<double> &values = *session.channel(channel);
            const int size = int(curve->dataSize());
            bool same = size <= values.size();
            if (const auto *raw = dynamic_cast<const QwtCPointerData *>(curve->data()))
                same = same && (size == 0 || raw->yData() == values.constData());
            for (int i = 0; same && i < size; ++i)
                same = curve->sample(i).y() == values[i];
            if (!same)
                stale << channelTitles[channel];
        }
        return stale;
    };

    QStringList staleWhileShown;
    const Message message = openThroughDialog(window, bad, [&] {
        staleWhileShown = staleCurves();
        for (QwtPlot *plot : window.findChildren<QwtPlot *>()) {
            plot->replot();
            plot->canvas()->repaint();
            plot->grab();
        }
    });

    QVERIFY(message.shown);
    QCOMPARE(message.title, QStringLiteral("Read error"));
    QCOMPARE(staleWhileShown, QStringList());
    // Afterwards the plots show what the failed read left: all its samples.
    QCOMPARE(staleCurves(), QStringList());
    for (const QString &title : channelTitles)
        QCOMPARE(int(findCurve(window, title)->dataSize()), badSamples);
    QCOMPARE(window.windowTitle(), QStringLiteral("VOK - ") + bad);
}

QTEST_MAIN(TestFileOpening)
#include "tst_fileopening.moc"
