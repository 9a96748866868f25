#include "TurnDialog.h"
#include "ui_TurnDialog.h"

#include "Background.h"
#include "MyZoomer.h"
#include "Options.h"
#include "TurnRecord.h"

#include <QSettings>

QPoint TurnDialog::rememberedPos(0, 0);
QSize TurnDialog::rememberedSize(-1, -1);

TurnDialog::TurnDialog(TurnRecord *turn, Options *options, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::TurnDialog)
    , turn(turn)
    , options(options)
{
    ui->setupUi(this);
}

TurnDialog::~TurnDialog()
{
    delete ui;
}

void TurnDialog::updateGraph()
{
}

void TurnDialog::showCurve(QwtPlotItem *item, bool on)
{
    Q_UNUSED(item);
    Q_UNUSED(on);
}

// Remembered geometry.

#include <QGuiApplication>
#include <QScreen>

void TurnDialog::readSettings()
{
    const QSize defaultSize(640, 360);
    QSettings settings;
    settings.beginGroup(QStringLiteral("turndialog"));
    settings.beginGroup(QStringLiteral("widget"));

    rememberedSize = settings.value(QStringLiteral("size"), defaultSize).toSize();
    // A damaged entry would give the dialog no area at all.
    if (rememberedSize.isEmpty())
        rememberedSize = defaultSize;

    QRect centred(QPoint(0, 0), rememberedSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        centred.moveCenter(screen->availableGeometry().center());
    rememberedPos = settings.value(QStringLiteral("pos"), centred.topLeft()).toPoint();

    settings.endGroup();
    settings.endGroup();
}

// Also written when no dialog was opened in this run: then what was read at
// start-up goes back unchanged.
void TurnDialog::writeSettings()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("turndialog"));
    settings.beginGroup(QStringLiteral("widget"));
    settings.setValue(QStringLiteral("size"), rememberedSize);
    settings.setValue(QStringLiteral("pos"), rememberedPos);
    settings.endGroup();
    settings.endGroup();
}
