#ifndef VOK_TESTFILES_H
#define VOK_TESTFILES_H

#include <QByteArray>
#include <QFile>
#include <QString>

// The whole content of the file at path; empty if it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Writes bytes as the whole content of the file at path; true if all of them
// were written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

#endif
