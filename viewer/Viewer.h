// The viewer: one window lent to the plug-in, the menu a user works with, and
// the run of the converter. A session is the plug-in loaded, attached to a
// fresh window and fed one folder's tables; opening another folder or
// converting a report ends the session and starts the next (the plug-in
// attaches once per load, as a host program loads it).
#ifndef ORVEX_VIEWER_H
#define ORVEX_VIEWER_H

#include <string>
#include <vector>

#include "HostTables.h"

namespace host {

enum ActionKind
{
    kTab, kSupplier, kBuild, kDoubleClick, kShot, kWait, kQuit, kOpen, kConvert, kMenuShot,
    kSort, kSelect, kSelectAll, kCopy, kSave, kFind, kFindNext
};

struct Action
{
    ActionKind kind;
    std::string text;
    int number = 0;
};

struct Options
{
    std::string folder;
    bool folderGiven = false;
    bool feed = true;
    // -idmode: the identifiers' display for this run, -1 when not given (the
    // one remembered, else codes).
    int idMode = -1;
    // -savelists: the plug-in saves its list files after every feed, as the
    // host program's protocol has it (the tests, benchmarks and crash runs).
    bool saveLists = false;
    std::vector<Action> actions;
    // Without -quit a person works the viewer: faults are also message boxes,
    // the tables' folder becomes the current one and is remembered.
    bool interactive = true;
};

class Viewer
{
public:
    explicit Viewer(const Options& options) : m_options(options) {}
    int Run();

    // The menu's commands, run from the message loop (never inside a window
    // procedure: a new session frees the library whose procedure that is).
    void OnCommand(int id);
    bool PreDispatch(MSG& message);

    // The versions in the programs' resources, "?" when there is none.
    static std::string VersionOf(const std::string& path);
    static void SayVersions();

private:
    bool LoadPlugin();
    void UnloadPlugin();
    void DestroyMain();
    int OpenSession(const std::string& folder, bool haveFolder, bool feed);
    void CloseSession();
    int Reload(const std::string& folder);
    std::string StartFolder(bool& haveFolder);
    bool RunAction(const Action& action, bool& quit);

    void OpenFolder();
    // autoClose: automation; the converter window does not wait for a person.
    bool Convert(const std::string& report, bool autoClose);
    void SaveCurrentList();
    bool ShowIdMode(int mode);
    void CheckIdMode();
    void OpenGuide();
    void ShowAbout();
    bool MenuPicture(const std::string& path);
    bool SaveLists();

    void Box(UINT type, const char* format, ...);
    void Notify(UINT type, const char* format, ...);

    struct Notice
    {
        UINT type;
        std::string text;
    };
    std::vector<Notice> m_notices;

    Options m_options;
    HMODULE m_library = NULL;
    IOrvexPlugin* m_plugin = NULL;
    Fed m_fed;
    std::string m_folder;
    HACCEL m_keys = NULL;
    int m_result = kExitOk;
    int m_idMode = 2;
};

}  // namespace host

#endif
