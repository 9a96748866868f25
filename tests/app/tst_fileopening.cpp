// File > "Open...": the file dialog, the read error message and the refresh
// of the window after a read, good or bad.
#include "MainWindow.h"
#include "ModalAnswer.h"
#include "TemporarySettings.h"

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

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray sessionHeader()
{
    return "VOK_session_file ,S_100407_10-30.csv\n"
           "Km @ Start ,1523.4\n"
           "Time @ Start ,10-30-15\n"
           "Number,Time,Long,Lat,Alt,HR,Cad,Speed,Ev,Ptot,Pl,Pr,Ol,Or,UDl,UDr,A,B,Km\n";
}

// One sample line per second with values that change along the ride.
QByteArray sampleLines(int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i) {
        lines += QStringLiteral(
                     "%1,%2:%3:%4,11.%5,45.%6,%7,%8,%9,%10,0,%11,%12,%13,3.5,4.0,51,49,0,0,%14\n")
                     .arg(i)
                     .arg(i / 3600)
                     .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(12345 + i)
                     .arg(67891 + i)
                     .arg(350 + i % 20)
                     .arg(110 + i % 30)
                     .arg(80 + i % 10)
                     .arg(20.0 + i % 7)
                     .arg(200 + i % 50)
                     .arg(100 + i % 25)
                     .arg(100 + i % 25)
                     .arg(0.007 * i, 0, 'f', 3)
                     .toLatin1();
    }
    return lines;
}

QwtPlotCurve *findCurve(MainWindow &window, const QString &title)
{
    for (QwtPlot *plot : window.findChildren<QwtPlot *>()) {
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            if (item->title().text() == title)
                return static_cast<QwtPlotCurve *>(item);
        }
    }
    return nullptr;
}

// Chooses File > "Open...", picks path in the file dialog and, if a message
// box follows, hands it to onMessage before answering it with OK.
Message openThroughDialog(MainWindow &window, const QString &path,
                          const std::function<void()> &onMessage = {})
{
    auto message = std::make_shared<Message>();
    answerModal<QFileDialog>([path](QFileDialog *dialog) {
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // public there, as the Open button calls it
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
        << QByteArray(sessionHeader() + sampleLines(3));
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
    QVERIFY(writeFile(path, sessionHeader() + sampleLines(200) + "#####\n"));

    MainWindow window;
    window.show();
    const Message message = openThroughDialog(window, path);

    QVERIFY2(!message.shown, qPrintable(message.text));
    QCOMPARE(window.sessionRecord().sampleCount(), 200);
    QCOMPARE(window.sessionRecord().fileName, QStringLiteral("S_100407_10-30.csv"));
    QCOMPARE(window.windowTitle(), QStringLiteral("VOK - ") + path);
    QVERIFY(window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"))->isEnabled());
    for (const QString &name : refreshedActions)
        QVERIFY2(window.findChild<QAction *>(name)->isEnabled(), qPrintable(name));
}

// The curves draw straight from the record's arrays, and a failed read has
// released the arrays of the ride shown before. While the read error is on
// screen the plots repaint; they must find the curves pointing at what the
// record holds now. (Built with AddressSanitizer, a stale curve is also a
// heap-use-after-free report.)
void TestFileOpening::badRideAfterGoodOneNeverDrawsReleasedSamples()
{
    const QString goodDirectory = files.path() + QStringLiteral("/before");
    const QString badDirectory = files.path() + QStringLiteral("/after");
    QVERIFY(QDir().mkpath(goodDirectory));
    QVERIFY(QDir().mkpath(badDirectory));
    const QString good = goodDirectory + QStringLiteral("/S_100407_10-30.csv");
    const QString bad = badDirectory + QStringLiteral("/S_100407_10-30.csv");
    QVERIFY(writeFile(good, sessionHeader() + sampleLines(200) + "#####\n"));
    QVERIFY(writeFile(bad, sessionHeader() + sampleLines(3)));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (!findCurve(window, channelTitles.first()))
        QSKIP("The session plots have no channel curves in this build");

    QVERIFY(!openThroughDialog(window, good).shown);
    QCOMPARE(window.sessionRecord().sampleCount(), 200);
    for (const QString &title : channelTitles)
        QCOMPARE(int(findCurve(window, title)->dataSize()), 200);

    QStringList staleWhileShown;
    const Message message = openThroughDialog(window, bad, [&] {
        const SessionRecord &session = window.sessionRecord();
        for (int channel = 0; channel < channelTitles.size(); ++channel) {
            const QwtPlotCurve *curve = findCurve(window, channelTitles[channel]);
            if (int(curve->dataSize()) > session.channel(channel)->size())
                staleWhileShown << channelTitles[channel];
        }
        for (QwtPlot *plot : window.findChildren<QwtPlot *>()) {
            plot->replot();
            plot->canvas()->repaint();
            plot->grab();
        }
    });

    QVERIFY(message.shown);
    QCOMPARE(message.title, QStringLiteral("Read error"));
    QCOMPARE(staleWhileShown, QStringList());
    // Afterwards the plots show what the failed read left: its three samples.
    for (const QString &title : channelTitles)
        QCOMPARE(int(findCurve(window, title)->dataSize()), 3);
    QCOMPARE(window.windowTitle(), QStringLiteral("VOK - ") + bad);
}

QTEST_MAIN(TestFileOpening)
#include "tst_fileopening.moc"
