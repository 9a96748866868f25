// The main window's printing: print dialog, print preview and PDF, all
// painting the same one-page layout through printTo.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include <QPrinter>

QPrinter *MainWindow::createPrinter()
{
    return new QPrinter(QPrinter::HighResolution);
}

void MainWindow::print()
{
}

void MainWindow::printPdf()
{
}

void MainWindow::printPreview()
{
}

void MainWindow::printTo(QPrinter *printer)
{
    Q_UNUSED(printer);
}
