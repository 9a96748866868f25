#ifndef VOK_RIDEEXPORT_H
#define VOK_RIDEEXPORT_H

#include <QCoreApplication>
#include <QString>

class QWidget;
class SessionRecord;

// The ride for other programs: training programs and online services
// import Training Center XML (TCX) or GPS Exchange Format (GPX).
class RideExport
{
    Q_DECLARE_TR_FUNCTIONS(RideExport)

public:
    enum Format { Tcx, Gpx };

    // Asks for a file name and a file type, writes the ride in that format
    // (adding the type's suffix to a name without one) and tells the user
    // how that went.
    static void exportAs(QWidget *parent, const SessionRecord &session);

    // Writes the ride to path; an existing file is replaced only by a
    // complete new document.
    static bool write(const SessionRecord &session, Format format, const QString &path);

    // The save dialog's file types, TCX first.
    static QStringList fileTypes();
};

#endif
