#ifndef VOK_OPTIONSDIALOG_H
#define VOK_OPTIONSDIALOG_H

#include "Options.h"

#include <QDialog>

// Edits a working copy of the options: the fourteen pens, the x-axis units
// and origins and the Google Earth executable. One dialog serves the whole run.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(QWidget *parent);
    ~OptionsDialog() override;

    Options workingCopy;

public slots:
    int exec() override;
    void selectGEPath();
};

#endif
