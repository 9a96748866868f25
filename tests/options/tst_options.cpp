// Loading and saving the options record through the real settings store.
#include "Options.h"
#include "StoredSettings.h"
#include "TemporarySettings.h"

#include <QGuiApplication>
#include <QSettings>
#include <QTest>

Q_DECLARE_METATYPE(Qt::GlobalColor)
Q_DECLARE_METATYPE(Qt::PenStyle)

namespace {

// A record in which every field differs from what an empty store gives, so
// that a field that loadOptions forgets to assign shows up.
Options scrambled()
{
    Options options;
    for (const QString &key : Options::curveKeys()) {
        options.pen(key) = QPen(QBrush(Qt::yellow, Qt::Dense4Pattern), 7.5, Qt::DotLine,
                                Qt::FlatCap, Qt::BevelJoin);
        options.visible(key) = false;
    }
    options.time_unit = 77;
    options.space_unit = 77;
    options.time_start_relative = true;
    options.space_start_relative = false;
    options.x_axis_type = 77;
    options.googleEarthPath = QStringLiteral("/nowhere");
    return options;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void init() { settings.clear(); }

    void emptyStoreGivesDefaultPens_data();
    void emptyStoreGivesDefaultPens();
    void emptyStoreGivesDefaultAxesAndPath();
    void saveThenLoadReproducesEveryField();
    void saveWritesExactlyTheOptionKeys();
    void storedFlagsConvertAsVariants_data();
    void storedFlagsConvertAsVariants();
    void storedNumbersConvertAsVariants_data();
    void storedNumbersConvertAsVariants();
    void penKeyHoldingAnotherKindGivesDefaultConstructedPen_data();
    void penKeyHoldingAnotherKindGivesDefaultConstructedPen();
    void pathKeyTakesTheStringForm();
    void xAxisTypeIsWrittenBackAsLoaded();

private:
    TemporarySettings settings;
};

void TestOptions::emptyStoreGivesDefaultPens_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<Qt::GlobalColor>("colour");
    QTest::addColumn<Qt::PenStyle>("style");

    QTest::newRow("left power is solid blue") << "pl" << Qt::blue << Qt::SolidLine;
    QTest::newRow("right power is solid red") << "pr" << Qt::red << Qt::SolidLine;
    QTest::newRow("total power is solid black") << "ptot" << Qt::black << Qt::SolidLine;
    QTest::newRow("left offset is solid blue") << "ol" << Qt::blue << Qt::SolidLine;
    QTest::newRow("right offset is solid red") << "or" << Qt::red << Qt::SolidLine;
    QTest::newRow("left up/down is dashed blue") << "udl" << Qt::blue << Qt::DashLine;
    QTest::newRow("right up/down is dashed red") << "udr" << Qt::red << Qt::DashLine;
    QTest::newRow("height is solid dark green") << "height" << Qt::darkGreen << Qt::SolidLine;
    QTest::newRow("speed is solid black") << "speed" << Qt::black << Qt::SolidLine;
    QTest::newRow("heart rate is solid dark red") << "heart" << Qt::darkRed << Qt::SolidLine;
    QTest::newRow("cadence is solid dark blue") << "cadenza" << Qt::darkBlue << Qt::SolidLine;
    QTest::newRow("turn total power is solid black") << "t_ptot" << Qt::black << Qt::SolidLine;
    QTest::newRow("turn left force is solid red") << "t_fl" << Qt::red << Qt::SolidLine;
    QTest::newRow("turn right force is solid blue") << "t_fr" << Qt::blue << Qt::SolidLine;
}

void TestOptions::emptyStoreGivesDefaultPens()
{
    QFETCH(QString, key);
    QFETCH(Qt::GlobalColor, colour);
    QFETCH(Qt::PenStyle, style);

    Options options = scrambled();
    loadOptions(options);

    const QPen pen = options.pen(key);
    QCOMPARE(pen.color(), QColor(colour));
    QCOMPARE(pen.brush().style(), Qt::SolidPattern);
    QCOMPARE(pen.widthF(), 2.0);
    QCOMPARE(pen.style(), style);
    QCOMPARE(pen.capStyle(), Qt::SquareCap);
    QCOMPARE(pen.joinStyle(), Qt::RoundJoin);
    QVERIFY(options.visible(key));
}

void TestOptions::emptyStoreGivesDefaultAxesAndPath()
{
    Options options = scrambled();
    loadOptions(options);

    QCOMPARE(options.x_axis_type, 0);
    QCOMPARE(options.time_unit, 0u);
    QCOMPARE(options.space_unit, 0u);
    QCOMPARE(options.time_start_relative, false);
    QCOMPARE(options.space_start_relative, true);
    QCOMPARE(options.googleEarthPath, QString());
}

void TestOptions::saveThenLoadReproducesEveryField()
{
    // Each curve gets a pen of its own, so that two keys swapped on the way
    // to or from the store would not go unnoticed.
    const QList<Qt::GlobalColor> colours = {Qt::red,      Qt::green,   Qt::blue,     Qt::cyan,
                                            Qt::magenta,  Qt::yellow,  Qt::darkRed,  Qt::darkGreen,
                                            Qt::darkBlue, Qt::darkCyan, Qt::darkMagenta,
                                            Qt::darkYellow, Qt::gray,  Qt::lightGray};
    const QList<Qt::PenStyle> styles = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    const QList<Qt::PenCapStyle> caps = {Qt::FlatCap, Qt::SquareCap, Qt::RoundCap};
    const QList<Qt::PenJoinStyle> joins = {Qt::MiterJoin, Qt::BevelJoin, Qt::RoundJoin};

    Options saved;
    const QStringList keys = Options::curveKeys();
    for (int i = 0; i < keys.size(); ++i) {
        saved.pen(keys[i]) = QPen(QBrush(colours[i], Qt::SolidPattern), 1.0 + 0.5 * i,
                                  styles[i % styles.size()], caps[i % caps.size()],
                                  joins[i % joins.size()]);
        saved.visible(keys[i]) = i % 3 == 1;
    }
    saved.time_unit = 4;
    saved.space_unit = 1;
    saved.time_start_relative = true;
    saved.space_start_relative = false;
    saved.x_axis_type = 1;
    saved.googleEarthPath = QStringLiteral("/opt/google/earth/pro/google-earth-pro");
    saveOptions(saved);

    Options loaded = scrambled();
    loadOptions(loaded);

    for (int i = 0; i < keys.size(); ++i) {
        const QPen pen = loaded.pen(keys[i]);
        QCOMPARE(pen.color(), QColor(colours[i]));
        QCOMPARE(pen.widthF(), 1.0 + 0.5 * i);
        QCOMPARE(pen.style(), styles[i % styles.size()]);
        QCOMPARE(pen.capStyle(), caps[i % caps.size()]);
        QCOMPARE(pen.joinStyle(), joins[i % joins.size()]);
        QCOMPARE(loaded.visible(keys[i]), i % 3 == 1);
    }
    QCOMPARE(loaded.time_unit, 4u);
    QCOMPARE(loaded.space_unit, 1u);
    QCOMPARE(loaded.time_start_relative, true);
    QCOMPARE(loaded.space_start_relative, false);
    QCOMPARE(loaded.x_axis_type, 1);
    QCOMPARE(loaded.googleEarthPath, QStringLiteral("/opt/google/earth/pro/google-earth-pro"));
    QVERIFY(loaded == saved);
}

void TestOptions::saveWritesExactlyTheOptionKeys()
{
    Options options;
    loadOptions(options);
    saveOptions(options);

    QSettings settings;
    QStringList keys = settings.allKeys();
    keys.sort();
    const QStringList expected = {
        "options/axes/space_start_relative", "options/axes/space_unit",
        "options/axes/time_start_relative", "options/axes/time_unit",
        "options/axes/x_axis_type", "options/googleearth/fullpath",
        "options/graphstyle/cadenza", "options/graphstyle/heart",
        "options/graphstyle/height", "options/graphstyle/ol",
        "options/graphstyle/or", "options/graphstyle/pl",
        "options/graphstyle/pr", "options/graphstyle/ptot",
        "options/graphstyle/speed", "options/graphstyle/t_fl",
        "options/graphstyle/t_fr", "options/graphstyle/t_ptot",
        "options/graphstyle/udl", "options/graphstyle/udr",
        "options/graphvisible/cadenza", "options/graphvisible/heart",
        "options/graphvisible/height", "options/graphvisible/ol",
        "options/graphvisible/or", "options/graphvisible/pl",
        "options/graphvisible/pr", "options/graphvisible/ptot",
        "options/graphvisible/speed", "options/graphvisible/t_fl",
        "options/graphvisible/t_fr", "options/graphvisible/t_ptot",
        "options/graphvisible/udl", "options/graphvisible/udr"};
    QCOMPARE(keys, expected);

    // Pens go to the store as pens, not as their text.
    QCOMPARE(settings.value("options/graphstyle/udr").userType(), int(QMetaType::QPen));
}

void TestOptions::storedFlagsConvertAsVariants_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("expected");

    // A text-based store writes flags as the words true and false.
    QTest::newRow("the word true") << QVariant(QStringLiteral("true")) << true;
    QTest::newRow("the word false") << QVariant(QStringLiteral("false")) << false;
    QTest::newRow("the word false in capitals") << QVariant(QStringLiteral("FALSE")) << false;
    QTest::newRow("the digit 0") << QVariant(QStringLiteral("0")) << false;
    QTest::newRow("the digit 1") << QVariant(QStringLiteral("1")) << true;
    QTest::newRow("an empty text") << QVariant(QString()) << false;
    // Text other than "0", "false" or nothing reads as true, as QVariant has it.
    QTest::newRow("a word that is no flag") << QVariant(QStringLiteral("garbage")) << true;
    QTest::newRow("a pen, which has no truth value")
        << QVariant::fromValue(QPen(Qt::red)) << false;
}

void TestOptions::storedFlagsConvertAsVariants()
{
    QFETCH(QVariant, value);
    QFETCH(bool, expected);

    store("options/graphvisible/heart", value);
    store("options/axes/time_start_relative", value);
    store("options/axes/space_start_relative", value);

    Options options = scrambled();
    options.heart_visible = !expected;
    options.time_start_relative = !expected;
    options.space_start_relative = !expected;
    loadOptions(options);

    QCOMPARE(options.heart_visible, expected);
    QCOMPARE(options.time_start_relative, expected);
    QCOMPARE(options.space_start_relative, expected);
    // Its neighbours keep their defaults.
    QCOMPARE(options.speed_visible, true);
    QCOMPARE(options.cadenza_visible, true);
}

void TestOptions::storedNumbersConvertAsVariants_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("expectedInt");
    QTest::addColumn<uint>("expectedUInt");

    QTest::newRow("a number in text form") << QVariant(QStringLiteral("3")) << 3 << 3u;
    QTest::newRow("a unit past the end of the list is kept")
        << QVariant(QStringLiteral("9")) << 9 << 9u;
    QTest::newRow("a word") << QVariant(QStringLiteral("seconds")) << 0 << 0u;
    QTest::newRow("a decimal fraction") << QVariant(QStringLiteral("1.5")) << 0 << 0u;
    QTest::newRow("a negative number, which no unsigned value has")
        << QVariant(QStringLiteral("-1")) << -1 << 0u;
    QTest::newRow("a pen") << QVariant::fromValue(QPen(Qt::red)) << 0 << 0u;
}

void TestOptions::storedNumbersConvertAsVariants()
{
    QFETCH(QVariant, value);
    QFETCH(int, expectedInt);
    QFETCH(uint, expectedUInt);

    store("options/axes/x_axis_type", value);
    store("options/axes/time_unit", value);
    store("options/axes/space_unit", value);

    Options options = scrambled();
    loadOptions(options);

    QCOMPARE(options.x_axis_type, expectedInt);
    QCOMPARE(options.time_unit, expectedUInt);
    QCOMPARE(options.space_unit, expectedUInt);
}

void TestOptions::penKeyHoldingAnotherKindGivesDefaultConstructedPen_data()
{
    QTest::addColumn<QVariant>("value");

    QTest::newRow("a colour name") << QVariant(QStringLiteral("red"));
    QTest::newRow("a number") << QVariant(3);
    QTest::newRow("a flag") << QVariant(true);
}

void TestOptions::penKeyHoldingAnotherKindGivesDefaultConstructedPen()
{
    QFETCH(QVariant, value);

    store("options/graphstyle/speed", value);
    Options options;
    loadOptions(options);

    // Not the key's default pen: what QVariant makes of the value.
    QCOMPARE(options.speed, QPen());
    QCOMPARE(options.speed.color(), QColor(Qt::black));
    QCOMPARE(options.speed.widthF(), 1.0);
    QCOMPARE(options.heart.color(), QColor(Qt::darkRed));
}

void TestOptions::pathKeyTakesTheStringForm()
{
    store("options/googleearth/fullpath", 42);
    Options options;
    loadOptions(options);
    QCOMPARE(options.googleEarthPath, QStringLiteral("42"));

    store("options/googleearth/fullpath", QVariant::fromValue(QPen(Qt::red)));
    loadOptions(options);
    QCOMPARE(options.googleEarthPath, QString());
}

void TestOptions::xAxisTypeIsWrittenBackAsLoaded()
{
    store("options/axes/x_axis_type", 1);
    Options options;
    loadOptions(options);
    settings.clear();
    saveOptions(options);
    QCOMPARE(stored("options/axes/x_axis_type").toInt(), 1);
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
