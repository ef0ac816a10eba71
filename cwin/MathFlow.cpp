#include "MathFlow.h"

#include <string.h>

CMathFlow::CMathFlow()
    : mainWindow(NULL), interval(1000), stopEvent(NULL), thread(NULL), threadId(0), workRequested(false)
{
    memset(reserved, 0, sizeof(reserved));
}

bool CMathFlow::Prepare()
{
    return true;
}

bool CMathFlow::OnRunState(bool)
{
    return true;
}

bool CMathFlow::Work()
{
    return true;
}

bool CMathFlow::StartThread(int newInterval)
{
    if (newInterval < 1)
        return false;
    interval = newInterval;
    // Manual reset and named: one signal stops every worker of the process.
    stopEvent = CreateEventA(NULL, TRUE, FALSE, "Exit_MathFlow");
    DWORD id = 0;
    thread = CreateThread(NULL, 0, ThreadRoutine, this, 0, &id);
    threadId = id;
    return true;
}

DWORD WINAPI CMathFlow::ThreadRoutine(void* argument)
{
    CMathFlow* worker = static_cast<CMathFlow*>(argument);
    if (!worker)
        return 0;
    while (WaitForSingleObject(worker->stopEvent, 0) != WAIT_OBJECT_0) {
        if (worker->workRequested && worker->Prepare()) {
            worker->OnRunState(false);
            worker->Work();
            if (!worker->workRequested)
                worker->Prepare();
            worker->OnRunState(true);
        }
        worker->workRequested = false;
        Sleep((DWORD)worker->interval);
    }
    return 0;
}
