// Tools > "Pedal strokes...": the turns of a ride in a table that follows the
// session plots, copied as text, drawn straight or round the crank circle.
#include "DenseCurve.h"
#include "GuiDriver.h"
#include "MyZoomer.h"
#include "PedalStrokesModel.h"
#include "PedalStrokesWindow.h"
#include "TurnDialog.h"

class tst_PedalStrokes : public QObject
{
    Q_OBJECT

private slots:
    void polarPoint_data();
    void polarPoint();
    void windowFollowsThePlots();

private:
    TemporarySettings settings;
    QTemporaryDir dir;
};

void tst_PedalStrokes::polarPoint_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("force"); // round a zero circle of radius 50
    QTest::addColumn<QPointF>("point");
    QTest::newRow("0 degrees at the top") << 0.0 << 10.0 << QPointF(0, 60);
    QTest::newRow("90 degrees to the right: clockwise") << 90.0 << 10.0 << QPointF(60, 0);
    QTest::newRow("180 degrees at the bottom") << 180.0 << 10.0 << QPointF(0, -60);
    QTest::newRow("a negative force inside the zero circle") << 90.0 << -20.0 << QPointF(30, 0);
}

void tst_PedalStrokes::polarPoint()
{
    QFETCH(double, degrees);
    QFETCH(double, force);
    QFETCH(QPointF, point);
    const QPointF actual = PedalStrokesWindow::polarPoint(degrees, force, 50.0);
    QVERIFY2(QLineF(actual, point).length() < 1e-9, qPrintable(QString("%1 %2").arg(actual.x()).arg(actual.y())));
}

// Turns after 10, 20 and 30 s, the last one cut short.
void tst_PedalStrokes::windowFollowsThePlots()
{
    QVERIFY(writeRide(dir.filePath("S_100407_10-30.csv"), 41));
    const char *const turns[] = {"T_100407.10-30-25.csv", "T_100407.10-30-35.csv", "T_100407.10-30-45.csv"};
    for (const char *turn : turns) {
        const QByteArray end = turn == turns[2] ? "" : "#####\n";
        QVERIFY(writeFile(dir.filePath(turn), QByteArray("VOK_Single_Turn_file ,") + turn
                                                  + "\n0,0,100,80,20\n1,180,100,20,60\n" + end));
    }
    MainWindow window;
    window.show();
    whenModal<QMessageBox>([](QMessageBox *box) { box->accept(); }); // the incomplete turn
    QVERIFY(openRide(window, dir.filePath("S_100407_10-30.csv")));
    window.findChild<QAction *>("actionPedal_strokes")->trigger();
    auto *strokes = window.findChild<PedalStrokesWindow *>();
    QVERIFY(strokes && strokes->isVisible());
    const PedalStrokesModel *model = strokes->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(2, PedalStrokesModel::File).data().toString(), "incomplete");
    QCOMPARE(model->index(0, PedalStrokesModel::LeftShare).data().toString(), "55.6");

    auto *top = window.findChild<QwtPlot *>("qwtPlotTop");
    top->canvas()->findChild<MyZoomer *>()->zoom(QRectF(15, 0, 20, 100));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, PedalStrokesModel::Time).data().toString(), "10:30:35");
    strokes->findChild<QCheckBox *>("followCheckBox")->setChecked(false);
    QCOMPARE(model->rowCount(), 3);

    // The average of the first two turns, both at 0 and 180 degrees; the
    // second runs from 80 down to 20 and back up on the left.
    QCOMPARE(model->average({0, 1}, 0).value(90), 50.0);
    QCOMPARE(model->average({0, 1}, 1).value(0), 20.0);
    QVERIFY(std::isnan(model->average({}, 0).value(0)));

    auto *table = strokes->findChild<QTableView *>();
    table->selectRow(1);
    QCOMPARE(strokes->turnCurve(0)->dataSize(), size_t(2));
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].startsWith("Time\tLeft peak\tLeft peak at (°)\t"));
    QVERIFY2(lines[1].startsWith("10:30:35\t80.0\t0\t50.0\t20.0\t0.63\t60.0\t180\t40.0\t"),
             qPrintable(lines[1]));

    QString opened;
    whenModal<TurnDialog>([&opened](TurnDialog *dialog) {
        opened = dialog->windowTitle();
        dialog->reject();
    });
    const QPoint second = table->visualRect(model->index(1, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, second);
    QVERIFY2(opened.endsWith("T_100407.10-30-35.csv"), qPrintable(opened));
}

QTEST_MAIN(tst_PedalStrokes)
#include "tst_pedalstrokes.moc"
