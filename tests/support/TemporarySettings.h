#ifndef VOK_TEMPORARYSETTINGS_H
#define VOK_TEMPORARYSETTINGS_H

#include <QString>
#include <QTemporaryDir>

// Points the application's settings store, and its standard locations, at a
// fresh temporary directory for as long as the object lives, under the same
// identity the program uses. Settings written by one MainWindow are read back
// by the next, as in two runs of the program.
class TemporarySettings
{
public:
    TemporarySettings();
    ~TemporarySettings();

    QString path() const { return dir.path(); }
    // Forget everything stored so far.
    void clear();

private:
    QTemporaryDir dir;
};

#endif
