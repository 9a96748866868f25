#include "OptionsDialog.h"
#include "ui_OptionsDialog.h"

#include <KColorCombo>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPen>
#include <QPixmap>
#include <QSpinBox>

#include <climits>
#include <iterator>

namespace {

// The line styles offered, in the order of the style combo box.
const Qt::PenStyle lineStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DashDotLine, Qt::DotLine};
const char *const lineStyleImages[] = {":/images/line_solid.png", ":/images/line_dashed.png",
                                       ":/images/line_dash_dot.png", ":/images/line_dotted.png"};

// Item positions within a pen editor row.
enum { LabelItem, ColorItem, StyleItem, WidthItem, SpacerItem };

const QList<QColor> &standardColors()
{
    static const QList<QColor> colors = {
        QColor(Qt::black),     QColor(Qt::white),    QColor(Qt::red),
        QColor(Qt::darkRed),   QColor(Qt::green),    QColor(Qt::darkGreen),
        QColor(Qt::blue),      QColor(Qt::darkBlue), QColor(Qt::cyan),
        QColor(Qt::darkCyan),  QColor(Qt::magenta),  QColor(Qt::darkMagenta),
        QColor(Qt::yellow),    QColor(Qt::darkYellow), QColor(Qt::gray),
        QColor(Qt::darkGray),  QColor(Qt::lightGray)};
    return colors;
}

// A pen without a valid colour paints black, so that is what its row shows.
QColor shownColor(const QPen &pen)
{
    return pen.color().isValid() ? pen.color() : QColor(Qt::black);
}

template<typename Widget>
Widget *rowWidget(QHBoxLayout *layout, int item)
{
    QLayoutItem *layoutItem = layout->itemAt(item);
    return layoutItem ? qobject_cast<Widget *>(layoutItem->widget()) : nullptr;
}

} // namespace

OptionsDialog::OptionsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::OptionsDialog)
{
    ui->setupUi(this);
    setMinimumWidth(520);
    ui->groupBox_2->setMinimumHeight(100);
    // The form's pen rows, in curve order.
    penRows = {ui->horizontalLayout_PL,     ui->horizontalLayout_PR,     ui->horizontalLayout_PTot,
               ui->horizontalLayout_OL,     ui->horizontalLayout_OR,     ui->horizontalLayout_UDL,
               ui->horizontalLayout_UDR,    ui->horizontalLayout_Height, ui->horizontalLayout_Speed,
               ui->horizontalLayout_Heart,  ui->horizontalLayout_Cadenza,
               ui->horizontalLayout_T_PTot, ui->horizontalLayout_T_FL,   ui->horizontalLayout_T_FR};
    for (const Channel &curve : Channel::all())
        addPenEditor(penRows[size_t(curve.id)], curve.labelText());
    fitRowsToTheirTexts();
}

// Every row label whole, the labels in one column; the three turn-curve rows
// without scrolling; most of the session curves; and the dialog tall enough
// for both lists.
void OptionsDialog::fitRowsToTheirTexts()
{
    int labelWidth = 100;
    for (QHBoxLayout *row : penRows) {
        if (auto *name = rowWidget<QLabel>(row, LabelItem))
            labelWidth = qMax(labelWidth, name->sizeHint().width());
    }
    for (QHBoxLayout *row : penRows) {
        if (auto *name = rowWidget<QLabel>(row, LabelItem))
            name->setFixedWidth(labelWidth);
    }
    ui->scrollArea_2->setMinimumHeight(ui->scrollAreaWidgetContents_2->sizeHint().height());
    // Room for nine of the eleven session curves; the last two scroll.
    const int sessionRows = ui->scrollAreaWidgetContents->sizeHint().height();
    ui->scrollArea->setMinimumHeight(qMax(ui->scrollArea->minimumHeight(), sessionRows * 9 / 11));
    ui->groupBox_2->setMaximumHeight(QWIDGETSIZE_MAX);
    ui->groupBox_2->setMinimumHeight(ui->groupBox_2->sizeHint().height());
    resize(qMax(width(), sizeHint().width()), qMax(height(), sizeHint().height()));
}

OptionsDialog::~OptionsDialog()
{
    delete ui;
}

int OptionsDialog::exec()
{
    for (const Channel &curve : Channel::all())
        setPenEditor(workingCopy.pen(curve.id), penRows[size_t(curve.id)]);
    (workingCopy.time_start_relative ? ui->timeRelRadioButton : ui->timeAbsRadioButton)
        ->setChecked(true);
    (workingCopy.space_start_relative ? ui->spaceRelRadioButton : ui->spaceAbsRadioButton)
        ->setChecked(true);
    // An index the lists do not hold leaves the chooser empty rather than
    // pretending to a unit; it is stored back unchanged unless the user picks one.
    ui->timeUnitComboBox->setCurrentIndex(int(qMin<quint32>(workingCopy.time_unit, INT_MAX)));
    ui->spaceUnitComboBox->setCurrentIndex(int(qMin<quint32>(workingCopy.space_unit, INT_MAX)));
    ui->GEPathLineEdit->setText(workingCopy.googleEarthPath);

    const int result = QDialog::exec();
    if (result != QDialog::Accepted)
        return result;

    for (const Channel &curve : Channel::all())
        readPenEditor(workingCopy.pen(curve.id), penRows[size_t(curve.id)]);
    workingCopy.time_start_relative = ui->timeRelRadioButton->isChecked();
    workingCopy.space_start_relative = ui->spaceRelRadioButton->isChecked();
    if (ui->timeUnitComboBox->currentIndex() >= 0)
        workingCopy.time_unit = quint32(ui->timeUnitComboBox->currentIndex());
    if (ui->spaceUnitComboBox->currentIndex() >= 0)
        workingCopy.space_unit = quint32(ui->spaceUnitComboBox->currentIndex());
    workingCopy.googleEarthPath = ui->GEPathLineEdit->text();
    return result;
}

void OptionsDialog::selectGEPath()
{
    const QString current = QDir(ui->GEPathLineEdit->text()).absolutePath();
    const QString start = QFile::exists(current) ? current : QString();
#ifdef Q_OS_WIN
    const QString caption = tr("Select googleearth.exe");
    const QString filter = tr("Exe file (*.exe)");
#else
    // Google Earth's launcher has no suffix outside Windows.
    const QString caption = tr("Select the Google Earth program");
    const QString filter = tr("All files (*)");
#endif
    const QString chosen = QFileDialog::getOpenFileName(this, caption, start, filter);
    if (!chosen.isEmpty())
        ui->GEPathLineEdit->setText(chosen);
}

void OptionsDialog::addPenEditor(QHBoxLayout *layout, const QString &label)
{
    auto *name = new QLabel(label);
    name->setFixedWidth(100);

    auto *color = new KColorCombo;
    color->setColors(standardColors());
    color->setFixedWidth(100);

    auto *style = new QComboBox;
    QPixmap image;
    for (const char *file : lineStyleImages) {
        image = QPixmap(QString::fromLatin1(file));
        style->insertItem(style->count(), QIcon(image), QString());
    }
    style->setIconSize(image.size());

    auto *width = new QSpinBox;
    width->setRange(1, 5);
    width->setSuffix(QStringLiteral(" px"));
    width->setMinimumWidth(60);
    width->setAlignment(Qt::AlignRight | Qt::AlignTrailing | Qt::AlignVCenter);

    layout->addWidget(name);
    layout->addWidget(color);
    layout->addWidget(style);
    layout->addWidget(width);
    layout->addSpacerItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Fixed));
}

void OptionsDialog::setPenEditor(const QPen &pen, QHBoxLayout *layout)
{
    if (auto *color = rowWidget<KColorCombo>(layout, ColorItem))
        color->setColor(shownColor(pen));
    if (auto *style = rowWidget<QComboBox>(layout, StyleItem)) {
        // Styles the row cannot offer (no pen, dash-dot-dot, custom dashes) show as solid.
        int index = 0;
        for (int i = 0; i < int(std::size(lineStyles)); ++i) {
            if (lineStyles[i] == pen.style())
                index = i;
        }
        style->setCurrentIndex(index);
    }
    if (auto *width = rowWidget<QSpinBox>(layout, WidthItem))
        width->setValue(pen.width());
}

void OptionsDialog::readPenEditor(QPen &pen, QHBoxLayout *layout)
{
    if (auto *color = rowWidget<KColorCombo>(layout, ColorItem)) {
        // Only a colour the user picked replaces the pen's own: setting a
        // pen's colour also resets its brush, and a pen without a valid colour
        // would otherwise come back black.
        const QColor chosen = color->color();
        if (chosen != shownColor(pen)) {
            QBrush brush = pen.brush();
            if (brush.style() == Qt::NoBrush || brush.gradient()
                || brush.style() == Qt::TexturePattern)
                brush = QBrush(chosen);
            else
                brush.setColor(chosen);
            pen.setBrush(brush);
        }
    }
    if (auto *style = rowWidget<QComboBox>(layout, StyleItem)) {
        const int index = style->currentIndex();
        pen.setStyle(index >= 0 && index < int(std::size(lineStyles)) ? lineStyles[index]
                                                                       : Qt::SolidLine);
    }
    if (auto *width = rowWidget<QSpinBox>(layout, WidthItem))
        pen.setWidth(width->value());
}
