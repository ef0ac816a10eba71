// What the viewer remembers between runs (the registry of the current user)
// and the dialogs that ask a person for a folder or a file.
#ifndef ORVEX_VIEWER_SETTINGS_H
#define ORVEX_VIEWER_SETTINGS_H

#include <windows.h>

#include <string>

namespace host {

std::string ReadLastFolder();
void WriteLastFolder(const std::string& folder);
// The identifiers' display chosen last, -1 when none is remembered.
int ReadIdMode();
void WriteIdMode(int mode);

// Empty when the person cancels.
std::string ChooseFolder(HWND owner, const std::string& start);
std::string ChooseReport(HWND owner, const std::string& folder);
std::string ChooseSaveFile(HWND owner, const std::string& folder, const std::string& name);

}  // namespace host

#endif
