// Steps on the plug-in's window, as a user's clicks and keys give them: the
// automation options of the viewer (-tab, -supplier, -build, -dblclick, -sort,
// -select, -selectall, -copy, -save, -find, -shot) and the pictures of the
// window. Each says on the console what it did or why not.
#ifndef ORVEX_PLUGIN_DRIVER_H
#define ORVEX_PLUGIN_DRIVER_H

#include <string>

#include "HostTables.h"

namespace host {

bool SelectTab(int index);
// N (storage order) or "most": the supplier with the most goods in its dynamics.
bool PickSupplier(const Fed& fed, const std::string& which);
bool PressBuild();
bool DoubleClickRow(int row);

// The list of the current page (the one shown), null when none is.
HWND CurrentList();
// The caption of the current tab ("" when there is none).
std::string CurrentTabName();
// A click on the header item of the column: the list sorts by it.
bool ClickHeader(int column);
// A click on the row: it becomes the only selected one.
bool ClickRow(int row);
// The commands of the list's keys (Ctrl+A, Ctrl+C, Ctrl+F, F3) and of saving it.
bool SelectAllRows();
// "clipboard", or a file that receives the clipboard's text (code page 1251).
bool CopyRows(const std::string& target);
bool SaveList(const std::string& path);
// The text, or with null the last one again; not finding it is no failure.
bool FindRow(const std::string* text);
// The host window's client area as it is on the screen, as a 24-bit BMP.
bool TakePicture(const std::string& path);
// Any rectangle of the screen, as a 24-bit BMP.
bool WriteBitmap(const char* path, HDC source, int left, int top, int width, int height);
// The whole window painted again at once (for pictures).
void Repaint();
// What is left invalid painted at once, nothing more: a step ends with the
// window shown as it now is, painted once.
void FinishPainting();
// The whole window to be painted again at the next paint.
void Invalidate();

}  // namespace host

#endif
