#pragma once

#include <QFile>
#include <QTime>

// The whole content of the file at path; empty if it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes bytes as the whole content of the file at path; true if all were written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes a ride to path, a sample a second, ended by its separator line unless
// incomplete (then the reader rejects it). Rides of other lengths share no value.
inline bool writeRide(const QString &path, int samples, bool complete = true)
{
    QString csv("VOK_session_file ,S_100407_10-30.csv\nKm @ Start ,1.\nTime @ Start ,10-30-15\n\n");
    for (int i = 0; i < samples; ++i)
        csv += QStringLiteral("%1,%2,11.1,45.6,%3,%3,%3,%3,0,%3,%3,%3,%3,%3,%3,%3,0,0,%4\n")
                    .arg(i).arg(QTime(0, 0).addSecs(i).toString("h:mm:ss"))
                    .arg(samples + i % 50).arg(0.007 * i);
    return writeFile(path, (csv + (complete ? "#####\n" : "")).toLatin1());
}
