#ifndef VOK_TESTS_SAMPLESESSION_H
#define VOK_TESTS_SAMPLESESSION_H

// A small ride written out by hand in the power meter's formats, and opening
// it in a main window through File > Open.

#include "DialogDriver.h"
#include "MainWindow.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Four samples, photo references on the second and the fourth (the third has
// an empty 20th field), one single-turn file two seconds after the start.
// Longitude, latitude and altitude in metres of the samples:
//   11.1234,45.6789,352  11.1235,45.679,352  11.1236,45.6791,353  11.1237,45.6792,355
inline QString writeSampleSession(const QString &directory)
{
    QDir().mkpath(directory);
    const QString session = directory + QStringLiteral("/S_100407_10-30.csv");
    QFile file(session);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("VOK_session_file ,S_100407_10-30.csv\r\n"
               "Km @ Start ,1523.4\r\n"
               "Time @ Start ,10-30-15\r\n"
               "N,Time,Lon,Lat,Alt,HR,Cad,Speed,-,Ptot,Pl,Pr,Ol,Or,UDl,UDr,-,-,Dist,Photo\r\n"
               "0,0:00:00,11.1234,45.6789,352,118,84,24.6,0,212,104,108,3.5,4.0,51,49,0,0,0.000\r\n"
               "1,0:00:01,11.1235,45.679,352,120,85,24.9,0,220,108,112,3.4,4.1,52,48,0,0,0.007,IMG_0001.jpg\r\n"
               "2,0:00:02,11.1236,45.6791,353,121,86,25.1,0,230,112,118,3.3,4.2,53,47,0,0,0.014,\r\n"
               "3,0:00:03,11.1237,45.6792,355,122,86,25.3,0,236,116,120,3.2,4.3,54,46,0,0,0.021,IMG_0002.jpg\r\n"
               "#####\r\n");
    file.close();

    QFile turn(directory + QStringLiteral("/T_100407.10-30-17.csv"));
    if (!turn.open(QIODevice::WriteOnly))
        return QString();
    turn.write("VOK_Single_Turn_file ,T_100407.10-30-17.csv\r\n"
               "0,0,152.3,210.5,12.1\r\n"
               "1,10,160.0,230.2,10.4\r\n"
               "2,20,171.8,241.0,9.9\r\n"
               "#####\r\n");
    return session;
}

// Opens session in window as a user would; false if anything complained.
inline bool openSession(MainWindow &window, const QString &session)
{
    DialogDriver driver;
    driver.fileToChoose = session;
    window.open();
    return driver.fileDialogs.size() == 1 && driver.messages.isEmpty()
        && window.sessionRecord().fileName == QFileInfo(session).fileName();
}

#endif
