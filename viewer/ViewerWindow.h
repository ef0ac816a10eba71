// The viewer's windows: its own top-level window with the menu, made once per
// run, and the page lent to the plug-in for one session, a child that fills
// the top-level window's client area.
#ifndef ORVEX_VIEWER_WINDOW_H
#define ORVEX_VIEWER_WINDOW_H

#include <windows.h>

#include <string>

namespace host {

// A menu command travels to the message loop as a thread message.
const UINT kViewerCommand = WM_APP + 1;

HWND CreateMainWindow(const std::string& caption);
// A fresh page for each session: the plug-in attaches once per load, and
// subclasses the window it is lent until it is unloaded.
HWND CreateHostPage(HWND main, const std::string& label);

}  // namespace host

#endif
