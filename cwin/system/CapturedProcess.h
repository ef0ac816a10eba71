// CCapturedProcess: a child process whose standard output and error come
// through one pipe, read without blocking (a window's loop polls it) or piece
// by piece on a thread of the caller's.
#ifndef CWIN_CAPTUREDPROCESS_H
#define CWIN_CAPTUREDPROCESS_H

#include <windows.h>

#include <string>

class CCapturedProcess
{
public:
    enum ReadResult { Read, NothingYet, PipeClosed };

    CCapturedProcess() = default;
    // Closes the handles; a process still running is left to run.
    ~CCapturedProcess();
    CCapturedProcess(const CCapturedProcess&) = delete;
    CCapturedProcess& operator=(const CCapturedProcess&) = delete;

    // Starts the command line (the program named by `program`, or by the
    // line's first token when it is null) in `directory`. `input` becomes the
    // child's standard input (null: none). False: see StartError.
    bool Start(const char* program, const std::string& commandLine, const char* directory, DWORD creationFlags,
               HANDLE input = NULL);
    DWORD StartError() const { return m_startError; }
    bool Started() const { return m_process != NULL; }

    // What the pipe holds now, appended to `output`, without waiting.
    ReadResult ReadAvailable(std::string& output);
    // Waits for the next piece and appends it; false once every writer has
    // closed the pipe (the child and its children ended) and nothing is left.
    bool ReadNext(std::string& output);

    HANDLE Process() const { return m_process; }
    DWORD ProcessId() const { return m_processId; }
    // True once the process has ended (waiting at most `milliseconds`).
    bool Wait(DWORD milliseconds);
    // Ends a process still running with that exit code, and waits briefly for it.
    void Stop(UINT exitCode);
    // The exit code, or STILL_ACTIVE while it runs.
    DWORD ExitCode() const;

private:
    HANDLE m_process = NULL;
    HANDLE m_pipe = NULL;
    DWORD m_processId = 0;
    DWORD m_startError = 0;
};

#endif
