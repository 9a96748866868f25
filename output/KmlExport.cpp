// The main window's KML export and its hand-over to Google Earth.
#include "MainWindow.h"

#include "KmlWriter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The document handed to Google Earth is rewritten on every use. Outside
// Windows it lives in the user's own cache directory rather than under a
// fixed name in the shared /tmp, where another user could plant a link.
QString googleEarthKmlPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("D:\\tmp.kml");
#else
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(cache);
    return cache + QStringLiteral("/tmp.kml");
#endif
}

} // namespace

void MainWindow::exportKML()
{
    QString name = QFileDialog::getSaveFileName(this, tr("Export as KML"), QString(),
                                                tr("*.kml"));
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".kml");

    if (writeKml(session, name)) {
        QMessageBox::information(this, tr("KML generation"),
                                 tr("Data successfully exported to: ") + name, QMessageBox::Ok);
    } else {
        QMessageBox::warning(this, tr("KML generation"),
                             tr("An un-expected error occured when generating the KML file. "
                                "Please retry to export again.\n"
                                "If the proble persists, contact the support team."),
                             QMessageBox::Ok);
    }
}

void MainWindow::viewInGoogleEarth()
{
    if (options.googleEarthPath.isEmpty())
        return;
    const QString path = googleEarthKmlPath();
    // Google Earth is started even if the document could not be written: it
    // then shows what the file held before, and reports its own problems.
    writeKml(session, path);
    // Detached: the program neither waits for Google Earth nor tracks it.
    QProcess::startDetached(options.googleEarthPath, {path});
}
