#ifndef VOK_OPTIONSDIALOG_H
#define VOK_OPTIONSDIALOG_H

#include "Options.h"

#include <QDialog>

#include <array>

class QHBoxLayout;
class QPen;

namespace Ui {
class OptionsDialog;
}

// Edits a working copy of the options: the fourteen pens, the x-axis units
// and origins and the Google Earth executable. One dialog serves the whole run.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(QWidget *parent);
    ~OptionsDialog() override;

    // What the dialog shows when exec() starts and, once accepted, what the
    // user chose. Visibility flags and the x-axis mode pass through untouched.
    Options workingCopy;

public slots:
    // Shows the working copy, runs the dialog and, if it is accepted, stores
    // the edits in the working copy. Returns the dialog's result code.
    int exec() override;
    void selectGEPath();

private:
    void addPenEditor(QHBoxLayout *layout, const QString &label);
    void setPenEditor(const QPen &pen, QHBoxLayout *layout);
    void readPenEditor(QPen &pen, QHBoxLayout *layout);
    void fitRowsToTheirTexts();

    Ui::OptionsDialog *ui;
    std::array<QHBoxLayout *, Channel::Count> penRows{};
};

#endif
