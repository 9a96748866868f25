#include "ReferenceReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <QTime>

#include <cstring>

namespace {

int secondsOfDay(const QString &field)
{
    const QTime time = QTime::fromString(field, QStringLiteral("h:mm:ss"));
    return time.isValid() ? (time.hour() * 60 + time.minute()) * 60 + time.second() : 0;
}

QString arrayDifference(const char *name, const QVector<double> &actual,
                        const QVector<double> &expected)
{
    if (actual.size() != expected.size()) {
        return QStringLiteral("%1: %2 values, expected %3")
            .arg(QLatin1String(name)).arg(actual.size()).arg(expected.size());
    }
    for (int i = 0; i < actual.size(); ++i) {
        if (std::memcmp(&actual[i], &expected[i], sizeof(double)) != 0) {
            return QStringLiteral("%1[%2]: %3, expected %4")
                .arg(QLatin1String(name)).arg(i)
                .arg(actual[i], 0, 'g', 17).arg(expected[i], 0, 'g', 17);
        }
    }
    return QString();
}

QString dateTimeDifference(const char *name, const QDateTime &actual, const QDateTime &expected)
{
    if (actual.isNull() != expected.isNull() || actual.isValid() != expected.isValid()
        || actual.date() != expected.date() || actual.time() != expected.time()
        || actual.timeSpec() != expected.timeSpec()) {
        return QStringLiteral("%1: %2 %3, expected %4 %5")
            .arg(QLatin1String(name), actual.date().toString(Qt::ISODate),
                 actual.time().toString(Qt::ISODate), expected.date().toString(Qt::ISODate),
                 expected.time().toString(Qt::ISODate));
    }
    return QString();
}

} // namespace

bool ReferenceReader::readSession(SessionRecord &record, const QString &path)
{
    record.reset();
    record.fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QTextStream in(&file);
    bool accepted = true;

    const QRegularExpression tag(QStringLiteral(
        "^VOK_session_file ,S_(\\d{2})(\\d{2})(\\d{2})_(\\d{2})-(\\d{2}).csv$"));
    const QRegularExpression startKm(QStringLiteral("^Km @ Start ,(\\d+\\.\\d*)$"));
    const QRegularExpression startTime(
        QStringLiteral("^Time @ Start ,(\\d{2})[-/](\\d{2})[-/](\\d{2})$"));

    QRegularExpressionMatch match = tag.match(in.readLine());
    if (match.hasMatch()) {
        record.startDateTime = QDateTime(
            QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()),
            QTime(match.captured(4).toInt(), match.captured(5).toInt(), 0));
    } else {
        accepted = false;
    }
    match = startKm.match(in.readLine());
    if (match.hasMatch())
        record.startKm = match.captured(1).toDouble();
    else
        accepted = false;
    match = startTime.match(in.readLine());
    if (match.hasMatch()) {
        record.startDateTime.setTime(QTime(match.captured(1).toInt(), match.captured(2).toInt(),
                                           match.captured(3).toInt()));
    } else {
        accepted = false;
    }
    in.readLine();

    for (;;) {
        if (in.atEnd()) {
            accepted = false;
            break;
        }
        const QString line = in.readLine();
        if (line == QLatin1String("#####"))
            break;
        const QStringList fields = line.split(QLatin1Char(','), Qt::KeepEmptyParts);
        if (fields.size() < 19) {
            accepted = false;
            continue;
        }
        record.time.append(secondsOfDay(fields[1]));
        record.longitude.append(fields[2].toDouble());
        record.latitude.append(fields[3].toDouble());
        record.height.append(fields[4].toDouble() / 10);
        record.heartRate.append(fields[5].toDouble());
        record.cadence.append(fields[6].toDouble());
        record.speed.append(fields[7].toDouble());
        record.powerTot.append(fields[9].toDouble());
        record.powerLeft.append(fields[10].toDouble());
        record.powerRight.append(fields[11].toDouble());
        record.offsetLeft.append(fields[12].toDouble());
        record.offsetRight.append(fields[13].toDouble());
        record.upDownLeft.append(fields[14].toDouble());
        record.upDownRight.append(fields[15].toDouble());
        record.space.append(fields[18].toDouble());
        if (fields.size() >= 20)
            record.photos[record.time.size() - 1] = fields[19];
    }
    file.close();

    if (!accepted)
        return false;
    return scanTurnFiles(record, QFileInfo(path).dir().path());
}

bool ReferenceReader::scanTurnFiles(SessionRecord &record, const QString &directory)
{
    const QDir dir(directory);
    const QStringList names =
        dir.entryList(QStringList(QStringLiteral("T_*.csv")), QDir::Files, QDir::Name);
    bool result = true;
    for (const QString &name : names) {
        record.turns.append(TurnRecord());
        result = readTurn(record.turns.last(), dir.absolutePath() + QLatin1Char('/') + name)
            && result;
    }
    return result;
}

bool ReferenceReader::readTurn(TurnRecord &record, const QString &path)
{
    record.reset();
    record.path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QTextStream in(&file);
    const QRegularExpression tag(QStringLiteral(
        "^VOK_Single_Turn_file ,T_(\\d{2})(\\d{2})(\\d{2}).(\\d{2})-(\\d{2})-(\\d{2}).csv$"));
    const QRegularExpressionMatch match = tag.match(in.readLine());
    if (!match.hasMatch())
        return false;
    record.timestamp = QDateTime(
        QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()),
        QTime(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt()));
    for (;;) {
        const QString line = in.readLine();
        if (line == QLatin1String("#####")) {
            file.close();
            return true;
        }
        const QStringList fields = line.split(QLatin1Char(','), Qt::KeepEmptyParts);
        if (fields.size() != 5)
            return false;
        record.angle.append(fields[1].toDouble());
        record.power.append(fields[2].toDouble());
        record.forceLeft.append(fields[3].toDouble());
        record.forceRight.append(fields[4].toDouble());
    }
}

QString ReferenceReader::difference(const SessionRecord &actual, const SessionRecord &expected)
{
    static const char *const names[SessionRecord::ChannelCount] = {
        "powerLeft", "powerRight", "powerTot", "offsetLeft", "offsetRight", "upDownLeft",
        "upDownRight", "height", "speed", "heartRate", "cadence", "time", "space"};
    for (int number = 0; number < SessionRecord::ChannelCount; ++number) {
        const QString d =
            arrayDifference(names[number], *actual.channel(number), *expected.channel(number));
        if (!d.isEmpty())
            return d;
    }
    QString d = arrayDifference("longitude", actual.longitude, expected.longitude);
    if (d.isEmpty())
        d = arrayDifference("latitude", actual.latitude, expected.latitude);
    if (d.isEmpty())
        d = dateTimeDifference("startDateTime", actual.startDateTime, expected.startDateTime);
    if (!d.isEmpty())
        return d;
    if (std::memcmp(&actual.startKm, &expected.startKm, sizeof(double)) != 0) {
        return QStringLiteral("startKm: %1, expected %2")
            .arg(actual.startKm, 0, 'g', 17).arg(expected.startKm, 0, 'g', 17);
    }
    if (actual.photos != expected.photos) {
        return QStringLiteral("photos: %1 entries (%2), expected %3 (%4)")
            .arg(actual.photos.size()).arg(QStringList(actual.photos.values()).join(QLatin1Char('|')))
            .arg(expected.photos.size()).arg(QStringList(expected.photos.values()).join(QLatin1Char('|')));
    }
    if (actual.fileName != expected.fileName)
        return QStringLiteral("fileName: %1, expected %2").arg(actual.fileName, expected.fileName);
    if (actual.xChannel != expected.xChannel)
        return QStringLiteral("xChannel: %1, expected %2").arg(actual.xChannel).arg(expected.xChannel);
    if ((actual.xData == nullptr) != (expected.xData == nullptr))
        return QStringLiteral("xData set in one record only");
    if (actual.turns.size() != expected.turns.size()) {
        return QStringLiteral("turns: %1, expected %2")
            .arg(actual.turns.size()).arg(expected.turns.size());
    }
    for (int i = 0; i < actual.turns.size(); ++i) {
        d = difference(actual.turns[i], expected.turns[i]);
        if (!d.isEmpty())
            return QStringLiteral("turns[%1].%2").arg(i).arg(d);
    }
    return QString();
}

QString ReferenceReader::difference(const TurnRecord &actual, const TurnRecord &expected)
{
    QString d = arrayDifference("angle", actual.angle, expected.angle);
    if (d.isEmpty())
        d = arrayDifference("power", actual.power, expected.power);
    if (d.isEmpty())
        d = arrayDifference("forceLeft", actual.forceLeft, expected.forceLeft);
    if (d.isEmpty())
        d = arrayDifference("forceRight", actual.forceRight, expected.forceRight);
    if (d.isEmpty())
        d = dateTimeDifference("timestamp", actual.timestamp, expected.timestamp);
    if (d.isEmpty() && actual.path != expected.path)
        d = QStringLiteral("path: %1, expected %2").arg(actual.path, expected.path);
    return d;
}
