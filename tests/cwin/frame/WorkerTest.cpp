// Workers: the thread routine's passes, the stop event, the frame's registry,
// and unloading a library whose workers still run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cwin/frame/AppFrame.h"
#include "cwin/system/MathFlow.h"

namespace {

// The named stop event of every worker of the session.
class StopEvent
{
public:
    StopEvent() : m_event(CreateEventA(NULL, TRUE, FALSE, "Exit_MathFlow")) { ResetEvent(m_event); }
    ~StopEvent()
    {
        ResetEvent(m_event);
        CloseHandle(m_event);
    }
    void Signal() { SetEvent(m_event); }
    void Reset() { ResetEvent(m_event); }
private:
    HANDLE m_event;
};

class RecordingWorker : public CMathFlow
{
public:
    RecordingWorker() : prepareResult(true), withdrawDuringWork(false) { InitializeCriticalSection(&m_lock); }
    ~RecordingWorker()
    {
        // A failed check must not leave a thread running on a destroyed object.
        if (thread && WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) {
            SetEvent(stopEvent);
            WaitForSingleObject(thread, 5000);
        }
        DeleteCriticalSection(&m_lock);
    }

    bool Prepare() override { Note("Prepare"); return prepareResult; }
    bool OnRunState(bool finished) override { Note(finished ? "OnRunState(1)" : "OnRunState(0)"); return true; }
    bool Work() override
    {
        Note("Work");
        if (withdrawDuringWork)
            workRequested = false;
        return true;
    }
    std::vector<std::string> Calls()
    {
        EnterCriticalSection(&m_lock);
        std::vector<std::string> copy = m_calls;
        LeaveCriticalSection(&m_lock);
        return copy;
    }
    bool Ended(DWORD ms = 5000) { return thread && WaitForSingleObject(thread, ms) == WAIT_OBJECT_0; }

    volatile bool prepareResult;
    volatile bool withdrawDuringWork;

private:
    void Note(const char* call)
    {
        EnterCriticalSection(&m_lock);
        m_calls.push_back(call);
        LeaveCriticalSection(&m_lock);
    }
    CRITICAL_SECTION m_lock;
    std::vector<std::string> m_calls;
};

// Waits until the worker's thread has cleared a request (polling, up to 5 s).
bool Served(RecordingWorker& worker, size_t calls)
{
    for (int i = 0; i < 500; ++i) {
        if (!worker.workRequested && worker.Calls().size() >= calls)
            return true;
        Sleep(10);
    }
    return false;
}

TEST(Worker, AStopSignalledBeforeTheStartEndsTheThreadAtItsFirstCheck)
{
    StopEvent stop;
    stop.Signal();
    CAppFrame frame;
    RecordingWorker worker;
    worker.workRequested = true;
    ASSERT_TRUE(frame.RegisterWorker(&worker, 10));
    EXPECT_TRUE(worker.Ended());
    EXPECT_TRUE(worker.Calls().empty());
    EXPECT_TRUE(worker.workRequested);   // never looked at
    DWORD code = 1;
    GetExitCodeThread(worker.thread, &code);
    EXPECT_EQ(code, 0u);
}

TEST(Worker, ARequestIsServedInOnePassInTheDocumentedOrder)
{
    StopEvent stop;
    CAppFrame frame;
    RecordingWorker worker;
    ASSERT_TRUE(frame.RegisterWorker(&worker, 10));
    EXPECT_EQ(worker.interval, 10);
    Sleep(100);
    EXPECT_TRUE(worker.Calls().empty());   // no request, no call

    worker.workRequested = true;
    ASSERT_TRUE(Served(worker, 4));
    Sleep(100);
    // The request stays set through the pass, so no second Prepare and no second run.
    EXPECT_EQ(worker.Calls(), (std::vector<std::string>{"Prepare", "OnRunState(0)", "Work", "OnRunState(1)"}));
    stop.Signal();
    EXPECT_TRUE(worker.Ended());
}

TEST(Worker, AWorkThatWithdrawsTheRequestIsFollowedByASecondPrepare)
{
    StopEvent stop;
    CAppFrame frame;
    RecordingWorker worker;
    worker.withdrawDuringWork = true;
    ASSERT_TRUE(frame.RegisterWorker(&worker, 10));
    worker.workRequested = true;
    ASSERT_TRUE(Served(worker, 5));
    Sleep(100);
    EXPECT_EQ(worker.Calls(), (std::vector<std::string>{"Prepare", "OnRunState(0)", "Work", "Prepare",
                                                         "OnRunState(1)"}));
    stop.Signal();
    EXPECT_TRUE(worker.Ended());
}

TEST(Worker, APrepareThatFailsSkipsThePassAndClearsTheRequest)
{
    StopEvent stop;
    CAppFrame frame;
    RecordingWorker worker;
    worker.prepareResult = false;
    ASSERT_TRUE(frame.RegisterWorker(&worker, 10));
    worker.workRequested = true;
    ASSERT_TRUE(Served(worker, 1));
    Sleep(100);
    EXPECT_EQ(worker.Calls(), (std::vector<std::string>{"Prepare"}));
    stop.Signal();
    EXPECT_TRUE(worker.Ended());
}

TEST(Worker, AStopEndsAThreadThatWaitsOutALongIntervalAtOnce)
{
    StopEvent stop;
    CAppFrame frame;
    RecordingWorker worker;
    ASSERT_TRUE(frame.RegisterWorker(&worker, 60000));
    Sleep(50);   // the thread is in its first interval
    stop.Signal();
    EXPECT_TRUE(worker.Ended(5000));
    EXPECT_TRUE(worker.Calls().empty());
}

TEST(Worker, AnIntervalBelowOneStartsNothing)
{
    CMathFlow worker;
    EXPECT_EQ(worker.interval, 1000);
    EXPECT_FALSE(worker.StartThread(0));
    EXPECT_FALSE(worker.StartThread(-5));
    EXPECT_EQ(worker.thread, (HANDLE)NULL);
    EXPECT_EQ(worker.stopEvent, (HANDLE)NULL);
    EXPECT_EQ(worker.interval, 1000);
}

TEST(Worker, TheFrameKeepsSixteenWorkers)
{
    StopEvent stop;
    CAppFrame frame;
    RecordingWorker workers[17];
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(frame.RegisterWorker(&workers[i], 50)) << i;
    EXPECT_FALSE(frame.RegisterWorker(&workers[16], 50));
    EXPECT_EQ(frame.Events().GetWorkerCount(), 16);
    EXPECT_EQ(frame.Events().GetWorker(15), &workers[15]);
    EXPECT_EQ(workers[16].thread, (HANDLE)NULL);
    EXPECT_EQ(workers[0].mainWindow, frame.GetMainWindow());
    stop.Signal();
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(workers[i].Ended()) << i;
}

template <class F>
F Export(HMODULE library, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Unloading a library whose workers run.
class WorkerLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        unloaded = CreateEventA(NULL, TRUE, FALSE, "WorkerLibraryUnloaded");
        ResetEvent(unloaded);
        library = LoadLibraryA("worker_library.dll");
        ASSERT_NE(library, (HMODULE)NULL);
        auto start = Export<int (*)(int)>(library, "StartTestWorkers");
        auto request = Export<void (*)()>(library, "RequestTestWork");
        auto passes = Export<LONG (*)()>(library, "TestWorkPasses");
        auto threadId = Export<DWORD (*)(int)>(library, "TestWorkerThreadId");
        ASSERT_TRUE(start && request && passes && threadId);
        ASSERT_EQ(start(10), 2);
        for (int i = 0; i < 2; ++i) {
            threads[i] = OpenThread(SYNCHRONIZE, FALSE, threadId(i));
            ASSERT_NE(threads[i], (HANDLE)NULL);
        }
        request();
        for (int i = 0; i < 500 && passes() < 2; ++i)
            Sleep(10);
        ASSERT_GE(passes(), 2);   // both threads run
    }
    void TearDown() override
    {
        for (HANDLE t : threads)
            if (t)
                CloseHandle(t);
        CloseHandle(unloaded);
    }
    bool Loaded() { return GetModuleHandleA("worker_library.dll") != NULL; }
    bool ThreadsEnded(DWORD ms)
    {
        return WaitForMultipleObjects(2, threads, TRUE, ms) == WAIT_OBJECT_0;
    }

    StopEvent stop;
    HANDLE unloaded = NULL;
    HMODULE library = NULL;
    HANDLE threads[2] = {NULL, NULL};
};

TEST_F(WorkerLibraryTest, FreeLibraryWhileWorkersRunKeepsItLoadedUntilTheyStop)
{
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_TRUE(Loaded());
    EXPECT_FALSE(ThreadsEnded(200));
    EXPECT_EQ(WaitForSingleObject(unloaded, 0), (DWORD)WAIT_TIMEOUT);

    // The host's stop: the last worker out unloads the library.
    stop.Signal();
    EXPECT_TRUE(ThreadsEnded(5000));
    EXPECT_EQ(WaitForSingleObject(unloaded, 5000), (DWORD)WAIT_OBJECT_0);
    EXPECT_FALSE(Loaded());
}

TEST_F(WorkerLibraryTest, StoppedWorkersLetFreeLibraryUnloadAtOnce)
{
    stop.Signal();
    ASSERT_TRUE(ThreadsEnded(5000));
    EXPECT_TRUE(Loaded());   // the test's own reference
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(WaitForSingleObject(unloaded, 0), (DWORD)WAIT_OBJECT_0);
    EXPECT_FALSE(Loaded());
}

}  // namespace
