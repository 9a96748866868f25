#include "GpxWriter.h"

#include "RideTrack.h"
#include "SessionRecord.h"
#include "XmlDocument.h"

namespace {

void appendPoint(QString &text, const SessionRecord &session, const RideTime &clock, int i)
{
    auto element = [&text](int indent, const char *name, const QString &value) {
        XmlDocument::appendElement(text, indent, name, value);
    };
    text += QStringLiteral("      <trkpt lat=\"%1\" lon=\"%2\">\n")
                .arg(XmlDocument::decimal(session.latitude.at(i)),
                     XmlDocument::decimal(session.longitude.at(i)));
    element(8, "ele", XmlDocument::decimal(10.0 * session.height.at(i)));
    element(8, "time", clock.textAt(session.time.at(i)));
    const QString power = XmlDocument::integer(session.powerTot.at(i), 0, 65535);
    const QString heartRate = XmlDocument::integer(session.heartRate.at(i), 1, 255);
    const QString cadence = XmlDocument::integer(session.cadence.at(i), 0, 254);
    if (!power.isEmpty() || !heartRate.isEmpty() || !cadence.isEmpty()) {
        text += QLatin1String("        <extensions>\n");
        element(10, "power", power);
        if (!heartRate.isEmpty() || !cadence.isEmpty()) {
            text += QLatin1String("          <gpxtpx:TrackPointExtension>\n");
            element(12, "gpxtpx:hr", heartRate);
            element(12, "gpxtpx:cad", cadence);
            text += QLatin1String("          </gpxtpx:TrackPointExtension>\n");
        }
        text += QLatin1String("        </extensions>\n");
    }
    text += QLatin1String("      </trkpt>\n");
}

} // namespace

QString gpxDocument(const SessionRecord &session)
{
    const RideTrack track(session);
    const QString name = XmlDocument::escaped(session.fileName);

    QString text;
    text.reserve(track.samples() * 400 + 1024);
    text += QLatin1String(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"VOK\" xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">\n"
        "  <metadata>\n");
    XmlDocument::appendElement(text, 4, "name", name);
    XmlDocument::appendElement(text, 4, "time", RideTime::text(track.clock().start()));
    text += QLatin1String("  </metadata>\n"
                          "  <trk>\n");
    XmlDocument::appendElement(text, 4, "name", name);
    // A segment for each stretch between pauses: GPX readers draw no line
    // from one segment to the next.
    for (const QPair<int, int> &stretch : track.stretches()) {
        text += QLatin1String("    <trkseg>\n");
        for (int i = stretch.first; i <= stretch.second; ++i) {
            if (session.hasPosition(i))
                appendPoint(text, session, track.clock(), i);
        }
        text += QLatin1String("    </trkseg>\n");
    }
    text += QLatin1String("  </trk>\n"
                          "</gpx>\n");
    return text;
}

bool writeGpx(const SessionRecord &session, const QString &path)
{
    return XmlDocument::save(gpxDocument(session), path);
}
