#include "KmlWriter.h"

#include "SessionRecord.h"

bool writeKml(const SessionRecord &session, const QString &path)
{
    Q_UNUSED(session);
    Q_UNUSED(path);
    return false;
}
