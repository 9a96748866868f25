#include "GuiDriver.h"
#include "MainWindow.h"
#include "Options.h"
#include "TemporarySettings.h"
#include "TurnDialog.h"
#include "TurnRecord.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_zoomer.h>
#include <qwt_point_data.h>
#include <qwt_scale_div.h>

namespace {

QPen pen(const QColor &color, qreal width, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(QBrush(color, Qt::SolidPattern), width, style, Qt::SquareCap, Qt::RoundJoin);
}

// Turn pens and flags as loaded from an empty store, written out here.
Options turnOptions()
{
    Options options;
    options.t_ptot = pen(Qt::black, 2.0);
    options.t_fl = pen(Qt::red, 2.0);
    options.t_fr = pen(Qt::blue, 2.0);
    return options;
}

// One revolution sampled every 30 degrees. Power peaks at 400 W, the forces
// stay between -20 and 180 N.
TurnRecord sampleTurn()
{
    TurnRecord turn;
    turn.path = QStringLiteral("/rides/2010-04-07/T_20100407_103112.csv");
    turn.angle = {0, 30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330};
    turn.power = {120, 250, 380, 400, 310, 180, 110, 240, 370, 395, 300, 170};
    turn.forceLeft = {-20, 40, 120, 180, 150, 60, 0, -10, -15, -20, -20, -20};
    turn.forceRight = {0, -10, -15, -20, -20, -20, -20, 40, 120, 180, 150, 60};
    return turn;
}

QwtPlot *plotOf(TurnDialog &dialog)
{
    return dialog.findChild<QwtPlot *>(QStringLiteral("qwtPlot"));
}

QwtPlotCurve *curve(TurnDialog &dialog, const QString &title)
{
    for (QwtPlotItem *item : plotOf(dialog)->itemList(QwtPlotItem::Rtti_PlotCurve)) {
        if (item->title().text() == title)
            return static_cast<QwtPlotCurve *>(item);
    }
    return nullptr;
}

QwtLegendLabel *legendLabel(TurnDialog &dialog, const QString &title)
{
    QwtPlot *plot = plotOf(dialog);
    auto *legend = qobject_cast<QwtLegend *>(plot->legend());
    if (!legend)
        return nullptr;
    return qobject_cast<QwtLegendLabel *>(
        legend->legendWidget(plot->itemToInfo(curve(dialog, title))));
}

QwtPlotZoomer *zoomerOf(TurnDialog &dialog)
{
    return plotOf(dialog)->canvas()->findChild<QwtPlotZoomer *>();
}

QwtInterval xInterval(TurnDialog &dialog)
{
    return plotOf(dialog)->axisInterval(QwtPlot::xBottom);
}

QwtInterval yInterval(TurnDialog &dialog)
{
    return plotOf(dialog)->axisInterval(QwtPlot::yLeft);
}

QList<double> majorTicks(TurnDialog &dialog)
{
    return plotOf(dialog)->axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick);
}

const QList<double> everyFortyFiveDegrees = {0, 45, 90, 135, 180, 225, 270, 315, 360};

// Drags a zoom rectangle over the middle of the canvas, as a user would.
// QTest's own mouse move only moves the cursor, which the headless platform
// does not turn into events, so the moves are sent as the window system would.
void dragZoom(TurnDialog &dialog)
{
    QWidget *canvas = plotOf(dialog)->canvas();
    const QPoint from(canvas->width() / 4, canvas->height() / 4);
    const QPoint to(canvas->width() * 3 / 4, canvas->height() * 3 / 4);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
    for (const QPoint &pos : {(from + to) / 2, to}) {
        QMouseEvent move(QEvent::MouseMove, pos, canvas->mapToGlobal(pos), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &move);
    }
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
}

// Centred on the primary screen's available area: equal margins on either
// side, give or take the odd pixel.
bool isCentred(const QPoint &pos, const QSize &size)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint centred(available.x() + (available.width() - size.width()) / 2,
                         available.y() + (available.height() - size.height()) / 2);
    return (pos - centred).manhattanLength() <= 2;
}

const char *const sampleRide = VOK_SOURCE_DIR "/examples/S_100407_10-30.csv";



} // namespace

class TestTurnDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void title_data();
    void title();
    void formFacts();
    void curvesPointIntoTheRecord();
    void pensComeFromTheOptions();
    void visibilityComesFromTheOptions_data();
    void visibilityComesFromTheOptions();
    void uncheckedLegendCarriesToTheNextDialog();
    void fullViewIsOneRevolution_data();
    void fullViewIsOneRevolution();
    void zoomDoesNotCarryToTheNextDialog();
    void rightClickReturnsToTheFullView();
    void firstDialogIsCentredWithAnEmptyStore();
    void movedAndResizedDialogOpensTheNextOneThere();
    void opensFromTheMainWindowAndGoesAway();
    void indexWithoutATurnOpensNothing_data();
    void indexWithoutATurnOpensNothing();
    void geometryAndLegendSurviveAConfirmedQuit();

private:
    TemporarySettings settings;
};

void TestTurnDialog::init()
{
    settings.clear();
    TurnDialog::readSettings();
}

void TestTurnDialog::title_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("absolute path") << "/rides/2010-04-07/T_20100407_103112.csv"
                                   << "VOK - /rides/2010-04-07/T_20100407_103112.csv";
    QTest::newRow("path with spaces") << "/home/anna/My Rides/T_20100407_103112.csv"
                                      << "VOK - /home/anna/My Rides/T_20100407_103112.csv";
    QTest::newRow("relative path") << "rides/T_20100407_103112.csv"
                                   << "VOK - " + QDir::currentPath()
            + "/rides/T_20100407_103112.csv";
}

void TestTurnDialog::title()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);

    TurnRecord turn = sampleTurn();
    turn.path = path;
    Options options = turnOptions();
    TurnDialog dialog(&turn, &options, nullptr);
    QCOMPARE(dialog.windowTitle(), expected);
}

void TestTurnDialog::formFacts()
{
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    TurnDialog dialog(&turn, &options, nullptr);

    auto *unit = dialog.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(unit);
    QCOMPARE(unit->text(), QStringLiteral("X asis unit: degrees"));
    auto *buttons = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QVERIFY(buttons);
    QCOMPARE(buttons->standardButtons(), QDialogButtonBox::Close);
    QVERIFY(plotOf(dialog));

    const QwtPlotItemList grids = plotOf(dialog)->itemList(QwtPlotItem::Rtti_PlotGrid);
    QCOMPARE(grids.size(), 1);
    auto *grid = static_cast<QwtPlotGrid *>(grids.first());
    QVERIFY(grid->xMinEnabled());
    QVERIFY(grid->yMinEnabled());
    QCOMPARE(grid->majorPen(), pen(Qt::gray, 1.3));
    QCOMPARE(grid->minorPen(), pen(Qt::lightGray, 1.3));
    QCOMPARE(plotOf(dialog)->axisMaxMajor(QwtPlot::xBottom), 10);
    QCOMPARE(plotOf(dialog)->axisMaxMinor(QwtPlot::xBottom), 5);

    // The Close button, like Escape, rejects the dialog.
    dialog.show();
    buttons->button(QDialogButtonBox::Close)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
}

void TestTurnDialog::curvesPointIntoTheRecord()
{
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    TurnDialog dialog(&turn, &options, nullptr);

    const struct {
        const char *title;
        const QVector<double> &y;
    } expected[] = {{"Power Tot", turn.power},
                    {"Force Left", turn.forceLeft},
                    {"Force Right", turn.forceRight}};
    for (const auto &e : expected) {
        QwtPlotCurve *c = curve(dialog, QLatin1String(e.title));
        QVERIFY2(c, e.title);
        QCOMPARE(c->dataSize(), size_t(12));
        auto *data = dynamic_cast<QwtCPointerData *>(c->data());
        QVERIFY2(data, "the samples are copied instead of pointing into the record");
        QCOMPARE(data->xData(), turn.angle.constData());
        QCOMPARE(data->yData(), e.y.constData());
    }
    QCOMPARE(curve(dialog, "Power Tot")->sample(3), QPointF(90, 400));
}

void TestTurnDialog::pensComeFromTheOptions()
{
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    options.t_ptot = pen(Qt::darkMagenta, 3.0, Qt::DashLine);
    options.t_fl = pen(QColor(12, 34, 56), 1.0, Qt::DotLine);
    options.t_fr = pen(Qt::darkCyan, 5.0, Qt::DashDotLine);
    // Session pens must not leak into the turn plot.
    options.ptot = pen(Qt::yellow, 4.0);
    options.pl = pen(Qt::green, 4.0);
    options.pr = pen(Qt::green, 4.0);
    TurnDialog dialog(&turn, &options, nullptr);

    QCOMPARE(curve(dialog, "Power Tot")->pen(), pen(Qt::darkMagenta, 3.0, Qt::DashLine));
    QCOMPARE(curve(dialog, "Force Left")->pen(), pen(QColor(12, 34, 56), 1.0, Qt::DotLine));
    QCOMPARE(curve(dialog, "Force Right")->pen(), pen(Qt::darkCyan, 5.0, Qt::DashDotLine));
}

void TestTurnDialog::visibilityComesFromTheOptions_data()
{
    QTest::addColumn<bool>("power");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("right");

    QTest::newRow("all three shown") << true << true << true;
    QTest::newRow("left force hidden") << true << false << true;
    QTest::newRow("only the power shown") << true << false << false;
    QTest::newRow("all three hidden") << false << false << false;
}

void TestTurnDialog::visibilityComesFromTheOptions()
{
    QFETCH(bool, power);
    QFETCH(bool, left);
    QFETCH(bool, right);

    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    options.t_ptot_visible = power;
    options.t_fl_visible = left;
    options.t_fr_visible = right;
    // The session flags say the opposite and must not matter.
    options.ptot_visible = !power;
    options.pl_visible = !left;
    options.pr_visible = !right;
    {
        TurnDialog dialog(&turn, &options, nullptr);
        QCOMPARE(curve(dialog, "Power Tot")->isVisible(), power);
        QCOMPARE(curve(dialog, "Force Left")->isVisible(), left);
        QCOMPARE(curve(dialog, "Force Right")->isVisible(), right);
        QVERIFY(legendLabel(dialog, "Power Tot"));
        QCOMPARE(legendLabel(dialog, "Power Tot")->isChecked(), power);
        QCOMPARE(legendLabel(dialog, "Force Left")->isChecked(), left);
        QCOMPARE(legendLabel(dialog, "Force Right")->isChecked(), right);
        QCOMPARE(legendLabel(dialog, "Force Right")->itemMode(),
                 QwtLegendData::Checkable);
    }
    // Closing an untouched dialog writes the same flags back.
    QCOMPARE(options.t_ptot_visible, power);
    QCOMPARE(options.t_fl_visible, left);
    QCOMPARE(options.t_fr_visible, right);
    QCOMPARE(options.ptot_visible, !power);
}

void TestTurnDialog::uncheckedLegendCarriesToTheNextDialog()
{
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    {
        TurnDialog dialog(&turn, &options, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QwtLegendLabel *label = legendLabel(dialog, "Force Left");
        QVERIFY(label);
        QTest::mouseClick(label, Qt::LeftButton);
        QVERIFY(!label->isChecked());
        QVERIFY(!curve(dialog, "Force Left")->isVisible());
        QVERIFY(curve(dialog, "Force Right")->isVisible());
        // Still in the record until the dialog goes.
        QVERIFY(options.t_fl_visible);
        dialog.reject();
    }
    QVERIFY(options.t_ptot_visible);
    QVERIFY(!options.t_fl_visible);
    QVERIFY(options.t_fr_visible);

    TurnRecord other = sampleTurn();
    other.path = QStringLiteral("/rides/2010-04-07/T_20100407_104501.csv");
    TurnDialog next(&other, &options, nullptr);
    QVERIFY(!curve(next, "Force Left")->isVisible());
    QVERIFY(!legendLabel(next, "Force Left")->isChecked());
    QVERIFY(legendLabel(next, "Power Tot")->isChecked());

    // Checking it again shows it again.
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QTest::mouseClick(legendLabel(next, "Force Left"), Qt::LeftButton);
    QVERIFY(curve(next, "Force Left")->isVisible());
}

void TestTurnDialog::fullViewIsOneRevolution_data()
{
    QTest::addColumn<QVector<double>>("angle");
    QTest::addColumn<QVector<double>>("power");

    QTest::newRow("a whole revolution") << QVector<double>{0, 90, 180, 270, 355}
                                        << QVector<double>{100, 400, 120, 380, 110};
    QTest::newRow("half a revolution") << QVector<double>{10, 60, 120, 170}
                                       << QVector<double>{100, 400, 120, 380};
    QTest::newRow("angles beyond one revolution") << QVector<double>{-30, 100, 400}
                                                  << QVector<double>{1, 2, 3};
    QTest::newRow("no samples") << QVector<double>{} << QVector<double>{};
    QTest::newRow("fewer power values than angles") << QVector<double>{0, 120, 240}
                                                    << QVector<double>{100};
}

void TestTurnDialog::fullViewIsOneRevolution()
{
    QFETCH(QVector<double>, angle);
    QFETCH(QVector<double>, power);

    TurnRecord turn;
    turn.path = QStringLiteral("/rides/T_20100407_103112.csv");
    turn.angle = angle;
    turn.power = power;
    turn.forceLeft = power;
    turn.forceRight = power;
    Options options = turnOptions();
    TurnDialog dialog(&turn, &options, nullptr);

    QCOMPARE(xInterval(dialog).minValue(), 0.0);
    QCOMPARE(xInterval(dialog).maxValue(), 360.0);
    QCOMPARE(majorTicks(dialog), everyFortyFiveDegrees);
    QwtPlotZoomer *zoomer = zoomerOf(dialog);
    QVERIFY(zoomer);
    QCOMPARE(zoomer->zoomRectIndex(), 0u);
    QCOMPARE(zoomer->zoomBase().left(), 0.0);
    QCOMPARE(zoomer->zoomBase().right(), 360.0);
    QVERIFY(curve(dialog, "Power Tot")->dataSize()
            <= size_t(qMin(angle.size(), power.size())));
}

void TestTurnDialog::zoomDoesNotCarryToTheNextDialog()
{
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    {
        TurnDialog dialog(&turn, &options, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dragZoom(dialog);
        QCOMPARE(zoomerOf(dialog)->zoomRectIndex(), 1u);
        QVERIFY(xInterval(dialog).minValue() > 0.0);
        QVERIFY(xInterval(dialog).maxValue() < 360.0);

        // A zoomed view is kept when the graph is refreshed.
        const QwtInterval zoomed = xInterval(dialog);
        dialog.updateGraph();
        QCOMPARE(xInterval(dialog), zoomed);
        QCOMPARE(zoomerOf(dialog)->zoomRectIndex(), 1u);
        dialog.reject();
    }
    TurnDialog next(&turn, &options, nullptr);
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QCOMPARE(zoomerOf(next)->zoomRectIndex(), 0u);
    QCOMPARE(xInterval(next).minValue(), 0.0);
    QCOMPARE(xInterval(next).maxValue(), 360.0);
    QCOMPARE(majorTicks(next), everyFortyFiveDegrees);
}

void TestTurnDialog::rightClickReturnsToTheFullView()
{
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    TurnDialog dialog(&turn, &options, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QwtInterval yAtOpening = yInterval(dialog);
    // The y axis holds every sample: -20 N up to 400 W.
    QVERIFY(yAtOpening.minValue() <= -20.0);
    QVERIFY(yAtOpening.maxValue() >= 400.0);

    dragZoom(dialog);
    dragZoom(dialog);
    QCOMPARE(zoomerOf(dialog)->zoomRectIndex(), 2u);
    QVERIFY(yInterval(dialog).width() < yAtOpening.width());

    QWidget *canvas = plotOf(dialog)->canvas();
    QTest::mouseClick(canvas, Qt::RightButton, Qt::NoModifier, canvas->rect().center());
    QCOMPARE(zoomerOf(dialog)->zoomRectIndex(), 0u);
    QCOMPARE(xInterval(dialog).minValue(), 0.0);
    QCOMPARE(xInterval(dialog).maxValue(), 360.0);
    QCOMPARE(majorTicks(dialog), everyFortyFiveDegrees);
    QCOMPARE(yInterval(dialog), yAtOpening);
}

void TestTurnDialog::firstDialogIsCentredWithAnEmptyStore()
{
    // init() emptied the store and read it, as a first start does.
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    TurnDialog dialog(&turn, &options, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.size(), QSize(640, 360));
    QVERIFY(isCentred(dialog.pos(), dialog.size()));
}

void TestTurnDialog::movedAndResizedDialogOpensTheNextOneThere()
{
    TurnRecord turn = sampleTurn();
    Options options = turnOptions();
    {
        TurnDialog dialog(&turn, &options, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.move(37, 52);
        dialog.resize(700, 430);
        QTRY_COMPARE(dialog.pos(), QPoint(37, 52));
        QTRY_COMPARE(dialog.size(), QSize(700, 430));
        dialog.reject();
    }
    for (int i = 0; i < 2; ++i) {
        TurnDialog next(&turn, &options, nullptr);
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        QCOMPARE(next.pos(), QPoint(37, 52));
        QCOMPARE(next.size(), QSize(700, 430));
    }
}

void TestTurnDialog::opensFromTheMainWindowAndGoesAway()
{
    MainWindow window;
    QVERIFY(openRide(window, QString::fromUtf8(sampleRide)));
    QCOMPARE(window.sessionRecord().turns.size(), 10);

    QString title;
    QObject *parent = nullptr;
    int samples = -1;
    QRect geometry;
    whenModal<TurnDialog>([&](TurnDialog *d) {
        geometry = QRect(d->pos(), d->size());
        title = d->windowTitle();
        parent = d->parent();
        samples = int(curve(*d, "Power Tot")->dataSize());
        d->reject();
    });
    window.showTurn(2);
    QCOMPARE(title, QStringLiteral("VOK - " VOK_SOURCE_DIR "/examples/T_100407.10-45-15.csv"));
    QCOMPARE(parent, &window);
    QCOMPARE(samples, window.sessionRecord().turns.at(2).angle.size());
    QVERIFY(samples > 0);
    // The store is empty: the first dialog is 640 x 360, centred, whatever
    // room the plot's tick labels would like.
    QCOMPARE(geometry.size(), QSize(640, 360));
    QVERIFY(isCentred(geometry.topLeft(), geometry.size()));
    // Deleted once closed, not kept as a child of the window.
    QVERIFY(window.findChildren<TurnDialog *>().isEmpty());
}

void TestTurnDialog::indexWithoutATurnOpensNothing_data()
{
    QTest::addColumn<bool>("withRide");
    QTest::addColumn<int>("index");

    QTest::newRow("no ride opened") << false << 0;
    QTest::newRow("negative index") << true << -1;
    QTest::newRow("one past the last turn") << true << 10;
}

void TestTurnDialog::indexWithoutATurnOpensNothing()
{
    QFETCH(bool, withRide);
    QFETCH(int, index);

    MainWindow window;
    if (withRide)
        QVERIFY(openRide(window, QString::fromUtf8(sampleRide)));
    // Should a dialog open after all, close it so that the test fails, not
    // hangs. The guard goes with the test: no later dialog may meet it.
    QTimer guard;
    connect(&guard, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(10);
    window.showTurn(index);
    QVERIFY(window.findChildren<TurnDialog *>().isEmpty());
}

void TestTurnDialog::geometryAndLegendSurviveAConfirmedQuit()
{
    const QPoint movedTo(41, 57);
    const QSize resizedTo(720, 410);
    {
        MainWindow window;
        QVERIFY(openRide(window, QString::fromUtf8(sampleRide)));
        whenModal<TurnDialog>([&](TurnDialog *d) {
            d->move(movedTo);
            d->resize(resizedTo);
            QTest::mouseClick(legendLabel(*d, "Force Left"), Qt::LeftButton);
            d->reject();
        });
        window.showTurn(0);
        QVERIFY(confirmQuit(window));
    }
    // Moved again, but no confirmed quit follows: the next start must take
    // the geometry from the store, not from what this run remembers.
    {
        TurnRecord turn = sampleTurn();
        Options options = turnOptions();
        TurnDialog unsaved(&turn, &options, nullptr);
        unsaved.move(5, 5);
        unsaved.resize(500, 300);
    }

    MainWindow restarted;
    QVERIFY(openRide(restarted, QString::fromUtf8(sampleRide)));
    QPoint pos;
    QSize size;
    bool leftShown = true;
    bool leftChecked = true;
    bool rightChecked = false;
    whenModal<TurnDialog>([&](TurnDialog *d) {
        pos = d->pos();
        size = d->size();
        leftShown = curve(*d, "Force Left")->isVisible();
        leftChecked = legendLabel(*d, "Force Left")->isChecked();
        rightChecked = legendLabel(*d, "Force Right")->isChecked();
        d->reject();
    });
    restarted.showTurn(1);
    QCOMPARE(pos, movedTo);
    QCOMPARE(size, resizedTo);
    QVERIFY(!leftShown);
    QVERIFY(!leftChecked);
    QVERIFY(rightChecked);
}

QTEST_MAIN(TestTurnDialog)
#include "tst_turndialog.moc"
