// A library that registers two workers with its own frame, as the plug-in does,
// so that a test can load and unload it while their threads run.
#include <windows.h>

#include "cwin/frame/AppFrame.h"
#include "cwin/system/HeapRegistry.h"
#include "cwin/system/MathFlow.h"

static CAppFrame g_frame;
static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_PLUGIN);

static volatile LONG g_passes = 0;

class CountingWorker : public CMathFlow
{
public:
    bool Work() override
    {
        InterlockedIncrement(&g_passes);
        return true;
    }
};

static CountingWorker g_workers[2];

// Tells the test that static destruction ran, which happens only at unload.
struct UnloadSignal
{
    ~UnloadSignal()
    {
        HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, "WorkerLibraryUnloaded");
        if (event) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
};
static UnloadSignal g_unloadSignal;

extern "C" __declspec(dllexport) int StartTestWorkers(int interval)
{
    int started = 0;
    for (CountingWorker& worker : g_workers)
        if (g_frame.RegisterWorker(&worker, interval))
            ++started;
    return started;
}

extern "C" __declspec(dllexport) void RequestTestWork()
{
    for (CountingWorker& worker : g_workers)
        worker.workRequested = true;
}

extern "C" __declspec(dllexport) LONG TestWorkPasses()
{
    return g_passes;
}

extern "C" __declspec(dllexport) DWORD TestWorkerThreadId(int index)
{
    return index >= 0 && index < 2 ? g_workers[index].threadId : 0;
}
