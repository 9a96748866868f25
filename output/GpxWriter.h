#ifndef VOK_GPXWRITER_H
#define VOK_GPXWRITER_H

#include <QString>

class SessionRecord;

// The ride as GPX 1.1, which nearly every map and training program reads: one
// track, a segment for each stretch between pauses, and every sample with a
// GPS fix a point with its elevation, time, and in the extensions its power
// (the plain `power` element) and its heart rate and cadence (Garmin's
// TrackPointExtension v1). A GPX point must have a position, so samples
// recorded without a fix are left out.

QString gpxDocument(const SessionRecord &session);

// Writes gpxDocument(session) to path in UTF-8; an existing file is replaced
// only by a complete new one.
bool writeGpx(const SessionRecord &session, const QString &path);

#endif
