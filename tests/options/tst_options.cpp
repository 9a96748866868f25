// Loading and saving the options record through the real settings store.
#include "Options.h"
#include "TemporarySettings.h"

namespace {

// A default pen, as a settings value.
QVariant pen(const QColor &colour, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(QBrush(colour, Qt::SolidPattern), 2.0, style, Qt::SquareCap, Qt::RoundJoin);
}

// The field that the settings key names, as loadOptions left it.
QVariant loaded(const QString &key)
{
    Options options; // unlike anything an empty store gives
    options.time_unit = options.space_unit = 77;
    options.x_axis_type = 77;
    options.time_start_relative = true;
    options.space_start_relative = false;
    options.googleEarthPath = QStringLiteral("/nowhere");
    loadOptions(options);
    const QMap<QString, QVariant> axes = {
        {"axes/x_axis_type", options.x_axis_type}, {"axes/time_unit", options.time_unit},
        {"axes/space_unit", options.space_unit}, {"googleearth/fullpath", options.googleEarthPath},
        {"axes/time_start_relative", options.time_start_relative},
        {"axes/space_start_relative", options.space_start_relative}};
    for (const Channel &curve : Channel::all()) {
        if (key == "graphstyle/" + curve.keyText())
            return QVariant::fromValue(options.pen(curve.id));
        if (key == "graphvisible/" + curve.keyText())
            return options.visible(curve.id);
    }
    return axes.value(key);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void init() { settings.clear(); }
    void storedValueLoads_data();
    void storedValueLoads();
    void saveThenLoadReproducesEveryField();

private:
    TemporarySettings settings;
};

void TestOptions::storedValueLoads_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value"); // invalid: nothing stored
    QTest::addColumn<QVariant>("expected");

    const QVariant none;
    QTest::newRow("left power: solid blue by default") << "graphstyle/pl" << none << pen(Qt::blue);
    QTest::newRow("right power: solid red") << "graphstyle/pr" << none << pen(Qt::red);
    QTest::newRow("total power: solid black") << "graphstyle/ptot" << none << pen(Qt::black);
    QTest::newRow("left offset: solid blue") << "graphstyle/ol" << none << pen(Qt::blue);
    QTest::newRow("right offset: solid red") << "graphstyle/or" << none << pen(Qt::red);
    QTest::newRow("left up/down: dashed blue")
        << "graphstyle/udl" << none << pen(Qt::blue, Qt::DashLine);
    QTest::newRow("right up/down: dashed red")
        << "graphstyle/udr" << none << pen(Qt::red, Qt::DashLine);
    QTest::newRow("height: solid dark green") << "graphstyle/height" << none << pen(Qt::darkGreen);
    QTest::newRow("speed: solid black") << "graphstyle/speed" << none << pen(Qt::black);
    QTest::newRow("heart rate: solid dark red") << "graphstyle/heart" << none << pen(Qt::darkRed);
    QTest::newRow("cadence: solid dark blue") << "graphstyle/cadenza" << none << pen(Qt::darkBlue);
    QTest::newRow("turn power: solid black") << "graphstyle/t_ptot" << none << pen(Qt::black);
    QTest::newRow("turn left force: solid red") << "graphstyle/t_fl" << none << pen(Qt::red);
    QTest::newRow("turn right force: solid blue") << "graphstyle/t_fr" << none << pen(Qt::blue);
    QTest::newRow("a curve is shown by default") << "graphvisible/t_fr" << none << QVariant(true);
    QTest::newRow("time mode by default") << "axes/x_axis_type" << none << QVariant(0);
    QTest::newRow("hh:mm:ss by default") << "axes/time_unit" << none << QVariant(0u);
    QTest::newRow("kilometres by default") << "axes/space_unit" << none << QVariant(0u);
    QTest::newRow("time of day by default")
        << "axes/time_start_relative" << none << QVariant(false);
    QTest::newRow("distance from 0 by default")
        << "axes/space_start_relative" << none << QVariant(true);
    QTest::newRow("no Google Earth by default")
        << "googleearth/fullpath" << none << QVariant(QString());
    // A text-based store writes flags as words.
    QTest::newRow("a flag stored as the word false")
        << "graphvisible/heart" << QVariant("false") << QVariant(false);
    QTest::newRow("a flag stored as the word true")
        << "axes/time_start_relative" << QVariant("true") << QVariant(true);
    QTest::newRow("a unit past the end of the list")
        << "axes/time_unit" << QVariant(9) << QVariant(9u);
    QTest::newRow("a unit that is a word")
        << "axes/space_unit" << QVariant("metres") << QVariant(0u);
    QTest::newRow("a pen that is a colour name")
        << "graphstyle/speed" << QVariant("red") << QVariant(QPen());
    QTest::newRow("a path that is a number")
        << "googleearth/fullpath" << QVariant(42) << QVariant("42");
}

void TestOptions::storedValueLoads()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);
    store("options/" + key, value);
    QCOMPARE(loaded(key), expected);
}

void TestOptions::saveThenLoadReproducesEveryField()
{
    // A pen of its own for every curve, so that two keys swapped on the way
    // show up, in styles, caps and joins none of the defaults has.
    const Qt::PenStyle styles[] = {Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    const Qt::PenCapStyle caps[] = {Qt::FlatCap, Qt::RoundCap, Qt::SquareCap};
    const Qt::PenJoinStyle joins[] = {Qt::MiterJoin, Qt::BevelJoin, Qt::SvgMiterJoin};
    Options saved;
    for (const Channel &curve : Channel::all()) {
        const int i = curve.id;
        saved.pen(curve.id) = QPen(QBrush(QColor::fromHsv(25 * i, 200, 150), Qt::Dense4Pattern),
                                   1.5 + i, styles[i % 3], caps[i / 3 % 3], joins[i / 5]);
        saved.visible(curve.id) = i % 3 == 1;
    }
    saved.time_unit = 4;
    saved.space_unit = 1;
    saved.time_start_relative = true;
    saved.space_start_relative = false;
    saved.x_axis_type = 1;
    saved.googleEarthPath = QStringLiteral("/opt/google/earth/pro/google-earth-pro");
    saveOptions(saved);

    Options loaded;
    loadOptions(loaded);
    for (const Channel &curve : Channel::all())
        QCOMPARE(loaded.pen(curve.id), saved.pen(curve.id));
    QVERIFY(loaded == saved);
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
