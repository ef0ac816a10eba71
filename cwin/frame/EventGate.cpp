// CEventGate: the event lock, the dispatch count and the worker registry.
#include "cwin/frame/EventGate.h"

#include <string.h>

CEventGate::CEventGate() : m_dispatchDepth(0), m_workerCount(0)
{
    memset(m_workers, 0, sizeof(m_workers));
    InitializeCriticalSection(&m_lock);
}

bool CEventGate::RegisterWorker(CMathFlow* worker, int interval, HWND mainWindow)
{
    if (!worker || m_workerCount >= CWIN_MAX_WORKERS)
        return false;
    m_workers[m_workerCount++] = worker;
    worker->mainWindow = mainWindow;
    worker->StartThread(interval);
    return true;
}
