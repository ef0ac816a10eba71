// CCapturedProcess: CreateProcess with its output through an inherited pipe.
#include "cwin/system/CapturedProcess.h"

#include <string.h>

#include <vector>

CCapturedProcess::~CCapturedProcess()
{
    if (m_process)
        CloseHandle(m_process);
    if (m_pipe)
        CloseHandle(m_pipe);
}

bool CCapturedProcess::Start(const char* program, const std::string& commandLine, const char* directory,
                             DWORD creationFlags, HANDLE input)
{
    if (m_process) {
        m_startError = ERROR_ALREADY_EXISTS;
        return false;
    }
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE writeEnd = NULL;
    if (!CreatePipe(&m_pipe, &writeEnd, &inherit, 0)) {
        m_startError = GetLastError();
        m_pipe = NULL;
        return false;
    }
    // Only the write end goes to the child: with the read end inherited too,
    // the pipe would never report its end.
    SetHandleInformation(m_pipe, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = input;
    PROCESS_INFORMATION process;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    bool started = CreateProcessA(program, line.data(), NULL, NULL, TRUE, creationFlags, NULL, directory,
                                  &startup, &process) != FALSE;
    m_startError = started ? 0 : GetLastError();
    // The child holds its own copy; ours would keep the pipe open forever.
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(m_pipe);
        m_pipe = NULL;
        return false;
    }
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;
    return true;
}

CCapturedProcess::ReadResult CCapturedProcess::ReadAvailable(std::string& output)
{
    DWORD available = 0;
    if (!m_pipe || !PeekNamedPipe(m_pipe, NULL, 0, NULL, &available, NULL))
        return PipeClosed;
    if (!available)
        return NothingYet;
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(m_pipe, buffer, available < sizeof buffer ? available : (DWORD)sizeof buffer, &got, NULL))
        return PipeClosed;
    output.append(buffer, got);
    return Read;
}

bool CCapturedProcess::ReadNext(std::string& output)
{
    char buffer[4096];
    DWORD got = 0;
    if (!m_pipe || !ReadFile(m_pipe, buffer, sizeof buffer, &got, NULL) || !got)
        return false;
    output.append(buffer, got);
    return true;
}

bool CCapturedProcess::Wait(DWORD milliseconds)
{
    return m_process && WaitForSingleObject(m_process, milliseconds) == WAIT_OBJECT_0;
}

void CCapturedProcess::Stop(UINT exitCode)
{
    if (m_process && WaitForSingleObject(m_process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(m_process, exitCode);
        WaitForSingleObject(m_process, 5000);
    }
}

DWORD CCapturedProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (!m_process || !GetExitCodeProcess(m_process, &code))
        return STILL_ACTIVE;
    return code;
}
