#ifndef VOK_KMLEXPORT_H
#define VOK_KMLEXPORT_H

#include <QCoreApplication>
#include <QString>

class QWidget;
class SessionRecord;

// The two ways the ride's track leaves the program as KML: a document the
// user names, and a hand-over to Google Earth.
class KmlExport
{
    Q_DECLARE_TR_FUNCTIONS(KmlExport)

public:
    // Asks for a file name (".kml" added when it has no suffix), writes the
    // document and tells the user how that went.
    static void exportAs(QWidget *parent, const SessionRecord &session);

    // Writes the document to the file kept for Google Earth and starts the
    // program on it, without waiting for it. Nothing happens without a program.
    static void viewInGoogleEarth(const SessionRecord &session, const QString &program);

    // The document handed to Google Earth, rewritten on every use.
    static QString googleEarthKmlPath();
};

#endif
