#ifndef VOK_REFERENCEREADER_H
#define VOK_REFERENCEREADER_H

#include "SessionRecord.h"
#include "TurnRecord.h"

#include <QString>
#include <QStringList>

// The session and single-turn readers written the plain way: the whole file
// decoded at once and split into lines, QString::split, QString::toDouble,
// QRegularExpression and QTime::fromString, step by step as the file formats
// describe them. Slow, and obviously right; the tests and the fuzzers hold
// the real readers to the records it produces.
class ReferenceReader
{
public:
    // The lines of a file's bytes, as the readers see them.
    static QStringList lines(QByteArray bytes);

    static bool readSession(SessionRecord &record, const QString &path);
    static bool readTurn(TurnRecord &record, const QString &path);

    // The first difference between two records, compared bit for bit (a NaN
    // equals the same NaN, -0 differs from +0), or an empty string.
    static QString difference(const SessionRecord &actual, const SessionRecord &expected);
    static QString difference(const TurnRecord &actual, const TurnRecord &expected);
};

#endif
