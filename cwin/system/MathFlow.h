// CMathFlow: base of objects that do periodic work on a thread of their own.
//
// The application frame keeps up to 16 of them (RegisterWorker) and starts each
// one's thread. A thread wakes once per interval, runs Prepare / OnRunState /
// Work only when work was requested, and ends once the named manual-reset event
// "Exit_MathFlow" is signalled.
#ifndef CWIN_MATHFLOW_H
#define CWIN_MATHFLOW_H

#include <windows.h>
#include <stdint.h>

class CMathFlow
{
public:
    CMathFlow();
    virtual ~CMathFlow() {}

    virtual bool Prepare();
    virtual bool OnRunState(bool finished);
    virtual bool Work();

    bool StartThread(int interval);

    HWND     mainWindow;
    int32_t  interval;
    HANDLE   stopEvent;
    HANDLE   thread;
    uint32_t threadId;
    volatile bool workRequested;

    static DWORD WINAPI ThreadRoutine(void* worker);

private:
    static HMODULE PinLibrary();
};

#endif
