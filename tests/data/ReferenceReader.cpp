#include "ReferenceReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTime>

#include <cstring>

namespace {

QDateTime dateTime(const QRegularExpressionMatch &match)
{
    const auto number = [&](int group) { return match.captured(group).toInt(); };
    return QDateTime(QDate(number(1), number(2), number(3)),
                     QTime(number(4), number(5), match.lastCapturedIndex() >= 6 ? number(6) : 0));
}

// Elapsed seconds of "h:mm:ss", hours of any length; 0 for anything else.
double elapsedSeconds(const QString &field)
{
    const QTime time = QTime::fromString(field, QStringLiteral("h:mm:ss"));
    if (time.isValid())
        return (time.hour() * 60 + time.minute()) * 60 + time.second();
    static const QRegularExpression pattern(QStringLiteral("\\A([0-9]+):([0-5][0-9]):([0-5][0-9])\\z"));
    const QRegularExpressionMatch match = pattern.match(field);
    if (!match.hasMatch())
        return 0.0;
    const QStringList parts = field.split(QLatin1Char(':'));
    return parts[0].toDouble() * 3600.0 + (parts[1].toInt() * 60 + parts[2].toInt());
}

using Arrays = QVector<const QVector<double> *>;

// The first of the arrays that differ bit for bit, or else the rest of the
// records as text, if that differs.
QString firstDifference(const QString &names, const Arrays &actual, const Arrays &expected,
                        const QString &actualRest, const QString &expectedRest)
{
    for (int i = 0; i < actual.size(); ++i) {
        const size_t bytes = size_t(actual[i]->size()) * sizeof(double);
        if (actual[i]->size() != expected[i]->size()
            || std::memcmp(actual[i]->constData(), expected[i]->constData(), bytes) != 0)
            return names.section(QLatin1Char(' '), i, i) + QStringLiteral(" differs");
    }
    return actualRest == expectedRest ? QString() : actualRest + "; expected " + expectedRest;
}

QString text(const QDateTime &t)
{
    return t.isNull() ? QStringLiteral("null")
                      : t.toString(Qt::ISODate) + QString::number(t.timeSpec());
}

} // namespace

QStringList ReferenceReader::lines(QByteArray bytes)
{
    // A UTF-16 or UTF-32 file is read as the same text in UTF-8.
    QTextCodec *codec = QTextCodec::codecForUtfText(bytes, nullptr);
    if (codec && codec->mibEnum() != 106)
        bytes = codec->toUnicode(bytes).toUtf8();
    // QString::fromUtf8 skips a byte order mark at the start and replaces
    // each invalid byte.
    QString text = QString::fromUtf8(bytes.constData(), bytes.size());
    bytes.clear(); // not held while the text is split: a long ride is large
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast(); // what follows the last line end
    for (QString &line : lines)
        line.chop(line.endsWith(QLatin1Char('\r')));
    return lines;
}

bool ReferenceReader::readSession(SessionRecord &record, const QString &path)
{
    record.reset();
    record.fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = ReferenceReader::lines(file.readAll());
    int next = 0;
    const auto line = [&] { return next < lines.size() ? lines[next++] : QString(); };
    bool accepted = true;

    static const QRegularExpression tag(QStringLiteral(
        "^VOK_session_file ,S_(\\d{2})(\\d{2})(\\d{2})_(\\d{2})-(\\d{2}).csv$"));
    static const QRegularExpression startKm(QStringLiteral("^Km @ Start ,(\\d+\\.\\d*)$"));
    static const QRegularExpression startTime(
        QStringLiteral("^Time @ Start ,(\\d{2})[-/](\\d{2})[-/](\\d{2})$"));
    const auto headerLine = [&](const QRegularExpression &pattern) {
        const QRegularExpressionMatch match = pattern.match(line());
        accepted = accepted && match.hasMatch();
        return match;
    };
    QRegularExpressionMatch match = headerLine(tag);
    if (match.hasMatch())
        record.startDateTime = dateTime(match);
    if ((match = headerLine(startKm)).hasMatch())
        record.startKm = match.captured(1).toDouble();
    if ((match = headerLine(startTime)).hasMatch()) {
        record.startDateTime.setTime(QTime(match.captured(1).toInt(), match.captured(2).toInt(),
                                           match.captured(3).toInt()));
    }
    line();

    for (;;) {
        if (next == lines.size()) {
            accepted = false;
            break;
        }
        const QString sample = line();
        if (sample == QLatin1String("#####"))
            break;
        const QStringList fields = sample.split(QLatin1Char(','));
        if (fields.size() < 19) {
            accepted = false;
            continue;
        }
        record.time.append(elapsedSeconds(fields[1]));
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
    if (!accepted)
        return false;

    const QDir dir = QFileInfo(path).dir();
    bool result = true;
    for (const QString &name : dir.entryList({"T_*.csv"}, QDir::Files, QDir::Name)) {
        record.turns.append(TurnRecord());
        result = readTurn(record.turns.last(), dir.absolutePath() + '/' + name) && result;
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
    const QStringList lines = ReferenceReader::lines(file.readAll());
    static const QRegularExpression tag(QStringLiteral(
        "^VOK_Single_Turn_file ,T_(\\d{2})(\\d{2})(\\d{2}).(\\d{2})-(\\d{2})-(\\d{2}).csv$"));
    const QRegularExpressionMatch match = tag.match(lines.value(0));
    if (!match.hasMatch())
        return false;
    record.timestamp = dateTime(match);
    for (int i = 1;; ++i) {
        const QString line = lines.value(i); // an empty line after the end
        if (line == QLatin1String("#####"))
            return true;
        const QStringList fields = line.split(QLatin1Char(','));
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
    const auto arrays = [](const SessionRecord &r) {
        Arrays all;
        for (int number = 0; number < SessionRecord::ChannelCount; ++number)
            all << r.channel(number);
        return all << &r.longitude << &r.latitude;
    };
    const auto rest = [](const SessionRecord &r) {
        QStringList photos;
        for (auto photo = r.photos.cbegin(); photo != r.photos.cend(); ++photo)
            photos << QString::number(photo.key()) + '=' + photo.value();
        return QStringList{text(r.startDateTime), QString::number(r.startKm, 'g', 17), r.fileName,
                           photos.join('|'), QString::number(r.xChannel), r.xData ? "x" : "no x",
                           QString::number(r.turns.size()) + " turns"}.join(QLatin1String(", "));
    };
    QString d = firstDifference("powerLeft powerRight powerTot offsetLeft offsetRight upDownLeft"
                                " upDownRight height speed heartRate cadence time space"
                                " longitude latitude",
                                arrays(actual), arrays(expected), rest(actual), rest(expected));
    for (int i = 0; i < actual.turns.size() && d.isEmpty(); ++i) {
        if (!(d = difference(actual.turns[i], expected.turns[i])).isEmpty())
            d = QStringLiteral("turns[%1]: %2").arg(i).arg(d);
    }
    return d;
}

QString ReferenceReader::difference(const TurnRecord &actual, const TurnRecord &expected)
{
    const auto arrays = [](const TurnRecord &r) {
        return Arrays{&r.angle, &r.power, &r.forceLeft, &r.forceRight};
    };
    return firstDifference(QStringLiteral("angle power forceLeft forceRight"), arrays(actual),
                           arrays(expected), text(actual.timestamp) + ", " + actual.path,
                           text(expected.timestamp) + ", " + expected.path);
}
