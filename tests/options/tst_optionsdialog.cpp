#include "CurveLookup.h"
#include "GuiDriver.h"
#include "MainWindow.h"
#include "Options.h"
#include "OptionsDialog.h"
#include "TemporarySettings.h"
#include "TurnDialog.h"
#include "TurnRecord.h"

#include <KColorCombo>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

Q_DECLARE_METATYPE(Qt::PenStyle)

namespace {

template<typename Widget>
Widget *child(QObject *parent, const char *name)
{
    return parent->findChild<Widget *>(QLatin1String(name));
}

void press(QDialog *dialog, QDialogButtonBox::StandardButton which)
{
    auto *box = child<QDialogButtonBox>(dialog, "buttonBox");
    QVERIFY(box && box->button(which));
    box->button(which)->click();
}

QWidget *rowWidget(QDialog *dialog, const char *layoutName, int item)
{
    auto *layout = dialog->findChild<QHBoxLayout *>(QLatin1String(layoutName));
    return layout && layout->itemAt(item) ? layout->itemAt(item)->widget() : nullptr;
}

KColorCombo *colorOf(QDialog *dialog, const char *layoutName)
{
    return qobject_cast<KColorCombo *>(rowWidget(dialog, layoutName, 1));
}
QComboBox *styleOf(QDialog *dialog, const char *layoutName)
{
    return qobject_cast<QComboBox *>(rowWidget(dialog, layoutName, 2));
}
QSpinBox *widthOf(QDialog *dialog, const char *layoutName)
{
    return qobject_cast<QSpinBox *>(rowWidget(dialog, layoutName, 3));
}

QPen pen(const QColor &color, qreal width, Qt::PenStyle style = Qt::SolidLine,
         Qt::PenCapStyle cap = Qt::SquareCap, Qt::PenJoinStyle join = Qt::RoundJoin)
{
    return QPen(QBrush(color, Qt::SolidPattern), width, style, cap, join);
}

// A record as loaded from an empty store, written out here so that the test
// does not lean on the loader.
Options freshOptions()
{
    Options o;
    o.pl = pen(Qt::blue, 2.0);
    o.pr = pen(Qt::red, 2.0);
    o.ptot = pen(Qt::black, 2.0);
    o.ol = pen(Qt::blue, 2.0);
    o.or_ = pen(Qt::red, 2.0);
    o.udl = pen(Qt::blue, 2.0, Qt::DashLine);
    o.udr = pen(Qt::red, 2.0, Qt::DashLine);
    o.height = pen(Qt::darkGreen, 2.0);
    o.speed = pen(Qt::black, 2.0);
    o.heart = pen(Qt::darkRed, 2.0);
    o.cadenza = pen(Qt::darkBlue, 2.0);
    o.t_ptot = pen(Qt::black, 2.0);
    o.t_fl = pen(Qt::red, 2.0);
    o.t_fr = pen(Qt::blue, 2.0);
    o.time_unit = 0;
    o.space_unit = 0;
    o.time_start_relative = false;
    o.space_start_relative = true;
    o.x_axis_type = 0;
    o.googleEarthPath.clear();
    return o;
}

QString shownText(QDialog *dialog, const QString &objectName)
{
    QObject *object = dialog->findChild<QObject *>(objectName);
    if (objectName == dialog->objectName())
        return dialog->windowTitle();
    if (auto *box = qobject_cast<QGroupBox *>(object))
        return box->title();
    if (auto *label = qobject_cast<QLabel *>(object))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(object))
        return button->text();
    if (auto *page = qobject_cast<QWidget *>(object)) {
        auto *tabs = child<QTabWidget>(dialog, "tabWidget");
        if (tabs && tabs->indexOf(page) >= 0)
            return tabs->tabText(tabs->indexOf(page));
    }
    return QStringLiteral("<no such object>");
}

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT

private slots:
    void formTexts_data();
    void formTexts();
    void unitLists_data();
    void unitLists();
    void dialogShape();
    void penEditorRow_data();
    void penEditorRow();
    void okWithoutTouchingRewritesPens_data();
    void okWithoutTouchingRewritesPens();
    void okKeepsEverythingElse_data();
    void okKeepsEverythingElse();
    void widgetsShowTheRecord_data();
    void widgetsShowTheRecord();
    void editsReachTheRecordWhenAccepted();
    void rejectingChangesNothing_data();
    void rejectingChangesNothing();
    void firstOpeningShowsGoogleEarthThenTheLastTab();
    void chosenPath_data();
    void chosenPath();
    void fileDialogStartsAtTheCurrentPath();
    void acceptedOptionsReachThePlots_data();
    void acceptedOptionsReachThePlots();
    void turnPensChangeTheNextTurnDialog();

private:
    TemporarySettings settings;
};

void TestOptionsDialog::formTexts_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("text");

    QTest::newRow("window title") << "OptionsDialog" << "Options";
    QTest::newRow("first tab") << "tab_1" << "Graph style";
    QTest::newRow("second tab") << "tab_2" << "Data format";
    QTest::newRow("third tab") << "tab" << "Google Earth";
    QTest::newRow("session curve group") << "groupBox" << "Session curves";
    QTest::newRow("turn curve group") << "groupBox_2" << "Turn curves";
    QTest::newRow("time group") << "groupBox_3" << "Time";
    QTest::newRow("time unit label") << "label_3" << "Unit";
    QTest::newRow("time start label") << "label" << "Start value";
    QTest::newRow("time absolute") << "timeAbsRadioButton" << "absolute";
    QTest::newRow("time relative") << "timeRelRadioButton" << "relative";
    QTest::newRow("space group") << "groupBox_4" << "Space";
    QTest::newRow("space unit label") << "label_4" << "Unit";
    QTest::newRow("space start label") << "label_2" << "Start value";
    QTest::newRow("space absolute") << "spaceAbsRadioButton" << "absolute";
    QTest::newRow("space relative") << "spaceRelRadioButton" << "relative";
    QTest::newRow("path group") << "groupBox_5" << "Google Earth path";
    QTest::newRow("path button") << "GEPathPushButton" << "...";
    QTest::newRow("export group") << "groupBox_6" << "Export options (affect exported kml files)";
    QTest::newRow("path colour label") << "label_5" << "Path color";
    QTest::newRow("path style label") << "label_6" << "Path style";
}

void TestOptionsDialog::formTexts()
{
    QFETCH(QString, objectName);
    QFETCH(QString, text);

    OptionsDialog dialog(nullptr);
    QCOMPARE(shownText(&dialog, objectName), text);
}

void TestOptionsDialog::unitLists_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("time units")
        << "timeUnitComboBox"
        << QStringList{"hh:mm:ss", "hh::mm", "hh", "mm:ss", "mm", "ss"};
    QTest::newRow("distance units")
        << "spaceUnitComboBox" << QStringList{"kilometers (Km)", "meters (m)"};
}

void TestOptionsDialog::unitLists()
{
    QFETCH(QString, objectName);
    QFETCH(QStringList, texts);

    OptionsDialog dialog(nullptr);
    auto *combo = dialog.findChild<QComboBox *>(objectName);
    QVERIFY(combo);
    QCOMPARE(itemTexts(combo), texts);
}

void TestOptionsDialog::dialogShape()
{
    OptionsDialog dialog(nullptr);
    QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
    QCOMPARE(dialog.minimumWidth(), 520);
    QCOMPARE(dialog.height(), 533);

    auto *box = child<QDialogButtonBox>(&dialog, "buttonBox");
    QVERIFY(box);
    QCOMPARE(box->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto *tabs = child<QTabWidget>(&dialog, "tabWidget");
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("tab"));

    auto *turnCurves = child<QGroupBox>(&dialog, "groupBox_2");
    QCOMPARE(turnCurves->minimumHeight(), 100);
    QCOMPARE(turnCurves->maximumHeight(), 150);
    auto *sessionScroll = child<QScrollArea>(&dialog, "scrollArea");
    QCOMPARE(sessionScroll->minimumHeight(), 300);
    QVERIFY(sessionScroll->widgetResizable());

    auto *pathButton = child<QPushButton>(&dialog, "GEPathPushButton");
    QCOMPARE(pathButton->minimumWidth(), 30);
    QCOMPARE(pathButton->maximumWidth(), 30);
    QVERIFY(child<QLineEdit>(&dialog, "GEPathLineEdit"));

    // Each pair of radio buttons excludes only itself.
    auto *timeAbs = child<QRadioButton>(&dialog, "timeAbsRadioButton");
    auto *spaceRel = child<QRadioButton>(&dialog, "spaceRelRadioButton");
    auto *timeRel = child<QRadioButton>(&dialog, "timeRelRadioButton");
    timeAbs->setChecked(true);
    spaceRel->setChecked(true);
    QVERIFY(timeAbs->isChecked());
    timeRel->setChecked(true);
    QVERIFY(!timeAbs->isChecked());
    QVERIFY(spaceRel->isChecked());
}

void TestOptionsDialog::penEditorRow_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");

    // Rows of the session curves stand in "verticalLayout_6", the turn
    // curves' rows (T_...) in "verticalLayout_7".
    QTest::newRow("left power") << "PL" << 0 << "Power Left";
    QTest::newRow("right power") << "PR" << 1 << "Power Right";
    QTest::newRow("total power") << "PTot" << 2 << "Total Power";
    QTest::newRow("left offset") << "OL" << 3 << "Offset Left";
    QTest::newRow("right offset") << "OR" << 4 << "Offset Right";
    QTest::newRow("left up/down") << "UDL" << 5 << "% up/down Left";
    QTest::newRow("right up/down") << "UDR" << 6 << "% up/down Right";
    QTest::newRow("height") << "Height" << 7 << "Height";
    QTest::newRow("heart rate") << "Heart" << 8 << "Heart Rate";
    QTest::newRow("speed") << "Speed" << 9 << "Speed";
    QTest::newRow("cadence") << "Cadenza" << 10 << "Cadenza";
    QTest::newRow("turn total power") << "T_PTot" << 0 << "Total Power";
    QTest::newRow("turn left force") << "T_FL" << 1 << "Force Left";
    QTest::newRow("turn right force") << "T_FR" << 2 << "Force Right";
}

void TestOptionsDialog::penEditorRow()
{
    QFETCH(QString, row);
    QFETCH(int, position);
    QFETCH(QString, label);

    OptionsDialog dialog(nullptr);
    auto *layout = dialog.findChild<QHBoxLayout *>("horizontalLayout_" + row);
    auto *column = dialog.findChild<QVBoxLayout *>(
        row.startsWith("T_") ? "verticalLayout_7" : "verticalLayout_6");
    QVERIFY(layout);
    QVERIFY(column);
    QCOMPARE(column->itemAt(position)->layout(), layout);
    QCOMPARE(layout->count(), 5);

    auto *name = qobject_cast<QLabel *>(layout->itemAt(0)->widget());
    QVERIFY(name);
    QCOMPARE(name->text(), label);
    QCOMPARE(name->minimumWidth(), 100);
    QCOMPARE(name->maximumWidth(), 100);

    auto *color = qobject_cast<KColorCombo *>(layout->itemAt(1)->widget());
    QVERIFY(color);
    QCOMPARE(color->minimumWidth(), 100);
    QCOMPARE(color->maximumWidth(), 100);
    const QList<QColor> standard = {
        Qt::black, Qt::white,     Qt::red,    Qt::darkRed,    Qt::green,    Qt::darkGreen,
        Qt::blue,  Qt::darkBlue,  Qt::cyan,   Qt::darkCyan,   Qt::magenta,  Qt::darkMagenta,
        Qt::yellow, Qt::darkYellow, Qt::gray, Qt::darkGray,   Qt::lightGray};
    QCOMPARE(color->colors(), standard);

    auto *style = qobject_cast<QComboBox *>(layout->itemAt(2)->widget());
    QVERIFY(style);
    QCOMPARE(style->count(), 4);
    for (int i = 0; i < 4; ++i) {
        QVERIFY(style->itemText(i).isEmpty());
        QVERIFY(!style->itemIcon(i).isNull());
    }
    QCOMPARE(style->iconSize(), QPixmap(QStringLiteral(":/images/line_dotted.png")).size());

    auto *width = qobject_cast<QSpinBox *>(layout->itemAt(3)->widget());
    QVERIFY(width);
    QCOMPARE(width->minimum(), 1);
    QCOMPARE(width->maximum(), 5);
    QCOMPARE(width->suffix(), QStringLiteral(" px"));
    QCOMPARE(width->minimumWidth(), 60);
    QVERIFY(width->alignment() & Qt::AlignRight);

    QSpacerItem *spacer = layout->itemAt(4)->spacerItem();
    QVERIFY(spacer);
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
}

void TestOptionsDialog::okWithoutTouchingRewritesPens_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QPen>("before");
    QTest::addColumn<QPen>("after");

    QTest::newRow("a default pen stays as it is")
        << "ptot" << pen(Qt::black, 2.0) << pen(Qt::black, 2.0);
    QTest::newRow("dashed stays dashed") << "udl" << pen(Qt::blue, 2.0, Qt::DashLine)
                                         << pen(Qt::blue, 2.0, Qt::DashLine);
    QTest::newRow("dash-dot stays dash-dot") << "pl" << pen(Qt::blue, 1.0, Qt::DashDotLine)
                                             << pen(Qt::blue, 1.0, Qt::DashDotLine);
    QTest::newRow("dotted stays dotted") << "t_fr" << pen(Qt::blue, 3.0, Qt::DotLine)
                                         << pen(Qt::blue, 3.0, Qt::DotLine);
    QTest::newRow("width 2.6 becomes 3") << "pr" << pen(Qt::red, 2.6) << pen(Qt::red, 3.0);
    QTest::newRow("width 1.2 becomes 1") << "ol" << pen(Qt::blue, 1.2) << pen(Qt::blue, 1.0);
    QTest::newRow("a hairline becomes 1 px") << "or" << pen(Qt::red, 0.0) << pen(Qt::red, 1.0);
    QTest::newRow("width 9 becomes 5") << "height" << pen(Qt::darkGreen, 9.0)
                                       << pen(Qt::darkGreen, 5.0);
    QTest::newRow("dash-dot-dot becomes solid")
        << "speed" << pen(Qt::black, 2.0, Qt::DashDotDotLine) << pen(Qt::black, 2.0);
    QTest::newRow("no line becomes solid") << "heart" << pen(Qt::darkRed, 2.0, Qt::NoPen)
                                           << pen(Qt::darkRed, 2.0);
    QPen customDashes = pen(Qt::darkBlue, 2.0);
    customDashes.setDashPattern({1.0, 4.0, 2.0, 4.0});
    QTest::newRow("custom dashes become solid") << "cadenza" << customDashes
                                                << pen(Qt::darkBlue, 2.0);
    QTest::newRow("a colour outside the standard list stays")
        << "t_ptot" << pen(QColor(12, 34, 56), 2.0) << pen(QColor(12, 34, 56), 2.0);
    QTest::newRow("a translucent colour stays")
        << "t_fl" << pen(QColor(255, 0, 0, 100), 2.0) << pen(QColor(255, 0, 0, 100), 2.0);
    QTest::newRow("a colour given as hue, saturation, value stays")
        << "udr" << pen(QColor::fromHsv(200, 120, 90), 2.0)
        << pen(QColor::fromHsv(200, 120, 90), 2.0);
    QTest::newRow("a 16-bit colour stays exactly")
        << "pl" << pen(QColor::fromRgba64(1000, 2000, 3000), 2.0)
        << pen(QColor::fromRgba64(1000, 2000, 3000), 2.0);
    QTest::newRow("flat cap and miter join stay")
        << "pr" << pen(Qt::red, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin)
        << pen(Qt::red, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    QTest::newRow("round cap and bevel join stay with a style change")
        << "ol" << pen(Qt::blue, 2.0, Qt::DashDotDotLine, Qt::RoundCap, Qt::BevelJoin)
        << pen(Qt::blue, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin);
    const QPen hatched(QBrush(Qt::red, Qt::Dense4Pattern), 2.0, Qt::SolidLine, Qt::SquareCap,
                       Qt::RoundJoin);
    QTest::newRow("a hatched brush stays") << "t_fl" << hatched << hatched;
    const QPen colourless(QBrush(QColor(), Qt::SolidPattern), 2.0, Qt::SolidLine, Qt::SquareCap,
                          Qt::RoundJoin);
    QTest::newRow("a pen without a valid colour stays so") << "speed" << colourless << colourless;
}

void TestOptionsDialog::okWithoutTouchingRewritesPens()
{
    QFETCH(QString, key);
    QFETCH(QPen, before);
    QFETCH(QPen, after);

    OptionsDialog dialog(nullptr);
    Options options = freshOptions();
    options.pen(key) = before;
    dialog.workingCopy = options;
    whenModal<OptionsDialog>([](OptionsDialog *d) { press(d, QDialogButtonBox::Ok); });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));

    const QPen &result = dialog.workingCopy.pen(key);
    QCOMPARE(result.color(), after.color());
    QCOMPARE(result.widthF(), after.widthF());
    QCOMPARE(result.style(), after.style());
    QCOMPARE(result.capStyle(), after.capStyle());
    QCOMPARE(result.joinStyle(), after.joinStyle());
    QCOMPARE(result.brush().style(), after.brush().style());
    QCOMPARE(result, after);

    // The other thirteen pens were already in the offered form.
    options.pen(key) = after;
    QCOMPARE(dialog.workingCopy, options);
}

void TestOptionsDialog::okKeepsEverythingElse_data()
{
    QTest::addColumn<quint32>("timeUnit");
    QTest::addColumn<quint32>("spaceUnit");
    QTest::addColumn<bool>("timeRelative");
    QTest::addColumn<bool>("spaceRelative");
    QTest::addColumn<QString>("path");

    QTest::newRow("as loaded from an empty store") << 0u << 0u << false << true << QString();
    QTest::newRow("last units, time relative, distance absolute")
        << 5u << 1u << true << false << "/opt/google/earth/pro/google-earth-pro";
    QTest::newRow("middle time unit, both relative")
        << 3u << 0u << true << true << "C:\\Program Files\\Google\\googleearth.exe";
    QTest::newRow("units outside the lists") << 9u << 4u << false << false << "earth";
    QTest::newRow("a path that is only spaces") << 1u << 1u << false << true << "   ";
}

void TestOptionsDialog::okKeepsEverythingElse()
{
    QFETCH(quint32, timeUnit);
    QFETCH(quint32, spaceUnit);
    QFETCH(bool, timeRelative);
    QFETCH(bool, spaceRelative);
    QFETCH(QString, path);

    Options options = freshOptions();
    options.time_unit = timeUnit;
    options.space_unit = spaceUnit;
    options.time_start_relative = timeRelative;
    options.space_start_relative = spaceRelative;
    options.googleEarthPath = path;
    // Visibility and the x-axis mode are not the dialog's to edit.
    options.x_axis_type = 1;
    options.pr_visible = false;
    options.heart_visible = false;
    options.t_fl_visible = false;

    OptionsDialog dialog(nullptr);
    // A second run must not inherit anything from the first.
    for (int run = 0; run < 2; ++run) {
        dialog.workingCopy = options;
        whenModal<OptionsDialog>([](OptionsDialog *d) { press(d, QDialogButtonBox::Ok); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.workingCopy.time_unit, timeUnit);
        QCOMPARE(dialog.workingCopy.space_unit, spaceUnit);
        QCOMPARE(dialog.workingCopy.time_start_relative, timeRelative);
        QCOMPARE(dialog.workingCopy.space_start_relative, spaceRelative);
        QCOMPARE(dialog.workingCopy.googleEarthPath, path);
        QCOMPARE(dialog.workingCopy, options);
    }
}

void TestOptionsDialog::widgetsShowTheRecord_data()
{
    QTest::addColumn<bool>("timeRelative");
    QTest::addColumn<bool>("spaceRelative");
    QTest::addColumn<quint32>("timeUnit");
    QTest::addColumn<quint32>("spaceUnit");
    QTest::addColumn<QString>("timeChecked");
    QTest::addColumn<QString>("spaceChecked");
    QTest::addColumn<QString>("timeUnitText");
    QTest::addColumn<QString>("spaceUnitText");

    QTest::newRow("time absolute, distance relative")
        << false << true << 0u << 0u << "timeAbsRadioButton"
        << "spaceRelRadioButton" << "hh:mm:ss" << "kilometers (Km)";
    QTest::newRow("time relative, distance absolute")
        << true << false << 4u << 1u << "timeRelRadioButton"
        << "spaceAbsRadioButton" << "mm" << "meters (m)";
    QTest::newRow("both absolute") << false << false << 1u << 0u << "timeAbsRadioButton"
                                   << "spaceAbsRadioButton" << "hh::mm" << "kilometers (Km)";
    QTest::newRow("both relative") << true << true << 5u << 1u << "timeRelRadioButton"
                                   << "spaceRelRadioButton" << "ss" << "meters (m)";
}

void TestOptionsDialog::widgetsShowTheRecord()
{
    QFETCH(bool, timeRelative);
    QFETCH(bool, spaceRelative);
    QFETCH(quint32, timeUnit);
    QFETCH(quint32, spaceUnit);
    QFETCH(QString, timeChecked);
    QFETCH(QString, spaceChecked);
    QFETCH(QString, timeUnitText);
    QFETCH(QString, spaceUnitText);

    OptionsDialog dialog(nullptr);
    // The opposite state first: every run must set both buttons of a pair.
    for (bool flip : {true, false}) {
        Options options = freshOptions();
        options.time_start_relative = timeRelative != flip;
        options.space_start_relative = spaceRelative != flip;
        options.time_unit = timeUnit;
        options.space_unit = spaceUnit;
        options.udr = pen(QColor(12, 34, 56), 4.0, Qt::DashDotLine);
        dialog.workingCopy = options;
        QStringList checked;
        QString timeText, spaceText;
        QColor shownColor;
        int shownStyle = -1, shownWidth = -1;
        whenModal<OptionsDialog>([&](OptionsDialog *d) {
            for (QRadioButton *button : d->findChildren<QRadioButton *>()) {
                if (button->isChecked())
                    checked << button->objectName();
            }
            timeText = child<QComboBox>(d, "timeUnitComboBox")->currentText();
            spaceText = child<QComboBox>(d, "spaceUnitComboBox")->currentText();
            shownColor = colorOf(d, "horizontalLayout_UDR")->color();
            shownStyle = styleOf(d, "horizontalLayout_UDR")->currentIndex();
            shownWidth = widthOf(d, "horizontalLayout_UDR")->value();
            press(d, QDialogButtonBox::Cancel);
        });
        dialog.exec();
        if (flip)
            continue;
        checked.sort();
        QStringList expected{timeChecked, spaceChecked};
        expected.sort();
        QCOMPARE(checked, expected);
        QCOMPARE(timeText, timeUnitText);
        QCOMPARE(spaceText, spaceUnitText);
        QCOMPARE(shownColor, QColor(12, 34, 56));
        QCOMPARE(shownStyle, 2);
        QCOMPARE(shownWidth, 4);
    }
}

void TestOptionsDialog::editsReachTheRecordWhenAccepted()
{
    OptionsDialog dialog(nullptr);
    dialog.workingCopy = freshOptions();
    whenModal<OptionsDialog>([](OptionsDialog *d) {
        colorOf(d, "horizontalLayout_Cadenza")->setColor(QColor(Qt::darkMagenta));
        styleOf(d, "horizontalLayout_Cadenza")->setCurrentIndex(3);
        widthOf(d, "horizontalLayout_Cadenza")->setValue(4);
        styleOf(d, "horizontalLayout_T_FR")->setCurrentIndex(1);
        child<QComboBox>(d, "timeUnitComboBox")->setCurrentIndex(3);
        child<QComboBox>(d, "spaceUnitComboBox")->setCurrentIndex(1);
        child<QRadioButton>(d, "timeRelRadioButton")->click();
        child<QRadioButton>(d, "spaceAbsRadioButton")->click();
        child<QLineEdit>(d, "GEPathLineEdit")->setText(QStringLiteral("/usr/bin/google-earth-pro"));
        press(d, QDialogButtonBox::Ok);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));

    Options expected = freshOptions();
    expected.cadenza = pen(Qt::darkMagenta, 4.0, Qt::DotLine);
    expected.t_fr = pen(Qt::blue, 2.0, Qt::DashLine);
    expected.time_unit = 3;
    expected.space_unit = 1;
    expected.time_start_relative = true;
    expected.space_start_relative = false;
    expected.googleEarthPath = QStringLiteral("/usr/bin/google-earth-pro");
    QCOMPARE(dialog.workingCopy.cadenza, expected.cadenza);
    QCOMPARE(dialog.workingCopy, expected);
}

void TestOptionsDialog::rejectingChangesNothing_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("Cancel button") << "cancel";
    QTest::newRow("Escape key") << "escape";
    QTest::newRow("window closed") << "close";
}

void TestOptionsDialog::rejectingChangesNothing()
{
    QFETCH(QString, how);

    MainWindow window;
    const Options before = window.optionsRecord();
    whenModal<OptionsDialog>([how](OptionsDialog *d) {
        colorOf(d, "horizontalLayout_PL")->setColor(QColor(Qt::green));
        widthOf(d, "horizontalLayout_PL")->setValue(5);
        styleOf(d, "horizontalLayout_T_FL")->setCurrentIndex(2);
        child<QComboBox>(d, "timeUnitComboBox")->setCurrentIndex(5);
        child<QRadioButton>(d, "spaceAbsRadioButton")->click();
        child<QLineEdit>(d, "GEPathLineEdit")->setText(QStringLiteral("/nowhere"));
        if (how == QLatin1String("cancel"))
            press(d, QDialogButtonBox::Cancel);
        else if (how == QLatin1String("escape"))
            QTest::keyClick(d, Qt::Key_Escape);
        else
            d->close();
    });
    window.showOptions();
    QCOMPARE(window.optionsRecord(), before);

    // The next opening shows the record again, not the abandoned edits.
    QColor color;
    int width = 0, style = -1, timeUnit = -1;
    bool spaceRelative = false;
    QString path;
    whenModal<OptionsDialog>([&](OptionsDialog *d) {
        color = colorOf(d, "horizontalLayout_PL")->color();
        width = widthOf(d, "horizontalLayout_PL")->value();
        style = styleOf(d, "horizontalLayout_T_FL")->currentIndex();
        timeUnit = child<QComboBox>(d, "timeUnitComboBox")->currentIndex();
        spaceRelative = child<QRadioButton>(d, "spaceRelRadioButton")->isChecked();
        path = child<QLineEdit>(d, "GEPathLineEdit")->text();
        press(d, QDialogButtonBox::Cancel);
    });
    window.showOptions();
    // An empty store: blue, 2 px, solid, "hh:mm:ss", distance relative, no path.
    QCOMPARE(color, QColor(Qt::blue));
    QCOMPARE(width, 2);
    QCOMPARE(style, 0);
    QCOMPARE(timeUnit, 0);
    QVERIFY(spaceRelative);
    QCOMPARE(path, QString());
    QCOMPARE(window.optionsRecord(), before);
}

void TestOptionsDialog::firstOpeningShowsGoogleEarthThenTheLastTab()
{
    for (int windowNumber = 0; windowNumber < 2; ++windowNumber) {
        // Each main window has its own dialog, which starts on the third tab.
        MainWindow window;
        QString firstTab, secondTab, thirdTab;
        whenModal<OptionsDialog>([&](OptionsDialog *d) {
            auto *tabs = child<QTabWidget>(d, "tabWidget");
            firstTab = tabs->currentWidget()->objectName();
            tabs->setCurrentIndex(1);
            press(d, QDialogButtonBox::Cancel);
        });
        window.showOptions();
        whenModal<OptionsDialog>([&](OptionsDialog *d) {
            auto *tabs = child<QTabWidget>(d, "tabWidget");
            secondTab = tabs->currentWidget()->objectName();
            tabs->setCurrentIndex(0);
            press(d, QDialogButtonBox::Ok);
        });
        window.showOptions();
        whenModal<OptionsDialog>([&](OptionsDialog *d) {
            thirdTab = child<QTabWidget>(d, "tabWidget")->currentWidget()->objectName();
            press(d, QDialogButtonBox::Cancel);
        });
        window.showOptions();
        QCOMPARE(firstTab, QStringLiteral("tab"));
        QCOMPARE(secondTab, QStringLiteral("tab_2"));
        QCOMPARE(thirdTab, QStringLiteral("tab_1"));
        QCOMPARE(window.findChildren<OptionsDialog *>().size(), 1);
    }
}

void TestOptionsDialog::chosenPath_data()
{
    QTest::addColumn<bool>("pickFile");
    QTest::addColumn<bool>("acceptOptions");
    QTest::addColumn<bool>("expectChosen");

    QTest::newRow("file chosen, options cancelled") << true << false << false;
    QTest::newRow("file chosen, options accepted") << true << true << true;
    QTest::newRow("file dialog cancelled, options accepted") << false << true << false;
}

void TestOptionsDialog::chosenPath()
{
    QFETCH(bool, pickFile);
    QFETCH(bool, acceptOptions);
    QFETCH(bool, expectChosen);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Google Earth's launcher outside Windows has no suffix.
    const QString program = dir.filePath(QStringLiteral("google-earth-pro"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    MainWindow window;
    const QString stored = window.optionsRecord().googleEarthPath;
    QString lineEditAfterPick;
    QString caption;
    QStringList filters;
    whenModal<OptionsDialog>([&](OptionsDialog *d) {
        whenModal<QFileDialog>([&](QFileDialog *files) {
            caption = files->windowTitle();
            filters = files->nameFilters();
            if (pickFile) {
                choose(files, program);
            } else {
                files->reject();
            }
        });
        QTest::mouseClick(child<QPushButton>(d, "GEPathPushButton"),
                          Qt::LeftButton);
        lineEditAfterPick = child<QLineEdit>(d, "GEPathLineEdit")->text();
        press(d, acceptOptions ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
    });
    window.showOptions();

#ifdef Q_OS_WIN
    QCOMPARE(caption, QStringLiteral("Select googleearth.exe"));
    QCOMPARE(filters, QStringList{"Exe file (*.exe)"});
#else
    QCOMPARE(caption, QStringLiteral("Select the Google Earth program"));
    QCOMPARE(filters, QStringList{"All files (*)"});
#endif
    QCOMPARE(lineEditAfterPick, pickFile ? program : stored);
    QCOMPARE(window.optionsRecord().googleEarthPath, expectChosen ? program : stored);
}

void TestOptionsDialog::fileDialogStartsAtTheCurrentPath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("googleearth"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    OptionsDialog dialog(nullptr);
    dialog.workingCopy = freshOptions();
    dialog.workingCopy.googleEarthPath = program;
    QString startDirectory;
    QStringList preselected;
    whenModal<OptionsDialog>([&](OptionsDialog *d) {
        whenModal<QFileDialog>([&](QFileDialog *files) {
            startDirectory = files->directory().absolutePath();
            preselected = files->selectedFiles();
            files->reject();
        });
        child<QPushButton>(d, "GEPathPushButton")->click();
        press(d, QDialogButtonBox::Cancel);
    });
    dialog.exec();
    QCOMPARE(startDirectory, QDir(dir.path()).absolutePath());
    QCOMPARE(preselected, QStringList{program});
}

void TestOptionsDialog::acceptedOptionsReachThePlots_data()
{
    QTest::addColumn<bool>("accept");

    QTest::newRow("accepted") << true;
    QTest::newRow("cancelled") << false;
}

void TestOptionsDialog::acceptedOptionsReachThePlots()
{
    QFETCH(bool, accept);

    MainWindow window;
    auto *chooser = child<QComboBox>(&window, "xAxisComboBox");
    QVERIFY(chooser);
    QCOMPARE(chooser->itemText(0), QStringLiteral("Time\n(hh:mm:ss)"));
    whenModal<OptionsDialog>([accept](OptionsDialog *d) {
        colorOf(d, "horizontalLayout_PL")->setColor(QColor(Qt::darkYellow));
        widthOf(d, "horizontalLayout_PL")->setValue(3);
        child<QComboBox>(d, "timeUnitComboBox")->setCurrentIndex(3);
        child<QComboBox>(d, "spaceUnitComboBox")->setCurrentIndex(1);
        press(d, accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
    });
    window.showOptions();

    QwtPlotCurve *powerLeft = findCurve(window, "Power Left (W)");
    QVERIFY(powerLeft);
    QCOMPARE(powerLeft->pen().color(), accept ? QColor(Qt::darkYellow) : QColor(Qt::blue));
    QCOMPARE(powerLeft->pen().width(), accept ? 3 : 2);
    QCOMPARE(chooser->itemText(0), accept ? QStringLiteral("Time\n(mm:ss)")
                                          : QStringLiteral("Time\n(hh:mm:ss)"));
}

void TestOptionsDialog::turnPensChangeTheNextTurnDialog()
{
    MainWindow window;
    QVERIFY(openRide(window, QStringLiteral(VOK_SOURCE_DIR "/examples/S_100407_10-30.csv")));
    QVERIFY(!window.sessionRecord().turns.isEmpty());
    QMap<QString, QPen> sessionPens;
    for (QwtPlot *plot : window.findChildren<QwtPlot *>()) {
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve))
            sessionPens.insert(item->title().text(), static_cast<QwtPlotCurve *>(item)->pen());
    }

    whenModal<OptionsDialog>([](OptionsDialog *d) {
        colorOf(d, "horizontalLayout_T_FL")->setColor(QColor(Qt::darkGreen));
        widthOf(d, "horizontalLayout_T_FL")->setValue(4);
        styleOf(d, "horizontalLayout_T_FL")->setCurrentIndex(3);
        press(d, QDialogButtonBox::Ok);
    });
    window.showOptions();

    // The session plots keep every pen.
    for (QwtPlot *plot : window.findChildren<QwtPlot *>()) {
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            QCOMPARE(static_cast<QwtPlotCurve *>(item)->pen(),
                     sessionPens.value(item->title().text()));
        }
    }

    // The turn dialog opened next draws the left force with the new pen.
    QPen forceLeft;
    whenModal<TurnDialog>([&](TurnDialog *d) {
        QwtPlot *plot = child<QwtPlot>(d, "qwtPlot");
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve)) {
            if (item->title().text() == QLatin1String("Force Left"))
                forceLeft = static_cast<QwtPlotCurve *>(item)->pen();
        }
        d->reject();
    });
    window.showTurn(0);
    QCOMPARE(forceLeft.color(), QColor(Qt::darkGreen));
    QCOMPARE(forceLeft.widthF(), 4.0);
    QCOMPARE(forceLeft.style(), Qt::DotLine);
    QCOMPARE(forceLeft.capStyle(), Qt::SquareCap);
    QCOMPARE(forceLeft.joinStyle(), Qt::RoundJoin);
}

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
