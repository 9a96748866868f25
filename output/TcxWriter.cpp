#include "TcxWriter.h"

#include "RideTrack.h"
#include "SessionRecord.h"
#include "XmlDocument.h"

namespace {

void appendTrackpoint(QString &text, const SessionRecord &session, const RideTime &clock, int i)
{
    auto element = [&text](int indent, const char *name, const QString &value) {
        XmlDocument::appendElement(text, indent, name, value);
    };
    text += QLatin1String("          <Trackpoint>\n");
    element(12, "Time", clock.textAt(session.time.at(i)));
    if (session.hasPosition(i)) {
        text += QLatin1String("            <Position>\n");
        element(14, "LatitudeDegrees", XmlDocument::decimal(session.latitude.at(i)));
        element(14, "LongitudeDegrees", XmlDocument::decimal(session.longitude.at(i)));
        text += QLatin1String("            </Position>\n");
    }
    element(12, "AltitudeMeters", XmlDocument::decimal(10.0 * session.height.at(i)));
    element(12, "DistanceMeters", XmlDocument::decimal(1000.0 * session.space.at(i), 3));
    const QString heartRate = XmlDocument::integer(session.heartRate.at(i), 1, 255);
    if (!heartRate.isEmpty()) {
        text += QLatin1String("            <HeartRateBpm>\n");
        element(14, "Value", heartRate);
        text += QLatin1String("            </HeartRateBpm>\n");
    }
    element(12, "Cadence", XmlDocument::integer(session.cadence.at(i), 0, 254));
    const QString watts = XmlDocument::integer(session.powerTot.at(i), 0, 65535);
    if (!watts.isEmpty()) {
        text += QLatin1String("            <Extensions>\n"
                              "              <ax:TPX>\n");
        element(16, "ax:Watts", watts);
        text += QLatin1String("              </ax:TPX>\n"
                              "            </Extensions>\n");
    }
    text += QLatin1String("          </Trackpoint>\n");
}

} // namespace

QString tcxDocument(const SessionRecord &session)
{
    const RideTrack track(session);
    const QString start = RideTime::text(track.clock().start());
    const int samples = track.samples();

    QString text;
    text.reserve(samples * 600 + 1024);
    text += QLatin1String(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<TrainingCenterDatabase"
        " xmlns=\"http://www.garmin.com/xmlschemas/TrainingCenterDatabase/v2\""
        " xmlns:ax=\"http://www.garmin.com/xmlschemas/ActivityExtension/v2\">\n"
        "  <Activities>\n"
        "    <Activity Sport=\"Biking\">\n");
    XmlDocument::appendElement(text, 6, "Id", start);
    text += QStringLiteral("      <Lap StartTime=\"%1\">\n").arg(start);
    XmlDocument::appendElement(text, 8, "TotalTimeSeconds",
                  XmlDocument::decimal(track.riddenSeconds(), 3));
    XmlDocument::appendElement(text, 8, "DistanceMeters",
                  XmlDocument::decimal(samples ? 1000.0 * session.space.at(samples - 1) : 0.0, 3));
    text += QLatin1String("        <Calories>0</Calories>\n"
                          "        <Intensity>Active</Intensity>\n"
                          "        <TriggerMethod>Manual</TriggerMethod>\n");
    // A track for each stretch between pauses, as a recording device writes them.
    for (const QPair<int, int> &stretch : track.stretches()) {
        text += QLatin1String("        <Track>\n");
        for (int i = stretch.first; i <= stretch.second; ++i)
            appendTrackpoint(text, session, track.clock(), i);
        text += QLatin1String("        </Track>\n");
    }
    text += QLatin1String("      </Lap>\n");
    XmlDocument::appendElement(text, 6, "Notes", XmlDocument::escaped(session.fileName));
    text += QLatin1String("    </Activity>\n"
                          "  </Activities>\n"
                          "</TrainingCenterDatabase>\n");
    return text;
}

bool writeTcx(const SessionRecord &session, const QString &path)
{
    return XmlDocument::save(tcxDocument(session), path);
}
