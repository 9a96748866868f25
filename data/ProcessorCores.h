#ifndef VOK_PROCESSORCORES_H
#define VOK_PROCESSORCORES_H

// How many processor cores this process may run on: those its affinity
// allows, where the system tells (Linux), else the machine's. Work is shared
// with a second thread only where there are two: on one core the threads
// would only take turns. Asked afresh each time, since the affinity may
// change while the program runs.
class ProcessorCores
{
public:
    static int usable();
};

#endif
