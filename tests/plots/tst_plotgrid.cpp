#include "PlotGrid.h"

#include <QImage>
#include <QTest>
#include <qwt_plot.h>

// A grid that copies its lines paints what QwtPlotGrid paints.
class TestPlotGrid : public QObject
{
    Q_OBJECT

private slots:
    void paintsWhatQwtPlotGridPaints_data();
    void paintsWhatQwtPlotGridPaints();
};

void TestPlotGrid::paintsWhatQwtPlotGridPaints_data()
{
    QTest::addColumn<QPen>("major");
    QTest::addColumn<QPen>("minor");
    QTest::addColumn<bool>("minorLines");

    const QPen gray(QBrush(Qt::gray, Qt::SolidPattern), 1.3, Qt::SolidLine, Qt::SquareCap,
                    Qt::RoundJoin);
    const QPen lightGray(QBrush(Qt::lightGray, Qt::SolidPattern), 1.3, Qt::SolidLine,
                         Qt::SquareCap, Qt::RoundJoin);
    QTest::newRow("the session plots' pens") << gray << lightGray << true;
    QTest::newRow("major lines only") << gray << lightGray << false;
    QTest::newRow("hairlines") << QPen(Qt::black, 0.0) << QPen(Qt::darkGray, 0.0) << true;
    QTest::newRow("wide pens") << QPen(Qt::blue, 3.0) << QPen(Qt::green, 2.0) << true;
    QTest::newRow("wider pens") << QPen(Qt::blue, 7.0) << QPen(Qt::green, 5.5) << true;
    QTest::newRow("a dotted pen, stroked in place")
        << QPen(Qt::gray, 1.0, Qt::DotLine) << lightGray << true;
    QTest::newRow("a translucent pen, stroked in place")
        << gray << QPen(QColor(0, 0, 255, 100), 1.3) << true;
}

void TestPlotGrid::paintsWhatQwtPlotGridPaints()
{
    QFETCH(QPen, major);
    QFETCH(QPen, minor);
    QFETCH(bool, minorLines);

    QwtPlot copying, plain;
    const std::pair<QwtPlot *, QwtPlotGrid *> grids[] = {{&copying, new PlotGrid},
                                                         {&plain, new QwtPlotGrid}};
    for (const auto &[plot, grid] : grids) {
        grid->enableXMin(minorLines);
        grid->enableYMin(minorLines);
        grid->setMajorPen(major);
        grid->setMinorPen(minor);
        grid->attach(plot);
        plot->setCanvasBackground(Qt::white);
        plot->resize(500, 320);
        plot->show();
    }
    const QRectF views[] = {{0.0, 0.0, 100.0, 50.0},
                            {13.7, -4.2, 0.9, 31.3},
                            {-1.0e4, 250.0, 3.3e4, 12.5}};
    for (const QRectF &view : views) {
        for (int size = 0; size < 2; ++size) {
            for (const auto &[plot, grid] : grids) {
                plot->resize(500 - 97 * size, 320 - 41 * size);
                plot->setAxisScale(QwtPlot::xBottom, view.left(), view.right());
                plot->setAxisScale(QwtPlot::yLeft, view.top(), view.bottom());
                plot->replot();
            }
            QCOMPARE(copying.canvas()->grab().toImage(), plain.canvas()->grab().toImage());
        }
    }
}

QTEST_MAIN(TestPlotGrid)
#include "tst_plotgrid.moc"
