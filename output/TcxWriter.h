#ifndef VOK_TCXWRITER_H
#define VOK_TCXWRITER_H

#include <QString>

class SessionRecord;

// The ride as Training Center XML 2, which training programs and online
// services import: one activity of sport Biking with one lap, a track for
// each stretch between pauses, and every sample a trackpoint with its time,
// position (none without a GPS fix), altitude and distance in metres, heart
// rate, cadence and, in the ActivityExtension v2, power in watts. A value that
// is not a number, or out of the format's range, is left out.

QString tcxDocument(const SessionRecord &session);

// Writes tcxDocument(session) to path in UTF-8; an existing file is replaced
// only by a complete new one.
bool writeTcx(const SessionRecord &session, const QString &path);

#endif
