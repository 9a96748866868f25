// How fast the pedal strokes window handles a ride with 10,000 single-turn
// files: opening it (metrics of every turn, the table, the average plot
// painted), then selecting all rows (every turn drawn, the averages worked
// out again).
//
//   bench_pedalstrokes [runs]
#include "BenchSupport.h"
#include "ScratchRide.h"
#include "MainWindow.h"
#include "PedalStrokesWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    useOffscreenPlatform();
    QApplication app(argc, argv);
    const int runs = runsArgument(argc, argv);
    const ScratchSettings settings("bench_pedalstrokes"); // never the user's own

    RidePlan plan;
    plan.durationSeconds = 3 * 3600.0;
    plan.turnFiles = 10000;
    const ScratchRide scratch(plan);
    const QString &ride = scratch.path;

    std::vector<double> opening, selecting;
    for (int run = 0; run < runs; ++run) {
        MainWindow window;
        window.show();
        window.openRide(ride);
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        window.findChild<QAction *>(QStringLiteral("actionPedal_strokes"))->trigger();
        auto *strokes = window.findChild<PedalStrokesWindow *>();
        strokes->repaint();
        opening.push_back(milliseconds(clock));
        auto *table = strokes->findChild<QTableView *>();
        clock.restart();
        table->selectAll();
        strokes->repaint();
        selecting.push_back(milliseconds(clock));
        if (run == 0)
            std::printf("%d turns listed\n", table->model()->rowCount());
    }
    std::printf("opening the window:        %8.1f ms   (target < 200)\n", median(opening));
    std::printf("selecting all, redrawn:    %8.1f ms   (target < 100)\n", median(selecting));
    return 0;
}
