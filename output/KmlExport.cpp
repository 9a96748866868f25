// The main window's KML export and its hand-over to Google Earth.
#include "MainWindow.h"

#include "KmlWriter.h"

void MainWindow::exportKML()
{
}

void MainWindow::viewInGoogleEarth()
{
}
