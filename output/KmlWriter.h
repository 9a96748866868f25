#ifndef VOK_KMLWRITER_H
#define VOK_KMLWRITER_H

#include <QString>

class SessionRecord;

// Writes the ride's GPS track, and its photo references, as a KML 2.2
// document. Returns false when the file could not be written.
bool writeKml(const SessionRecord &session, const QString &path);

#endif
