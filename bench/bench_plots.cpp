// How fast the main window shows a long ride: a 24-hour ride sampled at
// 10 Hz (864,000 samples), all eleven channel curves visible, in a main
// window of 1280 x 900.
//
//   bench_plots [runs]
//
// It paints offscreen unless QT_QPA_PLATFORM names a platform, and says
// which.
//
// Prints, as medians over the runs:
// - the read alone (SessionRecord::read), for reference;
// - from the read returning to the three plots painted: the steps open()
//   runs after the read (changeXAxis, the top zoomer back to its base,
//   updateGraphs), then painting the three plots;
// - one full replot of the three plots, painted;
// - one linked zoom step on the top plot, until all three have repainted;
// - for reference, the same to ranges not shown before, whose samples and
//   summaries the caches do not hold yet;
// - one step of the mouse wheel over a plot, the same;
// - for reference, zoom steps painted as the window's event loop paints
//   them, which repaints only what changed;
// - the cursor following the pointer: the line on the three plots and the
//   reading in the panel, painted;
// - the statistics of a stretch of the ride, as the panel shows them;
// and compares the painted plots with drawing every sample the way
// QwtPlotCurve does, in time and in differing pixels.
#include "BenchSupport.h"
#include "ScratchRide.h"
#include "DenseCurve.h"
#include "MainWindow.h"
#include "MyZoomer.h"
#include "RideFigures.h"
#include "RideStatistics.h"
#include "SessionRecord.h"
#include "StatisticsPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QWheelEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Times `step` `runs` times; returns the median in milliseconds.
double timeRuns(int runs, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        step();
        times.push_back(milliseconds(clock));
    }
    return median(times);
}

// Answers the file dialog that open() shows by typing `path` into its file
// name field, as a user would.
void answerFileDialog(const QString &path)
{
    QTimer::singleShot(10, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name) {
            answerFileDialog(path);
            return;
        }
        name->setText(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
    });
}

int differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int row = 0; row < first.height(); ++row) {
        const auto *lineA = reinterpret_cast<const QRgb *>(first.constScanLine(row));
        const auto *lineB = reinterpret_cast<const QRgb *>(second.constScanLine(row));
        for (int column = 0; column < first.width(); ++column)
            count += lineA[column] != lineB[column];
    }
    return count;
}

void setColumnReduction(QwtPlot *plot, bool on)
{
    for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
        if (auto *curve = dynamic_cast<DenseCurve *>(item))
            curve->setColumnReduction(on);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    useOffscreenPlatform();
    QApplication app(argc, argv);
    const int runs = runsArgument(argc, argv);

    const ScratchSettings settings("bench_plots"); // never the user's own

    RidePlan ridePlan;
    ridePlan.durationSeconds = 24 * 3600.0;
    ridePlan.rateHz = 10.0;
    const ScratchRide ride(ridePlan);
    const QString &path = ride.path;

    SessionRecord alone;
    const double readTime = timeRuns(3, [&] { alone.read(path); });
    const int samples = alone.time.size();
    std::printf("ride: %d samples (24 h at 10 Hz), %d turn files, main window 1280 x 900, "
                "%d runs each\n",
                samples, int(alone.turns.size()), runs);
    // Figures taken on a display server include sending each painted
    // window to it, which can double a zoom step: they compare only with
    // figures taken on the same platform.
    const QString platform = QGuiApplication::platformName();
    std::printf("platform: %s%s\n", qPrintable(platform),
                platform == QLatin1String("offscreen")
                    ? ""
                    : " (QT_QPA_PLATFORM is set: the figures include the display server)");
    if (samples != 864000) {
        std::fprintf(stderr, "the reader gave %d samples, not 864000\n", samples);
        return 1;
    }
    std::printf("read alone (SessionRecord::read):           %8.1f ms\n", readTime);
    RideIndex rebuilt;
    const double indexTime = timeRuns(runs, [&] { rebuilt.build(alone); });
    size_t arrayBytes = size_t(alone.longitude.size() + alone.latitude.size()) * sizeof(double);
    for (int number = 0; number < SessionRecord::ChannelCount; ++number)
        arrayBytes += size_t(alone.channel(number)->size()) * sizeof(double);
    std::printf("  of which the ride index (RideIndex::build): %6.1f ms   (%.1f%% of the read; "
                "target <= 10%%)\n",
                indexTime, 100.0 * indexTime / readTime);
    std::printf("  ride index memory: %.1f MB over %.1f MB of arrays (%.1f%%; target <= 50%%)\n",
                rebuilt.memoryBytes() / 1e6, arrayBytes / 1e6,
                100.0 * double(rebuilt.memoryBytes()) / double(arrayBytes));

    MainWindow window;
    window.resize(1280, 900);
    // The offscreen screen is 800 x 600; give the plots the height they
    // get on a 1920 x 1080 screen.
    std::array<QwtPlot *, 3> plots = {window.findChild<QwtPlot *>(QStringLiteral("qwtPlotTop")),
                                      window.findChild<QwtPlot *>(QStringLiteral("qwtPlotCenter")),
                                      window.findChild<QwtPlot *>(QStringLiteral("qwtPlotBottom"))};
    for (QwtPlot *plot : plots)
        plot->setMaximumHeight((1080 - 100) / 3);
    window.show();
    QCoreApplication::processEvents();

    auto paintPlots = [&] {
        for (QwtPlot *plot : plots)
            plot->repaint();
    };

    answerFileDialog(path);
    QElapsedTimer openClock;
    openClock.start();
    window.open();
    paintPlots();
    const double openTime = milliseconds(openClock);
    if (window.sessionRecord().sampleCount() != samples) {
        std::fprintf(stderr, "open() did not load the ride\n");
        return 1;
    }
    std::printf("open() with the read, dialog answered:      %8.1f ms\n", openTime);
    std::printf("canvas of the top plot: %d x %d pixels\n", plots[0]->canvas()->width(),
                plots[0]->canvas()->height());

    MyZoomer *topZoomer = plots[0]->canvas()->findChild<MyZoomer *>();
    auto *chooser = window.findChild<QComboBox *>(QStringLiteral("xAxisComboBox"));

    const double refreshTime = timeRuns(runs, [&] {
        window.changeXAxis(chooser->currentIndex());
        topZoomer->zoom(0);
        window.updateGraphs();
        paintPlots();
    });
    std::printf("read returned -> three plots painted:       %8.1f ms   (target < 300)\n",
                refreshTime);

    const double replotTime = timeRuns(runs, [&] {
        for (QwtPlot *plot : plots)
            plot->replot();
        paintPlots();
    });
    std::printf("full replot of the three plots, painted:    %8.1f ms   (target < 100)\n",
                replotTime);

    // Zoom in on the middle half of the ride and back out, alternately.
    const QRectF base = topZoomer->zoomBase();
    const QRectF middle(base.left() + base.width() / 4, base.top(), base.width() / 2, base.height());
    std::vector<double> zoomIn, zoomOut;
    for (int i = 0; i < runs; ++i) {
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        topZoomer->zoom(middle);
        paintPlots();
        zoomIn.push_back(milliseconds(clock));
        QCoreApplication::processEvents();
        clock.restart();
        topZoomer->zoom(0);
        paintPlots();
        zoomOut.push_back(milliseconds(clock));
    }
    std::printf("linked zoom step, in to the middle half:    %8.1f ms   (target < 100)\n",
                median(zoomIn));
    std::printf("linked zoom step, out to the whole ride:    %8.1f ms   (target < 100)\n",
                median(zoomOut));

    // In to a third of the ride at places spread by the golden ratio, each
    // time another; back out untimed.
    std::vector<double> zoomFresh;
    double along = 0.1;
    for (int i = 0; i < runs; ++i) {
        along = std::fmod(along + 0.6180339887, 1.0);
        const QRectF third(base.left() + along * base.width() * 2.0 / 3.0, base.top(),
                           base.width() / 3.0, base.height());
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        topZoomer->zoom(third);
        paintPlots();
        zoomFresh.push_back(milliseconds(clock));
        topZoomer->zoom(0);
        paintPlots();
    }
    std::printf("zoom step, in to a range not shown before:  %8.1f ms   (for reference)\n",
                median(zoomFresh));

    // The wheel over the centre plot, a notch in and a notch out by turns,
    // around a point two thirds along.
    QWidget *centerCanvas = plots[1]->canvas();
    const QPointF wheelAt(centerCanvas->width() * 2.0 / 3.0, centerCanvas->height() / 2.0);
    int notch = 0;
    const double wheelTime = timeRuns(runs * 2, [&] {
        QWheelEvent turn(wheelAt, centerCanvas->mapToGlobal(wheelAt.toPoint()), QPoint(),
                         QPoint(0, notch++ % 2 ? -120 : 120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(centerCanvas, &turn);
        paintPlots();
    });
    std::printf("wheel step over a plot, painted:            %8.1f ms\n", wheelTime);
    topZoomer->zoom(0);
    paintPlots();

    // The same zoom steps painted as the window paints them: the event loop
    // repaints, once, what the step changed (the canvases, the x axis, the
    // y axes whose scale changed, the panel), where repaint() above paints
    // the whole of each plot, legends and all. For reference only.
    std::vector<double> windowSteps;
    for (int i = 0; i < runs; ++i) {
        for (const QRectF &rect : {middle, base}) {
            QCoreApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            if (rect == base)
                topZoomer->zoom(0);
            else
                topZoomer->zoom(rect);
            QCoreApplication::processEvents(); // the posted repaints
            windowSteps.push_back(milliseconds(clock));
        }
    }
    std::printf("zoom step, painted as the window paints it: %8.1f ms   (for reference)\n",
                median(windowSteps));

    // The pointer moving across the centre plot, a column at a time: the
    // line on all three plots and the reading in the panel, painted.
    auto *panel = window.findChild<StatisticsPanel *>(QStringLiteral("statisticsPanel"));
    int column = 10;
    const double cursorTime = timeRuns(runs * 20, [&] {
        const QPointF at(column, centerCanvas->height() / 2.0);
        column = (column + 37) % centerCanvas->width();
        QMouseEvent move(QEvent::MouseMove, at, centerCanvas->mapToGlobal(at.toPoint()),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(centerCanvas, &move);
        QCoreApplication::processEvents(); // the posted repaints of the strips and the panel
    });
    if (!panel->isReadingShown()) {
        std::fprintf(stderr, "the cursor reading did not show\n");
        return 1;
    }
    std::printf("cursor moved, line and reading painted:     %8.2f ms\n", cursorTime);

    // Statistics of random stretches, from a few samples to the whole ride,
    // as the panel shows them.
    const SessionRecord &record = window.sessionRecord();
    QRandomGenerator random(12);
    const double statsTime = timeRuns(runs * 40, [&] {
        const int first = int(random.bounded(samples));
        const int last = first + int(random.bounded(samples - first));
        const RideStatistics stats = RideStatistics::of(record, record.rideIndex, first, last);
        panel->showStatistics(RideFigures::statistics(
            record, stats, [](double x) { return QString::number(x); }, QStringLiteral("s")));
    });
    std::printf("statistics of a stretch, shown in the panel:%8.2f ms\n", statsTime);

    // The same plots with every sample drawn, as QwtPlotCurve draws them.
    std::array<QImage, 3> reduced, full;
    for (size_t i = 0; i < plots.size(); ++i) {
        plots[i]->replot();
        reduced[i] = plots[i]->grab().toImage();
    }
    for (QwtPlot *plot : plots)
        setColumnReduction(plot, false);
    QElapsedTimer fullClock;
    fullClock.start();
    for (QwtPlot *plot : plots)
        plot->replot();
    paintPlots();
    const double fullTime = milliseconds(fullClock);
    for (size_t i = 0; i < plots.size(); ++i) {
        plots[i]->replot();
        full[i] = plots[i]->grab().toImage();
    }
    for (QwtPlot *plot : plots)
        setColumnReduction(plot, true);
    std::printf("the same replot drawing every sample:       %8.1f ms   (one run)\n", fullTime);

    static const char *const names[] = {"top", "center", "bottom"};
    long long differing = 0, pixels = 0;
    for (size_t i = 0; i < plots.size(); ++i) {
        const int d = differingPixels(reduced[i], full[i]);
        const int n = full[i].width() * full[i].height();
        differing += d;
        pixels += n;
        std::printf("pixels differing from every sample drawn, %-6s plot: %6d of %7d (%.4f%%)\n",
                    names[i], d, n, 100.0 * d / n);
    }
    std::printf("pixels differing from every sample drawn, all three:  %6lld of %7lld (%.4f%%)   "
                "(target < 0.1%%)\n",
                differing, pixels, 100.0 * double(differing) / double(pixels));

    std::vector<double> zoomSteps = zoomIn;
    zoomSteps.insert(zoomSteps.end(), zoomOut.begin(), zoomOut.end());
    std::printf("frame: cursor_ms=%.2f stats_ms=%.3f replot_ms=%.1f zoom_ms=%.1f wheel_ms=%.1f "
                "open_ms=%.0f\n",
                cursorTime, statsTime, replotTime, median(zoomSteps), wheelTime, openTime);
    return 0;
}
