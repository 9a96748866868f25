#include <QTest>

class tst_Resources : public QObject
{
    Q_OBJECT

private slots:
    void image_data();
    void image();
};

void tst_Resources::image_data()
{
    QTest::addColumn<QString>("name"); // of a compiled-in image
    QTest::addColumn<QSize>("size");   // which the other parts rely on
    QTest::newRow("product logo") << "VOK.png" << QSize(378, 407);
    QTest::newRow("brand mark") << "marchio.png" << QSize(331, 252);
    QTest::newRow("open icon") << "open.png" << QSize(32, 32);
    QTest::newRow("about icon") << "about.png" << QSize(32, 32);
    QTest::newRow("solid line") << "line_solid.png" << QSize(92, 4);
    QTest::newRow("dashed line") << "line_dashed.png" << QSize(92, 4);
    QTest::newRow("dotted line") << "line_dotted.png" << QSize(94, 4);
    QTest::newRow("dash-dot line") << "line_dash_dot.png" << QSize(94, 4);
}

void tst_Resources::image()
{
    QFETCH(QString, name);
    const QImage image(":/images/" + name, "png");
    QTEST(image.size(), "size");
    QVERIFY(image != image.copy(0, 0, 1, 1).scaled(image.size())); // not one colour all over
}

QTEST_GUILESS_MAIN(tst_Resources)
#include "tst_resources.moc"
