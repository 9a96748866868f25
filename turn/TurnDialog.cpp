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

void TurnDialog::readSettings()
{
}

void TurnDialog::writeSettings()
{
}
