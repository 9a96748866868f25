#include "ReferenceReader.h"
#include "SessionRecord.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray header("VOK_session_file ,S_100407_10-30.csv\nKm @ Start ,1523.4\n"
                        "Time @ Start ,10-30-15\nNr,Time,Longitude,Latitude,Altitude,Heart\n");
const QByteArray s0("0,0:00:00,11.12345,45.67891,352,118,84,24.6,0,212,104,108,3.5,4.0,51,49,0,0,"
                    "0");
const QByteArray s1("1,0:00:01,11.12352,45.67893,352,120,85,24.9,0,220,108,112,3.4,4.1,52,48,0,0,"
                    "0.007,IMG_0001.jpg\n");
const QByteArray turn("VOK_Single_Turn_file ,T_100407.10-31-02.csv\n0,0,152.3,210.5,12.1\n#####\n");
const QString t02("T_100407.10-31-02.csv"), t15("T_100407.10-31-15.csv");
using Files = QMap<QString, QByteArray>;

// What the tables check by hand: start, start distance, the distance of
// each sample, the photo references and the single-turn files read.
QString describe(const SessionRecord &record)
{
    QStringList parts{record.startDateTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                      QString::number(record.startKm, 'g', 15), QString()};
    for (const double value : record.space)
        parts.last() += (parts.last().isEmpty() ? "" : " ") + QString::number(value);
    for (auto photo = record.photos.cbegin(); photo != record.photos.cend(); ++photo)
        parts << QString::number(photo.key()) + '=' + photo.value();
    for (const TurnRecord &turn : record.turns)
        parts << QFileInfo(turn.path).fileName();
    return parts.join(QLatin1String(" | "));
}

} // namespace

// The session record, and reading a session file with its single-turn
// files, held to the reference reader on every file.
class TestSessionRecord : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void workedExample();
    void longRide();

private:
    // Each in a directory of its own.
    QString write(const QString &name, const QByteArray &content);
    bool readBoth(SessionRecord &record, const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir = std::make_unique<QTemporaryDir>();
};

// Writes a file, or makes another entry: "<directory>", "<pipe>",
// "<link:target>", "<missing>", "<unreadable>" (a single-turn file).
QString TestSessionRecord::write(const QString &name, const QByteArray &content)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    const QByteArray bytes = content == "<unreadable>" ? turn : content;
    bool done = content == "<missing>";
    if (content == "<directory>")
        done = QDir().mkpath(path);
    else if (content == "<pipe>")
        done = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    else if (content.startsWith("<link:"))
        done = QFile::link(m_dir->filePath(content.mid(6).chopped(1)), path);
    else if (!done)
        done = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    if (!done || (content == "<unreadable>" && !file.setPermissions(QFileDevice::Permissions())))
        qFatal("cannot make %s", qPrintable(path));
    return path;
}

// Reads the file with the real reader into record, and with the reference
// reader; both must agree.
bool TestSessionRecord::readBoth(SessionRecord &record, const QString &path)
{
    SessionRecord reference;
    reference.xChannel = record.xChannel; // the one thing a read keeps
    const bool result = record.read(path);
    const bool referenceResult = ReferenceReader::readSession(reference, path);
    const QString difference = ReferenceReader::difference(record, reference);
    if (result != referenceResult || !difference.isEmpty())
        QTest::qFail(qPrintable("not as the reference reader: " + difference), __FILE__, __LINE__);
    return result;
}

void TestSessionRecord::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Files>("files");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("expected");

    const QByteArray tag("VOK_session_file ,S_100407_10-30.csv\n"), km("Km @ Start ,1523.4\n");
    const QByteArray start("Time @ Start ,10-30-15\n"), rest("caption\n" + s0 + "\n#####\n");
    const QByteArray digits(3 << 20, '7'), sample = header + s0 + "\n#####\n";
    QByteArray binary, utf16("\xfe\xff");
    for (int i = 0; i < 65536; ++i)
        binary += char(i % 5 ? i * 7919 >> 3 : 0);
    for (const char c : sample)
        utf16 += QByteArray(1, '\0') + c;
    const auto row = [](const char *name, const QByteArray &content, bool result,
                        const QString &expected, const Files &files = Files{{t02, turn}}) {
        QTest::newRow(name) << content << files << result << expected;
    };
    const QString ok("0010-04-07 10:30:15 | 1523.4 | "), none(" | 0 | ");
    row("the last day of year 9", "VOK_session_file ,S_091231_23-59.csv\n" + km
        + "Time @ Start ,23-59-30\n" + rest, true, "0009-12-31 23:59:30 | 1523.4 | 0 | " + t02);
    row("start time with slashes replaces the tag's hour and minute",
        tag + km + "Time @ Start ,08/05-59\n" + rest, true,
        "0010-04-07 08:05:59 | 1523.4 | 0 | " + t02);
    row("any character before csv in the tag",
        "VOK_session_file ,S_100407_10-30~csv\n" + km + start + rest, true, ok + "0 | " + t02);
    row("start distance ending in its point, with many digits",
        tag + "Km @ Start ,0123456789012345678901234.\n" + start + rest, true,
        "0010-04-07 10:30:15 | 1.23456789012346e+23 | 0 | " + t02);
    row("tag line without the blank before the comma",
        "VOK_session_file,S_100407_10-30.csv\n" + km + start + rest, false, " | 1523.4 | 0");
    row("start distance without a point", tag + "Km @ Start ,12\n" + start + rest, false,
        "0010-04-07 10:30:15 | 0 | 0");
    row("start time with a one-digit hour: the time of the tag",
        tag + km + "Time @ Start ,8-05-59\n" + rest, false, "0010-04-07 10:30:00 | 1523.4 | 0");
    row("19 fields, and 20 with a photo reference", header + s0 + "\n" + s1 + "#####\n", true,
        ok + "0 0.007 | 1=IMG_0001.jpg | " + t02);
    row("no sample lines", header + "#####\n", true, ok + " | " + t02);
    row("ending in a comma: an empty photo reference", header + s0 + ",\n#####\n", true,
        ok + "0 | 0= | " + t02);
    row("25 fields read like 20", header + s0 + ",a,b,c,d,e\n#####\n", true,
        ok + "0 | 0=a | " + t02);
    row("photo reference taken unchanged, UTF-8 decoded, invalid bytes replaced",
        header + s0 + ",\xef\xbb\xbf B\xc3\xb6\r\xe2\x82 \n#####\n", true,
        ok + "0 | 0=" + QChar(0xFEFF)
            + QString::fromUtf8(" B\xc3\xb6\r\xef\xbf\xbd\xef\xbf\xbd  | ") + t02);
    row("carriage return and line feed at the line ends",
        QByteArray(header + s1 + "#####\n").replace("\n", "\r\n"), true,
        ok + "0.007 | 0=IMG_0001.jpg | " + t02);
    row("separator at the end, with a carriage return and no line end",
        header + s0 + "\n#####\r", true, ok + "0 | " + t02);
    row("lines after the separator are ignored", header + "#####\n" + s1, true, ok + " | " + t02);
    row("fields that are not plain numbers, as QString::toDouble reads them",
        header + "0,+1:02:03,1e1, 2.5 ,inf,\xc2\xa0" "5,-0,,0,-inf,\xe2\x88\x92"
                 "1,nan,x,0,0,0,0,0,1e-2\n#####\n", true, ok + "0.01 | " + t02);
    row("18 fields: the line is skipped, the lines after it are read",
        header + "0,0:00:00" + QByteArray(16, ',') + "\n" + s1 + "#####\n", false,
        ok + "0.007 | 0=IMG_0001.jpg");
    row("empty line among samples", header + "\n" + s0 + "\n#####\n", false, ok + "0");
    row("no separator line, the last line without its line end", header + s0, false, ok + "0");
    row("file ending after the caption line", header, false, ok);
    row("empty file", "", false, none);
    row("binary data with NUL bytes", binary, false, none);
    row("a line of 100,000 commas: one sample of zeros",
        header + QByteArray(100000, ',') + "\n#####\n", true, ok + "0 | 0= | " + t02);
    row("UTF-16 big-endian with a byte order mark", utf16, true, ok + "0 | " + t02);
    row("a tag line of 3 MiB", QByteArray(3 << 20, 'x'), false, none);
    row("a start distance of 3 MiB digits", QByteArray(sample).replace("1523.4", digits + "."),
        true, "0010-04-07 10:30:15 | inf | 0 | " + t02);
    row("a distance field of 3 MiB digits", header + s0 + digits + ".5\n#####\n", true,
        ok + "inf | " + t02);
    row("missing file", "<missing>", false, none);
    row("named pipe, not opened: that would wait for a writer", "<pipe>", false, none);
    row("no single-turn files", sample, true, ok + "0", Files());
    row("single-turn files in name order, another ride's among them", sample, true,
        ok + "0 | T_090101.08-00-00.csv | " + t02 + " | " + t15,
        Files{{t15, turn}, {t02, turn}, {"T_090101.08-00-00.csv", turn}, {"S_0901.csv", "x"}});
    row("one without its separator line fails the session and is listed", sample, false,
        ok + "0 | " + t02 + " | " + t15, Files{{t02, turn}, {t15, turn.left(60)}});
    row("t_extra.CSV without a tag line is listed and fails the session", sample, false,
        ok + "0 | t_extra.CSV", Files{{"t_extra.CSV", "extra\n"}});
    row("only plain files and links to them, no hidden files", sample, true,
        ok + "0 | " + t02 + " | T_6.csv",
        Files{{t02, turn}, {"T_3.csv", "<directory>"}, {".T_7.csv", "x"}, {"T_5.csv", "<pipe>"},
              {"T_4.csv", "<link:missing>"}, {"T_6.csv", "<link:" + t02.toLatin1() + ">"}});
    row("one that cannot be opened is listed and fails the session", sample, false,
        ok + "0 | " + t02 + " | " + t15, Files{{t02, turn}, {t15, "<unreadable>"}});
}

void TestSessionRecord::read()
{
    QFETCH(QByteArray, content);
    QFETCH(Files, files);
    QFETCH(bool, result);
    QFETCH(QString, expected);

    m_dir = std::make_unique<QTemporaryDir>();
    // Each read starts from scratch, after a longer ride and a choice of x data.
    SessionRecord record;
    QVERIFY(record.read(write("long.csv", header + s1.repeated(3) + "#####\n")));
    record.setXChannel(SessionRecord::SpaceChannel);
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        write(file.key(), file.value());
    const QString path = write(QStringLiteral("S_100407_10-30.csv"), content);
    // Root reads anything: then the files are read as the user nobody.
    const bool nobody = files.values().contains("<unreadable>") && ::geteuid() == 0;
    QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7755)));
    QVERIFY(!nobody || ::seteuid(65534) == 0);
    const bool actual = content == "<pipe>" ? record.read(path) : readBoth(record, path);
    QVERIFY(!nobody || ::seteuid(0) == 0);
    QCOMPARE(actual, result);
    QCOMPARE(describe(record), expected);
    QCOMPARE(record.fileName, QStringLiteral("S_100407_10-30.csv"));
    QVERIFY(!record.xData && record.xChannel == SessionRecord::SpaceChannel);
    // The arrays of a file read hold exactly its samples, with no room to spare.
    const bool opened = QFileInfo(path).isFile();
    for (int number = 0; opened && number < SessionRecord::ChannelCount; ++number)
        QCOMPARE(record.channel(number)->capacity(), record.space.size());
    QCOMPARE(record.longitude.size() + record.latitude.size(), 2 * record.space.size());
}

// A ride long enough that its arrays are mapped in on another thread while
// the reader fills them: the values are those the reference reader reads.
void TestSessionRecord::longRide()
{
    QByteArray content = header;
    const int samples = 150000;
    for (int i = 0; i < samples; ++i) {
        content += QStringLiteral("%1,%2:%3:%4,11.%5,45.%6,%7,%8,%9,%10.%11,0,%12,%13,%14,3.5,4.0,"
                                  "%15,%16,0,0,%17.%18\n")
                       .arg(i).arg(i / 3600).arg(i / 60 % 60, 2, 10, QChar('0'))
                       .arg(i % 60, 2, 10, QChar('0')).arg(i % 99991, 5, 10, QChar('0'))
                       .arg(i * 7 % 99991, 5, 10, QChar('0')).arg(300 + i % 700).arg(90 + i % 90)
                       .arg(i % 120).arg(i % 50).arg(i % 10).arg(i % 900).arg(i % 450)
                       .arg(i * 3 % 450).arg(i % 100).arg(100 - i % 100).arg(i / 200)
                       .arg(i % 1000, 3, 10, QChar('0'))
                       .toLatin1();
    }
    content += "#####\n";
    SessionRecord record;
    QVERIFY(readBoth(record, write("S_100407_10-30.csv", content)));
    QCOMPARE(record.time.size(), samples);
    QCOMPARE(record.time.last(), double(samples - 1));
    QCOMPARE(record.powerTot.last(), double((samples - 1) % 900));
    // So is the index built over them, on memory made ready while reading.
    QVERIFY(record.rideIndex.fits(record));
    const ChannelIndex &power = record.rideIndex.channel(SessionRecord::PowerTotChannel);
    QCOMPARE(power.highest(0, samples - 1), 899.0);
    QCOMPARE(power.sum(0, samples - 1).weight, double(samples - 1));
}

void TestSessionRecord::workedExample()
{
    SessionRecord record;
    QVERIFY(readBoth(record, write("S_100407_10-30.csv", header + s0 + ".000\n" + s1 + "#####\n")));
    const QVector<double> channels[] = {{104, 108}, {108, 112}, {212, 220}, {3.5, 3.4}, {4.0, 4.1},
                                        {51, 52}, {49, 48}, {35.2, 35.2}, {24.6, 24.9}, {118, 120},
                                        {84, 85}, {0, 1}, {0.0, 0.007}};
    for (int number = 0; number < SessionRecord::ChannelCount; ++number)
        QCOMPARE(*record.channel(number), channels[number]);
    QCOMPARE(record.channel(13), nullptr);
    QCOMPARE(record.longitude, QVector<double>({11.12345, 11.12352}));
    QCOMPARE(record.latitude, QVector<double>({45.67891, 45.67893}));
    QCOMPARE(record.startDateTime, QDateTime(QDate(10, 4, 7), QTime(10, 30, 15), Qt::LocalTime));
    QCOMPARE(record.startKm, 1523.4);
    QCOMPARE(record.photos, (QMap<int, QString>{{1, "IMG_0001.jpg"}}));
    QCOMPARE(record.xData, nullptr);
    // The x data follow the selection of a channel, and stay with a number
    // that names none.
    QCOMPARE(record.xChannel, int(SessionRecord::TimeChannel));
    record.setXChannel(SessionRecord::SpaceChannel);
    record.setXChannel(13);
    QVERIFY(record.xChannel == 13 && record.xData == &record.space && record.sampleCount() == 2);
    // The sample ride beside the program reads as the reference reader reads it.
    const QDir examples(QStringLiteral(VOK_SOURCE_DIR "/examples"));
    QVERIFY(readBoth(record, examples.filePath(QStringLiteral("S_100407_10-30.csv"))));
    QVERIFY(record.time.size() > 1000 && !record.turns.isEmpty());
}

QTEST_GUILESS_MAIN(TestSessionRecord)
#include "tst_sessionrecord.moc"
