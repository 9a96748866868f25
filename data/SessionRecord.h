#ifndef VOK_SESSIONRECORD_H
#define VOK_SESSIONRECORD_H

#include "RideIndex.h"
#include "TurnRecord.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

// The loaded ride: header values, the per-sample arrays, the GPS track, the
// photo references and the single-turn records found beside the file.
// There is one per main window; every file is read into the same object and
// the plots point straight into its arrays.
class SessionRecord
{
public:
    // The numbers that name the per-sample arrays. 0 to 10 are the measured
    // channels, 11 and 12 the two possible x axes.
    enum Channel {
        PowerLeftChannel = 0,
        PowerRightChannel = 1,
        PowerTotChannel = 2,
        OffsetLeftChannel = 3,
        OffsetRightChannel = 4,
        UpDownLeftChannel = 5,
        UpDownRightChannel = 6,
        HeightChannel = 7,
        SpeedChannel = 8,
        HeartRateChannel = 9,
        CadenceChannel = 10,
        TimeChannel = 11,
        SpaceChannel = 12,
        ChannelCount = 13,
        MeasuredChannelCount = 11
    };

    QVector<double> powerLeft;
    QVector<double> powerRight;
    QVector<double> powerTot;
    QVector<double> offsetLeft;
    QVector<double> offsetRight;
    QVector<double> upDownLeft;
    QVector<double> upDownRight;
    QVector<double> height;    // tens of metres
    QVector<double> speed;     // km/h
    QVector<double> heartRate; // beats per minute
    QVector<double> cadence;   // crank revolutions per minute
    const QVector<double> *xData = nullptr; // one of the channel arrays, or none
    QVector<double> time;      // seconds since the start
    QVector<double> space;     // kilometres since the start
    QVector<double> longitude;
    QVector<double> latitude;
    QMap<int, QString> photos; // sample index -> photo reference
    int xChannel = TimeChannel;
    QDateTime startDateTime;
    double startKm = 0.0;
    QList<TurnRecord> turns;
    QString fileName;          // the file's name without its directory
    // Built on the arrays at the end of every read, good or bad; a record
    // filled by other means builds it with rideIndex.build(record).
    RideIndex rideIndex;

    SessionRecord() = default;
    SessionRecord(const SessionRecord &) = delete;
    SessionRecord &operator=(const SessionRecord &) = delete;

    void reset();
    void setXChannel(int channel);

    bool read(const QString &path);
    bool scanTurnFiles(const QString &directory);

    // The array of a channel number, or nullptr outside 0 to 12.
    QVector<double> *channel(int number);
    const QVector<double> *channel(int number) const;

    // Whether the sample has a GPS position: one recorded without a fix
    // reads longitude 0 and latitude 0.
    bool hasPosition(int sample) const
    {
        return longitude.at(sample) != 0.0 || latitude.at(sample) != 0.0;
    }

    // Number of samples on the x axis: the length of xData, 0 when there is none.
    int sampleCount() const { return xData ? xData->size() : 0; }

private:
    bool readFile(const QString &path);
};

#endif
