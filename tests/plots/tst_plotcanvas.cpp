#include "PlotCanvas.h"

#include <QFrame>
#include <QImage>
#include <QTest>
#include <qwt_plot.h>

// A canvas that copies its frame paints what the plain canvas paints, as
// its frame, size, colours and state change.
class TestPlotCanvas : public QObject
{
    Q_OBJECT

private slots:
    void paintsThePlainCanvasFrame_data();
    void paintsThePlainCanvasFrame();
};

void TestPlotCanvas::paintsThePlainCanvasFrame_data()
{
    QTest::addColumn<int>("frameStyle");
    QTest::addColumn<int>("lineWidth");
    // A frame keeps the contents inside it through their margins; with
    // none, they reach over it.
    QTest::addColumn<bool>("noMargins");
    const int sunken = QFrame::Panel | QFrame::Sunken;
    QTest::newRow("sunken panel, as Qwt sets it") << sunken << 2 << false;
    QTest::newRow("raised panel, wider") << int(QFrame::Panel | QFrame::Raised) << 4 << false;
    QTest::newRow("plain box") << int(QFrame::Box | QFrame::Plain) << 1 << false;
    QTest::newRow("styled panel") << int(QFrame::StyledPanel | QFrame::Sunken) << 1 << false;
    QTest::newRow("no frame") << int(QFrame::NoFrame) << 0 << false;
    QTest::newRow("contents over the frame") << sunken << 2 << true;
}

void TestPlotCanvas::paintsThePlainCanvasFrame()
{
    QFETCH(int, frameStyle);
    QFETCH(int, lineWidth);
    QFETCH(bool, noMargins);

    QwtPlot copying, plain;
    copying.setCanvas(new PlotCanvas);
    for (QwtPlot *plot : {&copying, &plain}) {
        auto *canvas = static_cast<QFrame *>(plot->canvas());
        canvas->setFrameStyle(frameStyle);
        canvas->setLineWidth(lineWidth);
        if (noMargins)
            canvas->setContentsMargins(0, 0, 0, 0);
        plot->resize(400, 300);
        plot->show();
    }
    auto compare = [&](const char *after) {
        for (QwtPlot *plot : {&copying, &plain})
            plot->replot();
        QVERIFY2(copying.canvas()->grab().toImage() == plain.canvas()->grab().toImage(), after);
    };
    compare("first paint");
    compare("second paint, from the copy");

    for (QwtPlot *plot : {&copying, &plain})
        plot->resize(330, 260);
    compare("resized");

    for (QwtPlot *plot : {&copying, &plain}) {
        QPalette palette = plot->canvas()->palette();
        palette.setColor(QPalette::Light, Qt::red);
        palette.setColor(QPalette::Dark, Qt::blue);
        palette.setColor(QPalette::WindowText, Qt::darkGreen);
        palette.setColor(QPalette::Disabled, QPalette::Light, Qt::yellow);
        palette.setColor(QPalette::Disabled, QPalette::Dark, Qt::magenta);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::cyan);
        plot->canvas()->setPalette(palette);
    }
    compare("colours changed");

    for (QwtPlot *plot : {&copying, &plain})
        plot->canvas()->setEnabled(false);
    compare("disabled");

    for (QwtPlot *plot : {&copying, &plain})
        static_cast<QFrame *>(plot->canvas())->setLineWidth(lineWidth + 1);
    compare("wider line");
}

QTEST_MAIN(TestPlotCanvas)
#include "tst_plotcanvas.moc"
