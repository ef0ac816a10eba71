// Helpers shared by the test programs: a message-box recorder, scratch
// folders, whole-file bytes, and running a program with its console output.
#ifndef TESTS_TESTSUPPORT_H
#define TESTS_TESTSUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "WindowLookup.h"

struct RecordedBox
{
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// Replaces the framework's message box by a recorder for its lifetime.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    const std::vector<RecordedBox>& Boxes() const;
    void Clear();
};

// A fresh empty folder under the temporary folder, removed with its files.
class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }
private:
    std::string m_path;
};

// Makes the folder the current directory for the object's lifetime.
class CurrentDir
{
public:
    explicit CurrentDir(const std::string& path);
    ~CurrentDir();
private:
    std::string m_previous;
};

bool WriteBytes(const std::string& path, const std::string& bytes);
bool ReadBytes(const std::string& path, std::string* bytes);
bool FileThere(const std::string& path);

// The folder of the running test program (the build's bin folder).
std::string ProgramDir();

struct ProcessResult
{
    bool started = false;
    DWORD exitCode = 0;
    std::string output;   // standard output, as bytes
};

// Starts a command line in a folder with its standard output and error going
// to a pipe, whose read end it hands back.
bool StartProgram(const std::string& commandLine, const std::string& folder, PROCESS_INFORMATION* process,
                  HANDLE* readEnd);

// Runs a command line in a folder and collects its standard output; a program
// still running after timeoutMs is stopped (exit code 99) and the test fails.
ProcessResult RunProgram(const std::string& commandLine, const std::string& folder,
                         DWORD timeoutMs = 60000);

// Reads a child's output pipe until the child ends, for at most timeoutMs
// (a child that hangs, or hands the pipe on to one of its own, cannot stop the
// reader); false when it was still running then.
bool CollectOutput(HANDLE readEnd, HANDLE process, DWORD timeoutMs, std::string* output);

// FindListWithColumns: the list view among the window's descendants whose
// header has this many columns (shared with the fuzzing host).

// Renders bytes for a failure message: printable ASCII as is, others as \xNN.
std::string Escaped(const std::string& bytes);

// Delivers everything queued for this thread (at most 100,000 messages; more
// fails the test).
void Pump();

// Pumps until done() holds, for at most about ms milliseconds; what done() says
// last. Real input and timers arrive when they arrive, above all on a busy machine.
template <class Done> bool PumpUntil(Done done, int ms = 2000)
{
    for (int waited = 0; !done(); waited += 10) {
        if (waited >= ms)
            return false;
        Pump();
        Sleep(10);
    }
    return true;
}

#endif
