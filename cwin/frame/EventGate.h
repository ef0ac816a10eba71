// CEventGate: the frame's event lock, the count of dispatches on the stack and
// the background workers, which take the same lock before they touch what
// event handlers touch.
#ifndef CWIN_EVENTGATE_H
#define CWIN_EVENTGATE_H

#include <windows.h>

#include "cwin/system/MathFlow.h"
#include "cwin/window/WindowOwner.h"

#define CWIN_MAX_WORKERS 16

class CEventGate : public IEventGate
{
public:
    CEventGate();
    CEventGate(const CEventGate&) = delete;
    CEventGate& operator=(const CEventGate&) = delete;

    void Lock() override { EnterCriticalSection(&m_lock); }
    void Unlock() override { LeaveCriticalSection(&m_lock); }
    bool TryLock() { return TryEnterCriticalSection(&m_lock) != FALSE; }

    // Dispatches, object procedures and modal pages on the stack: an object
    // the sweep freed under them would still be used when they return, so the
    // sweep waits until none is running.
    void EnterDispatch() override { ++m_dispatchDepth; }
    void LeaveDispatch() override { --m_dispatchDepth; }
    bool InDispatch() const { return m_dispatchDepth > 0; }

    // At most 16 workers; each one's thread starts on registration, with the
    // main window (null before the frame is attached) as its window.
    bool RegisterWorker(CMathFlow* worker, int interval, HWND mainWindow);
    int  GetWorkerCount() const { return m_workerCount; }
    CMathFlow* GetWorker(int index) const
    {
        return index >= 0 && index < m_workerCount ? m_workers[index] : NULL;
    }

private:
    // Never deleted: a worker's thread may still hold it when the frame goes.
    CRITICAL_SECTION m_lock;
    int        m_dispatchDepth;
    CMathFlow* m_workers[CWIN_MAX_WORKERS];
    int        m_workerCount;
};

#endif
