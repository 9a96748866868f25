#ifndef VOK_KMLWRITER_H
#define VOK_KMLWRITER_H

#include <QString>

class SessionRecord;

// The ride's GPS track, and the places of its photo references, as a KML 2.2
// document: a view that frames the track, one line placemark through every
// sample that has a position in a fixed style, then one point placemark per
// photo taken where there was one. Positions are written to about a
// centimetre. A sample recorded without a GPS fix (longitude and latitude
// both 0) has no position.

// The whole document as text. Whatever the file name and the photo references
// hold, the result is well-formed XML; for ordinary texts it is the fixed
// template with the session's values put in.
QString kmlDocument(const SessionRecord &session);

// Writes kmlDocument(session) to path in UTF-8. An existing file is replaced
// only by a complete new one: on failure it is left as it was and the result
// is false.
bool writeKml(const SessionRecord &session, const QString &path);

#endif
