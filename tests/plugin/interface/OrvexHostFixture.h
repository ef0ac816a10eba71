// A test host for the real plug-in library: a top-level window with children
// of its own, Orvex_DLL.dll loaded from the test programs' folder, and the
// ways a host reads back what the plug-in shows.
#ifndef TESTS_ORVEXHOSTFIXTURE_H
#define TESTS_ORVEXHOSTFIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ImportRedirect.h"
#include "OrvexInterface.h"
#include "TestSupport.h"

// The library's open requests, recorded in place of ShellExecuteA.
struct OpenRequest
{
    std::string verb, file;
    int show;
};
std::vector<OpenRequest>& OpenRequests();

// The items of every pop-up menu the host saw opening (its first item is chosen).
std::vector<std::string>& MenuItemsSeen();
// How many times the host presses Down before Enter in the pop-up menus that
// open (separators are passed over); 1, the first item, at every test's start.
int& MenuDownPresses();

// A message box of the library found on screen, read and closed by a watcher thread.
struct SeenBox
{
    std::string caption, text;
};
class BoxWatcher
{
public:
    explicit BoxWatcher(const char* caption);
    ~BoxWatcher();
    // Waits for the watcher; the boxes it closed.
    const std::vector<SeenBox>& Finish();
private:
    static DWORD WINAPI Watch(void* self);
    std::string m_caption;
    std::vector<SeenBox> m_seen;
    HANDLE m_thread;
    volatile bool m_stop;
};

class OrvexHost : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the library (fresh statics) and makes the host window with `children` buttons.
    bool Load(int children = 3);
    // Host window destroyed (unless kept), "Exit_MathFlow" signalled, library
    // freed; true once it is unmapped.
    bool Unload(bool keepHostWindow = false);
    bool Attach(const char* moduleName = "Orvex_DLL.dll");

    // The plug-in's windows, found among the host window's children.
    HWND Tabs();
    // The list with this many columns: goods 11, suppliers 5, moves 7, balances 3, dynamics 2.
    HWND ListWithColumns(int columns);
    HWND GoodsList() { return ListWithColumns(11); }
    HWND SupplierList() { return ListWithColumns(5); }
    HWND MoveList() { return ListWithColumns(7); }
    HWND BalanceList() { return ListWithColumns(3); }
    HWND DynamicsList() { return ListWithColumns(2); }
    HWND DynamicsStrip();
    std::string Cell(HWND list, int row, int column);
    int Rows(HWND list) { return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
    // A click on the tab's rectangle, as a user makes it.
    void ClickTab(int tab);
    void ClickRow(HWND list, int row, bool twice);
    // The four list files the plug-in saved to the root of drive c:, read and
    // removed (goods, suppliers, moves, balances, as kListFileNames names them).
    void TakeListFiles(std::string files[4]);
    static const char* const kListFileNames[4];

    HWND host = NULL;
    std::vector<HWND> hostChildren;
    HMODULE library = NULL;
    IOrvexPlugin* plugin = NULL;
    ScratchDir scratch;
    CurrentDir* here = NULL;
};

#endif
