// Steps on the plug-in's window, as a user's clicks give them: the automation
// options of the viewer (-tab, -supplier, -build, -dblclick, -shot) and the
// pictures of the window. Each says on the console what it did or why not.
#ifndef ORVEX_PLUGIN_DRIVER_H
#define ORVEX_PLUGIN_DRIVER_H

#include <string>

#include "HostTables.h"

namespace host {

bool SelectTab(int index);
// N (storage order) or "most": the supplier with the most goods in its dynamics.
bool PickSupplier(IOrvexPlugin* plugin, const Fed& fed, const std::string& which);
bool PressBuild();
bool DoubleClickRow(int row);
// The host window's client area as it is on the screen, as a 24-bit BMP.
bool TakePicture(const std::string& path);
// Any rectangle of the screen, as a 24-bit BMP.
bool WriteBitmap(const char* path, HDC source, int left, int top, int width, int height);
void Repaint();

}  // namespace host

#endif
