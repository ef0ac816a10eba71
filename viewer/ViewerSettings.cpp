// The viewer's settings in the registry and its file and folder dialogs.
#include "ViewerSettings.h"

#include <commdlg.h>
#include <shlobj.h>

#include <string.h>

#include "ViewerTexts.h"

namespace host {
namespace {

const char kSettingsKey[]     = "Software\\Orvex\\Viewer";
const char kLastFolderValue[] = "LastFolder";
const char kIdModeValue[]     = "IdMode";

void WriteSetting(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED && start)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, start);
    return 0;
}

// Pairs of description and pattern, each followed by '|', as the dialogs want them.
void MakeFilter(const char* pairs, char* filter, size_t size)
{
    lstrcpynA(filter, pairs, (int)size);
    for (char* c = filter; *c; ++c)
        if (*c == '|')
            *c = 0;
}

}  // namespace

std::string ReadLastFolder()
{
    char folder[MAX_PATH] = "";
    DWORD size = sizeof folder - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    LONG status = RegQueryValueExA(key, kLastFolderValue, NULL, &type, (BYTE*)folder, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return std::string();
    folder[size < sizeof folder ? size : sizeof folder - 1] = 0;
    return folder;
}

void WriteLastFolder(const std::string& folder)
{
    WriteSetting(kLastFolderValue, REG_SZ, folder.c_str(), (DWORD)folder.size() + 1);
}

int ReadIdMode()
{
    DWORD mode = 0, size = sizeof mode, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    LONG status = RegQueryValueExA(key, kIdModeValue, NULL, &type, (BYTE*)&mode, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && mode <= 2 ? (int)mode : -1;
}

void WriteIdMode(int mode)
{
    DWORD value = (DWORD)mode;
    WriteSetting(kIdModeValue, REG_DWORD, &value, sizeof value);
}

std::string ChooseFolder(HWND owner, const std::string& start)
{
    char chosen[MAX_PATH] = "";
    BROWSEINFOA browse;
    memset(&browse, 0, sizeof browse);
    browse.hwndOwner = owner;
    browse.pszDisplayName = chosen;
    browse.lpszTitle = text::kChooseFolder;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = BrowseCallback;
    browse.lParam = start.empty() ? 0 : (LPARAM)start.c_str();
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (!item)
        return std::string();
    bool ok = SHGetPathFromIDListA(item, chosen) != FALSE;
    CoTaskMemFree(item);
    return ok ? std::string(chosen) : std::string();
}

// What the open and save dialogs share; filter and file are the caller's buffers.
static void PrepareFileDialog(OPENFILENAMEA& dialog, HWND owner, const char* filterText, char (&filter)[256],
                              char (&file)[MAX_PATH], const std::string& folder, const char* title)
{
    MakeFilter(filterText, filter, sizeof filter);
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = folder.empty() ? NULL : folder.c_str();
    dialog.lpstrTitle = title;
}

std::string ChooseReport(HWND owner, const std::string& folder)
{
    char filter[256];
    char file[MAX_PATH] = "";
    OPENFILENAMEA dialog;
    PrepareFileDialog(dialog, owner, text::kReportFilter, filter, file, folder, text::kChooseReport);
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&dialog) ? std::string(file) : std::string();
}

std::string ChooseSaveFile(HWND owner, const std::string& folder, const std::string& name)
{
    char filter[256];
    char file[MAX_PATH] = "";
    lstrcpynA(file, name.c_str(), sizeof file);
    OPENFILENAMEA dialog;
    PrepareFileDialog(dialog, owner, text::kSaveListFilter, filter, file, folder, text::kSaveListTitle);
    dialog.lpstrDefExt = "csv";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    return GetSaveFileNameA(&dialog) ? std::string(file) : std::string();
}

}  // namespace host
