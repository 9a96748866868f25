#ifndef VOK_TURNDIALOG_H
#define VOK_TURNDIALOG_H

#include <QDialog>
#include <QPoint>
#include <QSize>

#include <array>

class MyZoomer;
class Options;
class QwtPlotCurve;
class QwtPlotItem;
class TurnRecord;

namespace Ui {
class TurnDialog;
}

// Plots one pedal revolution (total power and the two pedal forces against
// crank angle). Its size and position carry over from one dialog to the next,
// and through the settings store from one run to the next.
class TurnDialog : public QDialog
{
    Q_OBJECT

public:
    TurnDialog(TurnRecord *turn, Options *options, QWidget *parent);
    ~TurnDialog() override;

    // Restore and save the remembered geometry (group "turndialog").
    static void readSettings();
    static void writeSettings();

public slots:
    void updateGraph();
    void showCurve(QwtPlotItem *item, bool on);

private:
    void showFullRevolution();

    Ui::TurnDialog *ui;
    // Total power, left force, right force.
    std::array<QwtPlotCurve *, 3> curves{};
    MyZoomer *zoomer = nullptr;
    TurnRecord *turn;
    Options *options;

    static QPoint rememberedPos;
    static QSize rememberedSize;
};

#endif
