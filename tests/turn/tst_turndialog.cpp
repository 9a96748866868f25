// The dialog that plots one pedal revolution against the crank angle.
#include "GuiDriver.h"
#include "TurnDialog.h"

#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot_zoomer.h>
#include <qwt_point_data.h>

namespace {

QwtLegendLabel *legendLabel(TurnDialog *dialog, const QString &title)
{
    auto *plot = dialog->findChild<QwtPlot *>();
    auto *legend = qobject_cast<QwtLegend *>(plot->legend());
    return qobject_cast<QwtLegendLabel *>(
        legend->legendWidget(plot->itemToInfo(findCurve(*dialog, title))));
}

} // namespace

class TestTurnDialog : public QObject
{
    Q_OBJECT

private slots:
    void curvesDrawTheRecordOverOneRevolution_data();
    void curvesDrawTheRecordOverOneRevolution();
    void legendAndGeometryCarryToTheNextDialog();

private:
    TemporarySettings settings;
};

void TestTurnDialog::curvesDrawTheRecordOverOneRevolution_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("curve"); // Channel::Id of its pen
    QTest::addColumn<int>("array"); // power, left force, right force

    QTest::newRow("total power") << "Power Tot" << int(Channel::TurnPowerTot) << 0;
    QTest::newRow("left pedal force") << "Force Left" << int(Channel::TurnForceLeft) << 1;
    QTest::newRow("right pedal force") << "Force Right" << int(Channel::TurnForceRight) << 2;
}

void TestTurnDialog::curvesDrawTheRecordOverOneRevolution()
{
    QFETCH(QString, title);
    QFETCH(int, curve);
    QFETCH(int, array);
    TurnRecord turn;
    turn.angle = {0, 60, 120, 180, 240, 300};
    turn.power = {120, 380, 310, 110, 370, 300};
    turn.forceLeft = {-20, 120, 150, 0, -15, -20};
    turn.forceRight = {0, -15, -20, -20, 120, 150};
    Options options;
    const QPen pen(QBrush(Qt::darkCyan), 3.0, Qt::DashDotLine, Qt::FlatCap, Qt::BevelJoin);
    options.pen(Channel::Id(curve)) = pen;
    TurnDialog dialog(&turn, &options, nullptr);

    QwtPlotCurve *shown = findCurve(dialog, title);
    QVERIFY(shown);
    QCOMPARE(shown->pen(), pen);
    auto *data = dynamic_cast<QwtCPointerData *>(shown->data());
    QVERIFY2(data, "the samples are copied instead of drawn from the record");
    QCOMPARE(data->size(), size_t(6));
    QCOMPARE(data->xData(), turn.angle.constData());
    const QVector<double> *arrays[] = {&turn.power, &turn.forceLeft, &turn.forceRight};
    QCOMPARE(data->yData(), arrays[array]->constData());

    // Zoomed in and back out with a right click: one revolution, every 45 degrees.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget *canvas = dialog.findChild<QwtPlot *>()->canvas();
    canvas->findChild<QwtPlotZoomer *>()->zoom(QRectF(100, 0, 50, 100));
    QTest::mouseClick(canvas, Qt::RightButton, Qt::NoModifier, canvas->rect().center());
    const QwtScaleDiv axis = dialog.findChild<QwtPlot *>()->axisScaleDiv(QwtPlot::xBottom);
    QCOMPARE(axis.interval(), QwtInterval(0, 360));
    const QList<double> everyFortyFive = {0, 45, 90, 135, 180, 225, 270, 315, 360};
    QCOMPARE(axis.ticks(QwtScaleDiv::MajorTick), everyFortyFive);
}

// Through the main window, which keeps the options and deletes each dialog.
void TestTurnDialog::legendAndGeometryCarryToTheNextDialog()
{
    MainWindow window;
    QVERIFY(openRide(window, QStringLiteral(VOK_SOURCE_DIR "/examples/S_100407_10-30.csv")));
    QStringList seen; // Force Left as each dialog opens
    QRect geometry;
    const auto answer = [&](TurnDialog *dialog) {
        QwtLegendLabel *label = legendLabel(dialog, "Force Left");
        seen << QString(label->isChecked() ? "checked " : "unchecked ")
                + (findCurve(*dialog, "Force Left")->isVisible() ? "shown" : "hidden");
        geometry = QRect(dialog->pos(), dialog->size());
        QTest::mouseClick(label, Qt::LeftButton);
        dialog->move(37, 52);
        dialog->resize(700, 430);
        QTRY_COMPARE(dialog->pos(), QPoint(37, 52));
        dialog->reject();
    };
    whenModal<TurnDialog>(answer);
    window.showTurn(0);
    QVERIFY(!window.optionsRecord().visible(Channel::TurnForceLeft));
    QVERIFY(window.optionsRecord().visible(Channel::TurnForceRight));
    whenModal<TurnDialog>(answer);
    window.showTurn(1);
    QCOMPARE(seen, (QStringList{"checked shown", "unchecked hidden"}));
    QCOMPARE(geometry, QRect(37, 52, 700, 430));
    QVERIFY(window.optionsRecord().visible(Channel::TurnForceLeft));
}

QTEST_MAIN(TestTurnDialog)
#include "tst_turndialog.moc"
