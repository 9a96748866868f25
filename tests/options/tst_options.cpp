// Loading and saving the options record through the real settings store.
#include "Options.h"
#include "GuiDriver.h"

namespace {

QVariant pen(const QColor &colour, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(QBrush(colour, Qt::SolidPattern), 2.0, style, Qt::SquareCap, Qt::RoundJoin);
}

// The field that the settings key names, as loadOptions leaves it.
QVariant loaded(const QString &key)
{
    Options options;
    loadOptions(options);
    for (const Channel &curve : Channel::all()) {
        if (key == "graphstyle/" + curve.keyText())
            return QVariant::fromValue(options.pen(curve.id));
        if (key == "graphvisible/" + curve.keyText())
            return options.visible(curve.id);
    }
    return QMap<QString, QVariant>{{"axes/x_axis_type", options.x_axis_type},
                                   {"axes/time_unit", options.time_unit},
                                   {"axes/space_unit", options.space_unit},
                                   {"axes/time_start_relative", options.time_start_relative},
                                   {"axes/space_start_relative", options.space_start_relative},
                                   {"googleearth/fullpath", options.googleEarthPath}}
        .value(key);
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
    struct Default {
        const char *key;
        Qt::GlobalColor colour;
        Qt::PenStyle style = Qt::SolidLine;
    };
    const Default pens[] = {{"pl", Qt::blue},     {"pr", Qt::red},
                            {"ptot", Qt::black},  {"ol", Qt::blue},
                            {"or", Qt::red},      {"udl", Qt::blue, Qt::DashLine},
                            {"udr", Qt::red, Qt::DashLine}, {"height", Qt::darkGreen},
                            {"speed", Qt::black}, {"heart", Qt::darkRed},
                            {"cadenza", Qt::darkBlue}, {"t_ptot", Qt::black},
                            {"t_fl", Qt::red},    {"t_fr", Qt::blue}};
    for (const Default &p : pens)
        QTest::newRow(qPrintable(QStringLiteral("no pen stored for %1").arg(p.key)))
            << QStringLiteral("graphstyle/%1").arg(p.key) << none << pen(p.colour, p.style);
    QTest::newRow("a curve is shown by default") << "graphvisible/t_fr" << none << QVariant(true);
    QTest::newRow("time mode by default") << "axes/x_axis_type" << none << QVariant(0);
    // A text-based store writes flags as words.
    QTest::newRow("a flag stored as the word false")
        << "graphvisible/heart" << QVariant("false") << QVariant(false);
    QTest::newRow("a flag stored as the word true")
        << "axes/time_start_relative" << QVariant("true") << QVariant(true);
    QTest::newRow("a unit past the end of the list")
        << "axes/time_unit" << QVariant(9) << QVariant(9u);
    QTest::newRow("a unit that is a word")
        << "axes/time_unit" << QVariant("metres") << QVariant(0u);
    QTest::newRow("a unit in text form") << "axes/space_unit" << QVariant("1") << QVariant(1u);
    QTest::newRow("distance mode") << "axes/x_axis_type" << QVariant(1) << QVariant(1);
    QTest::newRow("distance from the start of the odometer")
        << "axes/space_start_relative" << QVariant("false") << QVariant(false);
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
    // A pen of its own for every curve, unlike any default, so that keys swapped on the way show.
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
    QVERIFY(loaded == saved);
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
