#include "KmlExport.h"

#include "KmlWriter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

void KmlExport::exportAs(QWidget *parent, const SessionRecord &session)
{
    QString name = QFileDialog::getSaveFileName(parent, tr("Export as KML"), QString(), tr("*.kml"));
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".kml");

    if (writeKml(session, name)) {
        QMessageBox::information(parent, tr("KML generation"),
                                 tr("Data successfully exported to: ") + name, QMessageBox::Ok);
    } else {
        QMessageBox::warning(parent, tr("KML generation"),
                             tr("An un-expected error occured when generating the KML file. "
                                "Please retry to export again.\n"
                                "If the proble persists, contact the support team."),
                             QMessageBox::Ok);
    }
}

void KmlExport::viewInGoogleEarth(const SessionRecord &session, const QString &program)
{
    if (program.isEmpty())
        return;
    const QString path = googleEarthKmlPath();
    // Google Earth is started even if the document could not be written: it
    // then shows what the file held before, and reports its own problems.
    writeKml(session, path);
    QProcess::startDetached(program, {path});
}

// Outside Windows the file lives in the user's own cache directory rather
// than under a fixed name in the shared /tmp, where another user could plant
// a link.
QString KmlExport::googleEarthKmlPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("D:\\tmp.kml");
#else
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(cache);
    return cache + QStringLiteral("/tmp.kml");
#endif
}
