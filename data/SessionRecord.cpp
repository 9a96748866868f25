#include "SessionRecord.h"

void SessionRecord::reset()
{
    fileName.clear();
    for (int number = 0; number < ChannelCount; ++number)
        channel(number)->clear();
    longitude.clear();
    latitude.clear();
    photos.clear();
    turns.clear();
    startDateTime = QDateTime();
    startKm = 0.0;
    xData = nullptr;
}

void SessionRecord::setXChannel(int number)
{
    xChannel = number;
    if (const QVector<double> *array = channel(number))
        xData = array;
}

QVector<double> *SessionRecord::channel(int number)
{
    return const_cast<QVector<double> *>(static_cast<const SessionRecord *>(this)->channel(number));
}

const QVector<double> *SessionRecord::channel(int number) const
{
    switch (number) {
    case PowerLeftChannel: return &powerLeft;
    case PowerRightChannel: return &powerRight;
    case PowerTotChannel: return &powerTot;
    case OffsetLeftChannel: return &offsetLeft;
    case OffsetRightChannel: return &offsetRight;
    case UpDownLeftChannel: return &upDownLeft;
    case UpDownRightChannel: return &upDownRight;
    case HeightChannel: return &height;
    case SpeedChannel: return &speed;
    case HeartRateChannel: return &heartRate;
    case CadenceChannel: return &cadence;
    case TimeChannel: return &time;
    case SpaceChannel: return &space;
    default: return nullptr;
    }
}

bool SessionRecord::read(const QString &path)
{
    Q_UNUSED(path);
    reset();
    return false;
}

bool SessionRecord::scanTurnFiles(const QString &directory)
{
    Q_UNUSED(directory);
    return true;
}
