#ifndef VOK_SCRATCHRIDE_H
#define VOK_SCRATCHRIDE_H

#include "RideGenerator.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// A generated ride in a temporary folder for the life of the object; a
// ride that cannot be written ends the program.
class ScratchRide
{
public:
    explicit ScratchRide(const RidePlan &plan)
        : path(RideGenerator(plan).write(dir.path()))
    {
        if (path.isEmpty()) {
            std::fprintf(stderr, "could not write the ride into %s\n", qPrintable(dir.path()));
            std::exit(1);
        }
    }

private:
    QTemporaryDir dir; // before path: the ride is written into it

public:
    const QString path;
};

#endif
