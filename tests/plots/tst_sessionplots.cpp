// The ride on three plots of their own, without a main window: its curves,
// the linked zoom, picking a turn marker and the two x axes.
#include "GuiDriver.h"
#include "MyZoomer.h"
#include "SessionPlots.h"

#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_scale_draw.h>

class tst_SessionPlots : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void curves_data();
    void curves();
    void linkedZoom_data();
    void linkedZoom();
    void pickTurnMarker_data();
    void pickTurnMarker();
    void xAxis_data();
    void xAxis();

private:
    MyZoomer *zoomer(int i) const { return plot[i]->canvas()->findChild<MyZoomer *>(); }
    QwtInterval x(int i) const { return plot[i]->axisScaleDiv(QwtPlot::xBottom).interval(); }
    QwtInterval y(int i) const { return plot[i]->axisScaleDiv(QwtPlot::yLeft).interval(); }
    // What the main window does when its x-axis chooser changes: 0 time, 1 distance.
    void showAxis(int mode)
    {
        session.setXChannel(mode == 0 ? SessionRecord::TimeChannel : SessionRecord::SpaceChannel);
        plots->updateXAxisScaleDraws(mode);
        plots->updateGraphs();
    }

    SessionRecord session;
    Options options;
    std::unique_ptr<QWidget> window;
    std::array<QwtPlot *, 3> plot{};
    std::unique_ptr<SessionPlots> plots;
};

void tst_SessionPlots::init()
{
    plots.reset(); // the last test's, before its plots go
    // 40 s from 10:30:15 over 280 m, turns after 10 s and 30 s. Each channel
    // has values and a colour of its own; the heart rate starts hidden.
    session.startDateTime = QDateTime(QDate(2010, 4, 7), QTime(10, 30, 15));
    session.time = {0, 10, 20, 30, 40};
    session.space = {0, 0.07, 0.14, 0.21, 0.28};
    for (int c = 0; c < Channel::SessionCount; ++c) {
        const double base = 10.0 * (c + 1);
        *session.channel(c) = {base, base + 5, base + 2, base + 7, base + 1};
        options.pen(Channel::Id(c)) = QPen(Qt::GlobalColor(Qt::red + c));
    }
    options.visible(Channel::HeartRate) = false;
    options.time_start_relative = false;
    session.turns = {TurnRecord(), TurnRecord()};
    session.turns[0].timestamp = session.startDateTime.addSecs(10);
    session.turns[1].timestamp = session.startDateTime.addSecs(30);

    window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(window.get());
    for (QwtPlot *&p : plot)
        layout->addWidget(p = new QwtPlot);
    plots = std::make_unique<SessionPlots>(plot, session, options, nullptr);
    showAxis(0);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void tst_SessionPlots::curves_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("plotIndex");
    QTest::addColumn<QString>("title");

    QTest::newRow("left power on top") << 0 << 0 << "Power Left (W)";
    QTest::newRow("right power on top") << 1 << 0 << "Power Right (W)";
    QTest::newRow("total power on top") << 2 << 0 << "Power Tot (W)";
    QTest::newRow("left offset in the centre") << 3 << 1 << "Offset Left (mm)";
    QTest::newRow("right offset in the centre") << 4 << 1 << "Offset Right (mm)";
    QTest::newRow("left up/down in the centre") << 5 << 1 << "Up/Down Left (%)";
    QTest::newRow("right up/down in the centre") << 6 << 1 << "Up/Down Right (%)";
    QTest::newRow("height at the bottom") << 7 << 2 << "Height (x 10m)";
    QTest::newRow("speed at the bottom") << 8 << 2 << "Speed (Km/h)";
    QTest::newRow("heart rate at the bottom, hidden by the options")
        << 9 << 2 << "Heart Rate (PPM)";
    QTest::newRow("cadence at the bottom") << 10 << 2 << "Cadenza (ped/min)";
}

void tst_SessionPlots::curves()
{
    QFETCH(int, channel);
    QFETCH(int, plotIndex);
    QFETCH(QString, title);

    // On its plot, drawing its array with its pen from the options.
    QwtPlotCurve *curve = plots->curve(Channel::Id(channel));
    QVERIFY(curve);
    QCOMPARE(curve->plot(), plot[plotIndex]);
    QCOMPARE(curve->title().text(), title);
    QCOMPARE(curve->sample(1), QPointF(10.0, session.channel(channel)->at(1)));
    QCOMPARE(curve->pen(), options.pen(Channel::Id(channel)));
    const bool shown = options.visible(Channel::Id(channel));
    QCOMPARE(curve->isVisible(), shown);

    // A click on its legend entry shows or hides it.
    auto *legend = qobject_cast<QwtLegend *>(plot[plotIndex]->legend());
    QVERIFY(legend);
    auto *label
        = qobject_cast<QwtLegendLabel *>(legend->legendWidget(plot[plotIndex]->itemToInfo(curve)));
    QVERIFY(label);
    QCOMPARE(label->isChecked(), shown);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(curve->isVisible(), !shown);
    QCOMPARE(label->isChecked(), !shown);
}

void tst_SessionPlots::linkedZoom_data()
{
    QTest::addColumn<int>("zoomed");
    QTest::addColumn<int>("rightClicked");

    QTest::newRow("top plot zoomed, right click on the bottom one") << 0 << 2;
    QTest::newRow("centre plot zoomed, right click on the top one") << 1 << 0;
    QTest::newRow("bottom plot zoomed, right click on the centre one") << 2 << 1;
}

void tst_SessionPlots::linkedZoom()
{
    QFETCH(int, zoomed);
    QFETCH(int, rightClicked);
    const QwtInterval wholeY[3] = {y(0), y(1), y(2)};
    const QRectF rect(10, wholeY[zoomed].minValue(), 20, wholeY[zoomed].width() / 2);
    // Each step announces the new range once, when all three show it.
    QList<QList<QwtInterval>> announced;
    connect(plots.get(), &SessionPlots::shownRangeChanged, this,
            [&] { announced.append({x(0), x(1), x(2)}); });
    zoomer(zoomed)->zoom(rect);
    const QwtInterval zoomedX(10, 30);
    QCOMPARE(announced, QList<QList<QwtInterval>>({{zoomedX, zoomedX, zoomedX}}));

    // The other two follow in x and keep their own y, also after a refresh.
    for (int refreshed = 0; refreshed < 2; ++refreshed) {
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(zoomer(i)->zoomRectIndex(), 1u);
            QCOMPARE(x(i), zoomedX);
            QCOMPARE(y(i), i == zoomed ? QwtInterval(rect.top(), rect.bottom()) : wholeY[i]);
        }
        plots->updateGraphs();
    }

    announced.clear();
    QTest::mouseClick(plot[rightClicked]->canvas(), Qt::RightButton);
    const QwtInterval wholeX(0.0, 40.0);
    QCOMPARE(announced, QList<QList<QwtInterval>>({{wholeX, wholeX, wholeX}}));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(zoomer(i)->zoomRectIndex(), 0u);
        QCOMPARE(x(i), wholeX);
        QCOMPARE(y(i), wholeY[i]);
    }
}

void tst_SessionPlots::pickTurnMarker_data()
{
    QTest::addColumn<int>("marker");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("view"); // 0 time, 1 distance
    QTest::addColumn<int>("picked"); // -1: none
    QTest::addColumn<bool>("zoomed"); // to the lower half of the power range

    QTest::newRow("on the first marker") << 0 << QPoint(0, 0) << 0 << 0 << false;
    QTest::newRow("3 right of and 4 below the second") << 1 << QPoint(3, 4) << 0 << 1 << false;
    QTest::newRow("9 below the first") << 0 << QPoint(0, 9) << 0 << 0 << false;
    QTest::newRow("11 left of the second") << 1 << QPoint(-11, 0) << 0 << -1 << false;
    QTest::newRow("where the first was, in distance mode") << 0 << QPoint(0, 0) << 1 << -1 << false;
    QTest::newRow("on the second, zoomed below the top of the power range")
        << 1 << QPoint(2, 2) << 0 << 1 << true;
}

void tst_SessionPlots::pickTurnMarker()
{
    QFETCH(int, marker);
    QFETCH(QPoint, offset);
    QFETCH(int, view);
    QFETCH(int, picked);
    QFETCH(bool, zoomed);
    if (zoomed)
        zoomer(0)->zoom(QRectF(5, y(0).minValue(), 30, y(0).width() / 2));

    // The markers run along the top edge of the power plot's visible area.
    const QPointF at = plots->turnMarkers()->sample(size_t(marker));
    QCOMPARE(at, QPointF(marker == 0 ? 10.0 : 30.0, y(0).maxValue()));
    const QPoint pos = offset
        + QPoint(qRound(plot[0]->canvasMap(QwtPlot::xBottom).transform(at.x())),
                 qRound(plot[0]->canvasMap(QwtPlot::yLeft).transform(at.y())));
    showAxis(view == 1);

    QSignalSpy clicked(plots.get(), &SessionPlots::turnClicked);
    QTest::mouseDClick(plot[0]->canvas(), Qt::LeftButton, Qt::NoModifier, pos);
    QCOMPARE(clicked.count(), picked < 0 ? 0 : 1);
    if (picked >= 0)
        QCOMPARE(clicked.at(0).at(0).toInt(), picked);
}

void tst_SessionPlots::xAxis_data()
{
    using Values = QVector<double>;
    QTest::addColumn<int>("mode");
    QTest::addColumn<Values>("xs");
    QTest::addColumn<Values>("power");
    QTest::addColumn<QwtInterval>("range");

    const Values seconds = {0, 10, 20, 30, 40};
    const Values power = {200, 260, 310, 240, 220};
    QTest::newRow("time") << 0 << seconds << power << QwtInterval(0, 40);
    QTest::newRow("distance") << 1 << Values{0, 0.07, 0.14, 0.21, 0.28} << power
                              << QwtInterval(0, 0.28);
    QTest::newRow("distance reading nan at the start and inf at the end")
        << 1 << Values{qQNaN(), 0.07, 0.14, 0.21, qInf()} << power << QwtInterval(0.07, 0.21);
    QTest::newRow("power reading nan and -inf")
        << 0 << seconds << Values{200, qQNaN(), -qInf(), 240, 220} << QwtInterval(0, 40);
    QTest::newRow("one sample") << 0 << Values{0} << Values{250} << QwtInterval(0, 0);
    QTest::newRow("no samples") << 0 << Values() << Values() << QwtInterval(0, 30);
}

void tst_SessionPlots::xAxis()
{
    QFETCH(int, mode);
    QFETCH(QVector<double>, xs);
    QFETCH(QVector<double>, power);
    QFETCH(QwtInterval, range);

    (mode == 0 ? session.time : session.space) = xs;
    for (int c = 0; c < Channel::SessionCount; ++c)
        session.channel(c)->fill(1.0, xs.size());
    session.powerTot = power;
    showAxis(mode);
    QVERIFY(!window->grab().isNull()); // draws whatever the values

    // Clock time from the start with the turn markers, or kilometres from 0 without.
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(x(i), range);
        QVERIFY(qIsFinite(y(i).minValue()) && qIsFinite(y(i).maxValue()));
        QVERIFY(y(i).contains(0.0));
        const QwtScaleDraw *labels = plot[i]->axisScaleDraw(QwtPlot::xBottom);
        QCOMPARE(labels->label(mode == 0 ? 60 : 0.14).text(), mode == 0 ? "10:31:15" : "0.140");
    }
    // Counted from the start, hours go on past a day.
    options.time_start_relative = true;
    plots->updateXAxisScaleDraws(0);
    QCOMPARE(plot[2]->axisScaleDraw(QwtPlot::xBottom)->label(95400).text(), "26:30:00");
    QCOMPARE(plots->turnMarkers()->plot(), mode == 0 ? plot[0] : nullptr);
}

QTEST_MAIN(tst_SessionPlots)
#include "tst_sessionplots.moc"
