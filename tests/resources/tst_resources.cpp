#include <QImage>
#include <QImageReader>
#include <QTest>

// The compiled-in images: the other parts of the program find them by these
// names and rely on their sizes.
class tst_Resources : public QObject
{
    Q_OBJECT

private slots:
    void image_data();
    void image();
};

void tst_Resources::image_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("rgba");

    QTest::newRow("product logo") << ":/images/VOK.png" << QSize(378, 407) << true;
    QTest::newRow("brand mark") << ":/images/marchio.png" << QSize(331, 252) << true;
    QTest::newRow("open icon") << ":/images/open.png" << QSize(32, 32) << false;
    QTest::newRow("about icon") << ":/images/about.png" << QSize(32, 32) << false;
    QTest::newRow("solid line") << ":/images/line_solid.png" << QSize(92, 4) << false;
    QTest::newRow("dashed line") << ":/images/line_dashed.png" << QSize(92, 4) << false;
    QTest::newRow("dotted line") << ":/images/line_dotted.png" << QSize(94, 4) << false;
    QTest::newRow("dash-dot line") << ":/images/line_dash_dot.png" << QSize(94, 4) << false;
}

void tst_Resources::image()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, rgba);

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
    if (rgba) {
        QVERIFY(image.hasAlphaChannel());
        QVERIFY(image.allGray() == false);
    }
    // Something is drawn: not a blank, fully transparent canvas.
    bool painted = false;
    for (int y = 0; y < image.height() && !painted; ++y)
        for (int x = 0; x < image.width() && !painted; ++x)
            painted = qAlpha(image.pixel(x, y)) > 0;
    QVERIFY(painted);
}

QTEST_GUILESS_MAIN(tst_Resources)
#include "tst_resources.moc"
