#include "HelpBrowser.h"

HelpBrowser::HelpBrowser(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
}

void HelpBrowser::showGuide(QWidget *parent)
{
    Q_UNUSED(parent);
}
