// Opens a ride in VOK's main window the way a user does, through
// File > Open..., and saves a picture of the window.
//
//   vok_screenshot RIDE.csv OUTPUT.png [WIDTHxHEIGHT] [--pedal-strokes | --cursor F]
//
// With --pedal-strokes the picture is of Tools > "Pedal strokes..." with two
// turns selected. With --cursor the pointer rests over the middle plot at
// the fraction F (0 to 1) of its width, and the cursor line and reading show.
// Runs on any Qt platform; tools/screenshot.sh runs it under Xvfb on a
// 1920 x 1080 screen, so that the plots get the height they have on a
// desktop. The settings store is a temporary one: the picture shows the
// program's defaults, and the user's own settings are neither read nor
// written.
#include "MainWindow.h"
#include "PedalStrokesWindow.h"

#include <QAction>
#include <QApplication>
#include <QTableView>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <qwt_plot.h>
#include <QMessageBox>
#include <QPixmap>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// Types the ride's path into the file dialog that File > Open... shows.
void answerFileDialog(const QString &path, int attempts = 500)
{
    QTimer::singleShot(10, [path, attempts] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name) {
            if (attempts > 0)
                answerFileDialog(path, attempts - 1);
            return;
        }
        name->setText(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The widget-based file dialog, whatever the desktop offers.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RIDE.csv OUTPUT.png [WIDTHxHEIGHT]\n", argv[0]);
        return 2;
    }
    const QString ride = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString output = QString::fromLocal8Bit(argv[2]);
    QSize size(1280, 960);
    const bool strokes = argc > 4 && QLatin1String(argv[4]) == QLatin1String("--pedal-strokes");
    const double cursorAt = argc > 5 && QLatin1String(argv[4]) == QLatin1String("--cursor")
                                ? QString::fromLocal8Bit(argv[5]).toDouble()
                                : -1.0;
    if (argc > 3) {
        const QStringList parts = QString::fromLocal8Bit(argv[3]).split(QLatin1Char('x'));
        if (parts.size() == 2)
            size = QSize(parts[0].toInt(), parts[1].toInt());
    }
    if (!QFileInfo(ride).isFile() || !size.isValid()) {
        std::fprintf(stderr, "no ride at %s, or a bad size\n", qPrintable(ride));
        return 2;
    }

    QCoreApplication::setOrganizationName(QStringLiteral("Calvina Labs"));
    QCoreApplication::setApplicationName(QStringLiteral("VOK"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    MainWindow window;
    window.resize(size);
    window.show();

    answerFileDialog(ride);
    // A ride the reader rejects brings a warning: close it, and fail below.
    QTimer warnings;
    QObject::connect(&warnings, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->reject();
    });
    warnings.start(100);
    window.open();
    warnings.stop();
    if (window.sessionRecord().sampleCount() == 0) {
        std::fprintf(stderr, "the ride %s was not opened\n", qPrintable(ride));
        return 1;
    }

    QWidget *shown = &window;
    if (strokes) {
        window.findChild<QAction *>(QStringLiteral("actionPedal_strokes"))->trigger();
        auto *strokesWindow = window.findChild<PedalStrokesWindow *>();
        auto *table = strokesWindow->findChild<QTableView *>();
        table->selectRow(2);
        table->selectionModel()->select(table->model()->index(5, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        strokesWindow->resize(size);
        shown = strokesWindow;
    }

    // Let the window settle (layout, legends, axes) before taking the picture.
    QTimer::singleShot(300, &app, &QCoreApplication::quit);
    app.exec();
    if (cursorAt >= 0.0) {
        QWidget *canvas = window.findChild<QwtPlot *>(QStringLiteral("qwtPlotCenter"))->canvas();
        const QPointF at(cursorAt * canvas->width(), canvas->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at.toPoint()), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
        QTimer::singleShot(100, &app, &QCoreApplication::quit);
        app.exec();
    }
    if (!shown->grab().save(output)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
