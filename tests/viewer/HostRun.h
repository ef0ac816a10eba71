// The viewer OrvexHost.exe run as its own process: files in and out, its
// console output through a pipe, and the windows it shows (its main window,
// its message boxes), found by its process id.
#ifndef ORVEX_TESTS_HOST_RUN_H
#define ORVEX_TESTS_HOST_RUN_H

#include <windows.h>

#include "cwin/system/CapturedProcess.h"

#include <string>
#include <vector>

namespace hosttest {

extern std::string g_openLog;   // where the test ".html" association notes each open request

std::string Folder(const std::string& path);
std::string ThisFolder();
bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
// A fresh folder under the temporary folder: every test is a process of its
// own, and Wine gives out the same process ids again.
std::string NewFolder(const char* prefix);

struct HostRun
{
    bool finished = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
};

// Runs a program with its console output in a pipe, in the given directory,
// and waits for it (120 s at most, then it is stopped and the test fails).
HostRun RunProgram(const std::string& program, const std::string& arguments, const std::string& directory);

// A program left running while the test works its windows.
class RunningProgram
{
public:
    RunningProgram(const std::string& program, const std::string& arguments, const std::string& directory);
    ~RunningProgram();
    bool Started() const { return m_child.Started(); }
    // The first visible top-level window of the process with that class, or null
    // after the given time.
    HWND WaitForWindow(const char* className, DWORD milliseconds);
    HWND WaitForBox(DWORD milliseconds = 60000) { return WaitForWindow("#32770", milliseconds); }
    // Waits for the end (stopping the program after the given time).
    HostRun Finish(DWORD milliseconds = 60000);
    // The console output so far; waits until it holds the text (false after
    // the given time or when the program ended without it).
    std::string Output();
    bool WaitForOutput(const std::string& text, DWORD milliseconds = 60000);

private:
    static DWORD WINAPI ReadOutput(void* self);
    CCapturedProcess m_child;
    HANDLE m_reader = NULL;
    std::string m_output;
    CRITICAL_SECTION m_lock;
};

// The texts of a message box (its static controls), and its OK pressed.
std::string BoxText(HWND box);
void PressOk(HWND box);
std::string WindowText(HWND window);
// The text a control holds (an edit box's own text), asked of it: the window
// text of another process's window is only its caption.
std::string ControlText(HWND control);
// The paths of the modules loaded in the process that owns the window.
std::vector<std::string> ModulesOf(HWND window);

// The first shown descendant of the window with that class (and dialog item id,
// when not -1); null when none.
HWND ShownChild(HWND parent, const char* className, int itemId = -1);
// The number of rows of a list view and the text of one of its cells, in
// another process (the text is read out of that process's memory).
int ListRows(HWND list);
std::string ListCellText(HWND list, int row, int column);
// The clipboard's text in code page 1251 (CF_TEXT); empty when none.
std::string ClipboardText();
// The file dialog of another process: the file name typed in, and «Open» or
// «Save» pressed.
bool ChooseInFileDialog(HWND dialog, const std::string& path);

}  // namespace hosttest

#endif
