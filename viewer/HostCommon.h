// Shared by the viewer's parts: console lines, timing, paths, the message pump
// and the window the plug-in is lent.
//
//   HostTables.cpp    the converter's tables read and fed through the add operations
//   PluginDriver.cpp  the host window, and the user's clicks on the plug-in's window
//   Viewer.cpp        the menu, folders, the converter run and the message boxes
//   OrvexHost.cpp     the command line and the run
#ifndef ORVEX_HOST_COMMON_H
#define ORVEX_HOST_COMMON_H

#include <windows.h>
#include <stdint.h>

#include <string>

#include "OrvexInterface.h"

namespace host {

// Registers a window class of the viewer's kind (arrow cursor, dialog-coloured
// background, this module); false when the system refuses it.
bool RegisterViewerClass(const char* name, WNDPROC procedure, HICON icon);

extern const char kLibraryName[];     // "Orvex_DLL.dll"
extern const char kConverterName[];   // "fromZORB.exe"
extern const char kReportName[];      // "GoodsDinamic.html", written by the plug-in

enum ExitCode { kExitOk = 0, kExitTableFaults = 1, kExitLibrary = 2, kExitStep = 3 };

// One console line (standard output, flushed at once).
void Say(const char* format, ...);

// -time: the time of a step and the peak memory.
extern bool g_timing;
double NowMs();
void SayTime(const char* step, double startMs);
void SayPeakMemory();

std::string JoinPath(const std::string& folder, const char* name);
std::string ProgramFolder();
bool FileExists(const std::string& path);
bool ParseCount(const char* text, int& value);

// The viewer's own window (menu, caption), which lives as long as the viewer,
// and the window lent to the plug-in for one session: a child that fills the
// viewer's client area (null between sessions). A session ends by destroying
// only its child: a top-level window is made once.
extern HWND g_main;
extern HWND g_host;
// The message pump.
extern bool g_quitPosted;
void Pump(DWORD milliseconds);
// A message the viewer takes before it is dispatched (menu keys, menu
// commands); true when it was taken.
extern bool (*g_preDispatch)(MSG& message);

}  // namespace host

#endif
