// How a desktop user gets rides in and out beside File > "Open...": a file
// dropped on the window, the recent rides, the export for other programs.
#include "GuiDriver.h"

class tst_Desktop : public QObject
{
    Q_OBJECT

private slots:
    void drop_data();
    void drop();
    void recentRidesAcrossARestart();
    void exportForOtherPrograms_data();
    void exportForOtherPrograms();

private:
    TemporarySettings settings;
    QTemporaryDir dir;
};

void tst_Desktop::drop_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message"); // the box shown, if any

    QTest::newRow("one session file") << QStringList{"S_100407_10-30.csv"} << true << "";
    QTest::newRow("a file that is no session") << QStringList{"notes.txt"} << true << "Read error";
    QTest::newRow("several files") << QStringList{"S_100407_10-30.csv", "notes.txt"} << false
                                   << "";
}

void tst_Desktop::drop()
{
    QFETCH(QStringList, files);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    QVERIFY(writeRide(dir.filePath("S_100407_10-30.csv"), 5));
    QVERIFY(writeFile(dir.filePath("notes.txt"), "no ride\n"));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QMimeData data;
    QList<QUrl> urls;
    for (const QString &file : files)
        urls << QUrl::fromLocalFile(dir.filePath(file));
    data.setUrls(urls);
    const QPoint centre = window.rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    if (!accepted)
        return;
    QString shown;
    QPointer<QTimer> box = answerModal<QMessageBox>(
        [&shown](QMessageBox *box) {
            shown = box->windowTitle();
            box->accept();
        },
        [] {});
    QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
    QTRY_COMPARE(window.windowTitle(), "VOK - " + dir.filePath(files.first()));
    QTRY_COMPARE(shown, message);
    delete box;
    QCOMPARE(window.recentRides().paths(),
             message.isEmpty() ? QStringList(dir.filePath(files.first())) : QStringList());
}

// Ten rides opened in turn, the fourth again, and a file that is no ride:
// the eight newest rides, newest first, each once. After a restart a ride
// that has gone away is taken off the list when it is chosen.
void tst_Desktop::recentRidesAcrossARestart()
{
    settings.clear();
    store("mainwindow/recent_rides", 42); // of the wrong type: no rides
    QStringList rides;
    for (int i = 0; i < 10; ++i) {
        rides << dir.filePath(QStringLiteral("ride%1/S_100407_10-30.csv").arg(i));
        QVERIFY(QDir().mkpath(QFileInfo(rides.last()).path()) && writeRide(rides.last(), 3 + i));
    }
    {
        MainWindow window;
        QVERIFY(window.recentRides().paths().isEmpty());
        for (const QString &ride : rides + QStringList{rides[3]})
            QVERIFY(openRide(window, ride));
        whenModal<QMessageBox>([](QMessageBox *box) { box->accept(); });
        QVERIFY(!openRide(window, dir.filePath("missing.csv")));
        QVERIFY(confirmQuit(window));
    }
    QVERIFY(QFile::remove(rides[9]));

    MainWindow window;
    auto *menu = window.findChild<QMenu *>("menuOpen_Recent");
    auto entries = [menu] {
        QMetaObject::invokeMethod(menu, "aboutToShow");
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << (action->isSeparator() ? "-" : action->text());
        return texts;
    };
    const QStringList newest{rides[3], rides[9], rides[8], rides[7], rides[6], rides[5], rides[4],
                             rides[2]};
    QCOMPARE(entries(), newest + QStringList({"-", "Clear"}));
    QString shown;
    whenModal<QMessageBox>([&shown](QMessageBox *box) {
        shown = box->text();
        box->accept();
    });
    menu->actions().at(1)->trigger();
    QVERIFY2(shown.contains(rides[9]), qPrintable(shown));
    QCOMPARE(entries().mid(0, 2), QStringList({rides[3], rides[9 - 1]}));
    menu->actions().at(1)->trigger(); // a ride still there opens
    QCOMPARE(window.windowTitle(), "VOK - " + rides[8]);
    QCOMPARE(window.recentRides().paths().first(), rides[8]);
    window.findChild<QAction *>("actionClear")->trigger();
    QCOMPARE(entries(), QStringList("Clear"));
    QVERIFY(!menu->actions().first()->isEnabled());
}

void tst_Desktop::exportForOtherPrograms_data()
{
    QTest::addColumn<int>("type"); // of the save dialog: 0 TCX, 1 GPX
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("root"); // the document's root element

    QTest::newRow("TCX, its suffix added")
        << 0 << "ride" << "ride.tcx" << QByteArray("<TrainingCenterDatabase");
    QTest::newRow("GPX under a suffix of the user's") << 1 << "ride.xml" << "ride.xml"
                                                      << QByteArray("<gpx ");
}

void tst_Desktop::exportForOtherPrograms()
{
    QFETCH(int, type);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, root);
    QVERIFY(writeRide(dir.filePath("S_100407_10-30.csv"), 5));
    QTemporaryDir target;
    MainWindow window;
    QAction *action = window.findChild<QAction *>("actionExport_for_other_programs");
    QVERIFY(!action->isEnabled());
    QVERIFY(openRide(window, dir.filePath("S_100407_10-30.csv")));
    whenModal<QFileDialog>([&](QFileDialog *files) {
        files->selectNameFilter(files->nameFilters().value(type));
        choose(files, target.filePath(typed));
    });
    QString shown;
    whenModal<QMessageBox>([&shown](QMessageBox *box) {
        shown = box->text();
        box->accept();
    });
    action->trigger();
    QCOMPARE(shown, "Ride exported to: " + target.filePath(written));
    QVERIFY(readAll(target.filePath(written)).contains(root));
}

QTEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
