#include "OptionsDialog.h"

OptionsDialog::OptionsDialog(QWidget *parent)
    : QDialog(parent)
{
}

OptionsDialog::~OptionsDialog() = default;

int OptionsDialog::exec()
{
    return QDialog::exec();
}

void OptionsDialog::selectGEPath()
{
}
