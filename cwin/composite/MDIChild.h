// CMDI_Child ("MDI"): an MDI client in the frame's main window and the window
// class "CWin_CMDI_Child_Class" of the child windows its owner creates in it
// (for example with WM_MDICREATE). A child's creation reaches the owner as
// EV_DIALOG_INIT on the current MDI control (one per process: the last one
// made); the owner enters the child with AddChild, which also ties the child
// to the control, and the child leaves the table when it is destroyed.
#ifndef CWIN_MDICHILD_H
#define CWIN_MDICHILD_H

#include "cwin/window/BaseWindow.h"

#define CWIN_MDI_CHILD_CLASS   "CWin_CMDI_Child_Class"
#define CWIN_MAX_MDI_CHILDREN  128
#define CWIN_MDI_FIRST_CHILD_ID 4100

class CMDI_Child : public CBaseWindow
{
public:
    static constexpr int Kind = KIND_MDI;
    CMDI_Child();
    ~CMDI_Child();

    // IWindow: a destroyed control gets no more reports.
    bool Destroy() override;

    // CBaseWindow
    bool Create() override;
    bool Release() override;

    // Enters a child with the owner's value and stores the control in the
    // child's GWL_USERDATA (windows of the child class only). False for a null
    // handle, no window, a child already entered or a full table.
    bool AddChild(HWND child, int value);
    // Removes the first entry of the child; the later ones move up. False when
    // the child is not in the table.
    bool RemoveChild(HWND child);
    int  FindChild(HWND child) const;
    int  GetChildCount() const { return childCount; }
    HWND GetChild(int index) const;
    int  GetChildValue(int index) const;
    HWND GetActiveChild() const { return activeChild; }

    // The control the children report to, or null.
    static CMDI_Child* Current();

    struct ChildEntry
    {
        HWND window;
        int  value;
    };

    HWND        activeChild;
    int         mdiId;
    ChildEntry  children[CWIN_MAX_MDI_CHILDREN];
    int         childCount;
    const char* childClass;

private:
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static CMDI_Child* ControlOf(HWND child);
    void Forget();
};

#endif
