// CMathFlow: the worker thread that wakes, tests the stop event and sleeps.
#include "cwin/system/MathFlow.h"

CMathFlow::CMathFlow()
    : mainWindow(NULL), interval(1000), stopEvent(NULL), thread(NULL), threadId(0), workRequested(false)
{
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
    HMODULE library = PinLibrary();
    DWORD id = 0;
    thread = CreateThread(NULL, 0, ThreadRoutine, this, 0, &id);
    threadId = id;
    if (!thread && library)
        FreeLibrary(library);
    return true;
}

// The module holding this code when it is a library (the plug-in), else null.
static HMODULE CodeLibrary()
{
    HMODULE module = NULL;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&CMathFlow::ThreadRoutine), &module))
        return NULL;
    return module == GetModuleHandleA(NULL) ? NULL : module;
}

// A worker thread of a library holds a reference to it, taken here before the
// thread exists: the library cannot be unmapped under a running worker. The
// thread gives the reference back on its way out through
// FreeLibraryAndExitThread, which returns into no code of the library. Nothing
// ever waits for a worker inside the library's entry point, where the loader
// lock would keep the thread from ending. So a host unloads the plug-in by
// signalling "Exit_MathFlow"; the last worker out unloads it. A FreeLibrary
// alone leaves it loaded and running, never half unloaded.
HMODULE CMathFlow::PinLibrary()
{
    HMODULE module = CodeLibrary();
    if (!module)
        return NULL;
    HMODULE pinned = NULL;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&CMathFlow::ThreadRoutine), &pinned))
        return NULL;
    return pinned;
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
        // The interval is waited out on the stop event: a host that unloads
        // the library does not wait for the rest of a sleep.
        if (WaitForSingleObject(worker->stopEvent, (DWORD)worker->interval) == WAIT_OBJECT_0)
            break;
    }
    HMODULE library = CodeLibrary();
    if (library)
        FreeLibraryAndExitThread(library, 0);
    return 0;
}
