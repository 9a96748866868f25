// The options dialog: shows a working copy, hands back the edits only when accepted.
#include "GuiDriver.h"
#include "OptionsDialog.h"

#include <KColorCombo>

namespace {

// The editor of a curve's pen: item 1 its colour, 2 its style, 3 its width.
template <typename Editor>
Editor *editor(QWidget *dialog, Channel::Id curve, int item)
{
    static const char *const rows[] = {"PL", "PR", "PTot", "OL", "OR", "UDL", "UDR", "Height",
                                       "Speed", "Heart", "Cadenza", "T_PTot", "T_FL", "T_FR"};
    auto *row = dialog->findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout_") + rows[curve]);
    return qobject_cast<Editor *>(row->itemAt(item)->widget());
}

// A pen as its row shows it: colour, style index, width.
QString shownPen(QWidget *dialog, Channel::Id curve)
{
    return QStringLiteral("%1 %2 %3")
        .arg(editor<KColorCombo>(dialog, curve, 1)->color().name(QColor::HexArgb))
        .arg(editor<QComboBox>(dialog, curve, 2)->currentIndex())
        .arg(editor<QSpinBox>(dialog, curve, 3)->value());
}

// What the dialog shows of everything the tests edit.
QString shown(QWidget *dialog)
{
    const auto origin = [dialog](const char *relative) {
        return dialog->findChild<QRadioButton *>(relative)->isChecked() ? "relative" : "absolute";
    };
    const auto unit = [dialog](const char *chooser) {
        return dialog->findChild<QComboBox *>(chooser)->currentText();
    };
    return QStringLiteral("time %1 %2, space %3 %4, path '%5', power left %6, force left %7")
        .arg(origin("timeRelRadioButton"), unit("timeUnitComboBox"), origin("spaceRelRadioButton"),
             unit("spaceUnitComboBox"), dialog->findChild<QLineEdit *>("GEPathLineEdit")->text(),
             shownPen(dialog, Channel::PowerLeft), shownPen(dialog, Channel::TurnForceLeft));
}

QPen pen(const QColor &colour, qreal width, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(QBrush(colour, Qt::SolidPattern), width, style, Qt::SquareCap, Qt::RoundJoin);
}

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT

private slots:
    void untouchedPenComesBackAsShown_data();
    void untouchedPenComesBackAsShown();
    void editsReachTheWindowOnlyWhenAccepted_data();
    void editsReachTheWindowOnlyWhenAccepted();
    void rowsShowTheirTexts();

private:
    TemporarySettings settings;
};

void TestOptionsDialog::untouchedPenComesBackAsShown_data()
{
    QTest::addColumn<int>("curve");
    QTest::addColumn<QPen>("before");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QPen>("after");

    const QPen dashed = pen(Qt::blue, 2.0, Qt::DashLine);
    const QPen dashDot = pen(Qt::blue, 1.0, Qt::DashDotLine);
    const QPen dotted = pen(Qt::blue, 5.0, Qt::DotLine);
    // The row shows neither the hatched brush, nor the flat cap and miter join.
    const QPen odd(QBrush(QColor(12, 34, 56), Qt::Dense4Pattern), 2, Qt::SolidLine, Qt::FlatCap,
                   Qt::MiterJoin);
    QTest::newRow("dashed") << int(Channel::UpDownLeft) << dashed << "#ff0000ff 1 2" << dashed;
    QTest::newRow("dash-dot, 1 px")
        << int(Channel::PowerLeft) << dashDot << "#ff0000ff 2 1" << dashDot;
    QTest::newRow("dotted, 5 px")
        << int(Channel::TurnForceRight) << dotted << "#ff0000ff 3 5" << dotted;
    QTest::newRow("width 2.6 becomes 3")
        << int(Channel::PowerRight) << pen(Qt::red, 2.6) << "#ffff0000 0 3" << pen(Qt::red, 3.0);
    QTest::newRow("dash-dot-dot becomes solid") << int(Channel::Speed)
        << pen(Qt::black, 2.0, Qt::DashDotDotLine) << "#ff000000 0 2" << pen(Qt::black, 2.0);
    QTest::newRow("a colour outside the standard list")
        << int(Channel::TurnPowerTot) << odd << "#ff0c2238 0 2" << odd;
}

void TestOptionsDialog::untouchedPenComesBackAsShown()
{
    QFETCH(int, curve);
    QFETCH(QPen, before);
    QFETCH(QString, shown);
    QFETCH(QPen, after);
    OptionsDialog dialog(nullptr);
    dialog.workingCopy.pen(Channel::Id(curve)) = before;
    QString seen;
    whenModal<OptionsDialog>([&](OptionsDialog *d) {
        seen = shownPen(d, Channel::Id(curve));
        d->accept();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(seen, shown);
    QCOMPARE(dialog.workingCopy.pen(Channel::Id(curve)), after);
}

void TestOptionsDialog::editsReachTheWindowOnlyWhenAccepted_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void TestOptionsDialog::editsReachTheWindowOnlyWhenAccepted()
{
    QFETCH(bool, ok);
    MainWindow window; // with the options of an empty store
    QStringList seen;
    whenModal<OptionsDialog>([&](OptionsDialog *d) {
        seen << shown(d);
        editor<KColorCombo>(d, Channel::PowerLeft, 1)->setColor(Qt::darkYellow);
        editor<QSpinBox>(d, Channel::PowerLeft, 3)->setValue(3);
        editor<QComboBox>(d, Channel::TurnForceLeft, 2)->setCurrentIndex(3);
        d->findChild<QComboBox *>("timeUnitComboBox")->setCurrentIndex(3);
        d->findChild<QComboBox *>("spaceUnitComboBox")->setCurrentIndex(1);
        d->findChild<QRadioButton *>("timeRelRadioButton")->click();
        d->findChild<QRadioButton *>("spaceAbsRadioButton")->click();
        d->findChild<QLineEdit *>("GEPathLineEdit")->setText("/opt/earth");
        ok ? d->accept() : d->reject();
    });
    window.showOptions();
    whenModal<OptionsDialog>([&](OptionsDialog *d) {
        seen << shown(d);
        d->reject();
    });
    window.showOptions();

    const QString before = "time absolute hh:mm:ss, space relative kilometers (Km), path '', "
                           "power left #ff0000ff 0 2, force left #ffff0000 0 2";
    const QString edited = "time relative mm:ss, space absolute meters (m), path '/opt/earth', "
                           "power left #ff808000 0 3, force left #ffff0000 3 2";
    QCOMPARE(seen, (QStringList{before, ok ? edited : before}));
    // The record, its session plots and the x-axis chooser take the edits.
    QCOMPARE(findCurve(window, "Power Left (W)")->pen(),
             ok ? pen(Qt::darkYellow, 3.0) : pen(Qt::blue, 2.0));
    QCOMPARE(window.findChild<QComboBox *>("xAxisComboBox")->itemText(0),
             ok ? "Time\n(mm:ss)" : "Time\n(hh:mm:ss)");
}

// At its default size: every row label whole, the three turn-curve rows
// without scrolling, and the session curves at most short of their last rows.
void TestOptionsDialog::rowsShowTheirTexts()
{
    OptionsDialog dialog(nullptr);
    dialog.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(0);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->isVisible())
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
    }
    const auto shownRows = [&dialog](const char *area) {
        auto *scroll = dialog.findChild<QScrollArea *>(QLatin1String(area));
        int shown = 0;
        for (QLabel *label : scroll->widget()->findChildren<QLabel *>()) {
            const QRect inView(label->mapTo(scroll->viewport(), QPoint()), label->size());
            shown += scroll->viewport()->rect().contains(inView);
        }
        return shown;
    };
    QCOMPARE(shownRows("scrollArea_2"), 3);
    QVERIFY2(shownRows("scrollArea") >= 9, qPrintable(QString::number(shownRows("scrollArea")) + " " + QString::number(dialog.height())));
}

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
