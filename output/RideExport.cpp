#include "RideExport.h"

#include "GpxWriter.h"
#include "TcxWriter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

void RideExport::exportAs(QWidget *parent, const SessionRecord &session)
{
    const QStringList types = fileTypes();
    QString type = types.first();
    QString name = QFileDialog::getSaveFileName(parent, tr("Export for other programs"),
                                                QString(), types.join(QStringLiteral(";;")),
                                                &type);
    if (name.isEmpty())
        return;
    const Format format = type == types.value(1) ? Gpx : Tcx;
    if (QFileInfo(name).suffix().isEmpty())
        name += format == Gpx ? QStringLiteral(".gpx") : QStringLiteral(".tcx");

    if (write(session, format, name)) {
        QMessageBox::information(parent, tr("Export for other programs"),
                                 tr("Ride exported to: %1").arg(QDir::toNativeSeparators(name)));
    } else {
        QMessageBox::warning(parent, tr("Export for other programs"),
                             tr("The ride could not be written to %1.")
                                 .arg(QDir::toNativeSeparators(name)));
    }
}

bool RideExport::write(const SessionRecord &session, Format format, const QString &path)
{
    return format == Gpx ? writeGpx(session, path) : writeTcx(session, path);
}

QStringList RideExport::fileTypes()
{
    return {tr("Training Center XML (*.tcx)"), tr("GPS Exchange Format (*.gpx)")};
}
