// The dynamics report: one goods item's days as an HTML table in
// "GoodsDinamic.html", opened in the system's viewer for ".html" files.
#ifndef ORVEX_DYNAMICSREPORT_H
#define ORVEX_DYNAMICSREPORT_H

#include <windows.h>

class CDynamics;

// The shell's open request; a test puts a recorder in its place.
typedef HINSTANCE (WINAPI *ShellOpenFunction)(HWND owner, LPCSTR verb, LPCSTR file,
                                              LPCSTR parameters, LPCSTR directory, INT show);
// Null restores ShellExecuteA.
void SetShellOpenFunction(ShellOpenFunction function);

// Writes the report of dynamics row `row` (series `row`) and opens it. Nothing
// happens for a row that has no series; nothing is opened when the file cannot
// be created. Stores each day's opening balance into its day cell.
bool WriteDynamicsReport(CDynamics& dynamics, int row);

#endif
