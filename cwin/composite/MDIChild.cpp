// CMDI_Child: the MDI client and the window class of its child windows.
#include "cwin/composite/MDIChild.h"
#include "cwin/window/WindowClass.h"

#include <string.h>

// The control the children's creation and size reports go to.
static CMDI_Child* s_current = NULL;

CMDI_Child::CMDI_Child() : activeChild(NULL), mdiId(0), childCount(0), childClass(CWIN_MDI_CHILD_CLASS)
{
    kind = KIND_MDI;
    memset(children, 0, sizeof(children));
}

CMDI_Child::~CMDI_Child() { Forget(); }

CMDI_Child* CMDI_Child::Current()
{
    return s_current && !s_current->IsDeleted() ? s_current : NULL;
}

// Nothing may reach this object once it goes: neither the reports nor the
// children that still hold it.
void CMDI_Child::Forget()
{
    if (s_current == this)
        s_current = NULL;
    for (int i = 0; i < childCount; ++i) {
        HWND child = children[i].window;
        if (IsWindow(child) && GetWindowLongPtrA(child, GWLP_USERDATA) == (LONG_PTR)static_cast<CBaseWindow*>(this))
            SetWindowLongPtrA(child, GWLP_USERDATA, 0);
    }
}

bool CMDI_Child::Destroy()
{
    bool done = CBaseWindow::Destroy();
    if (s_current == this)
        s_current = NULL;
    return done;
}

bool CMDI_Child::Release()
{
    Forget();
    return true;
}

bool CMDI_Child::Create()
{
    if (parent)
        style |= WS_CHILD;
    if (!(style & WS_CHILD))
        parent = NULL;
    HWND mainWindow = owner ? owner->Resources().GetMainWindow() : NULL;
    if (!mainWindow)
        return false;   // the client lives in the frame's main window only
    HINSTANCE instance = owner->Resources().GetInstance();
    if (!EnsureWindowClass(instance, childClass, ChildProc))
        return false;
    CMDI_Child* previous = s_current;
    s_current = this;
    mdiId = GetId();
    CLIENTCREATESTRUCT client;
    client.hWindowMenu = GetSubMenu(GetMenu(mainWindow), 0);
    client.idFirstChild = CWIN_MDI_FIRST_CHILD_ID;
    hwnd = CreateWindowExA(exStyle, "mdiclient", NULL, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, mainWindow, NULL, instance, &client);
    if (!hwnd) {
        s_current = previous;   // this object is freed: nothing may report to it
        return false;
    }
    UpdateWindow(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    return OnCreated();
}

int CMDI_Child::FindChild(HWND child) const
{
    for (int i = 0; child && i < childCount; ++i)
        if (children[i].window == child)
            return i;
    return -1;
}

HWND CMDI_Child::GetChild(int index) const
{
    return index >= 0 && index < childCount ? children[index].window : NULL;
}

int CMDI_Child::GetChildValue(int index) const
{
    return index >= 0 && index < childCount ? children[index].value : 0;
}

bool CMDI_Child::AddChild(HWND child, int value)
{
    if (!child || !IsWindow(child) || childCount >= CWIN_MAX_MDI_CHILDREN || FindChild(child) >= 0)
        return false;
    children[childCount].window = child;
    children[childCount].value = value;
    ++childCount;
    // Only the child class reads it; other windows may use their user data.
    char className[64];
    if (GetClassNameA(child, className, sizeof(className)) && strcmp(className, childClass) == 0)
        SetWindowLongPtrA(child, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(this));
    return true;
}

bool CMDI_Child::RemoveChild(HWND child)
{
    int at = FindChild(child);
    if (at < 0)
        return false;
    memmove(&children[at], &children[at + 1], sizeof(children[0]) * (childCount - at - 1));
    --childCount;
    memset(&children[childCount], 0, sizeof(children[0]));
    if (activeChild == child)
        activeChild = NULL;
    if (GetWindowLongPtrA(child, GWLP_USERDATA) == (LONG_PTR)static_cast<CBaseWindow*>(this))
        SetWindowLongPtrA(child, GWLP_USERDATA, 0);
    return true;
}

CMDI_Child* CMDI_Child::ControlOf(HWND child)
{
    CBaseWindow* object = WindowObjectOf(child);
    return object && object->GetKind() == KIND_MDI ? static_cast<CMDI_Child*>(object) : NULL;
}

LRESULT CALLBACK CMDI_Child::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        CMDI_Child* current = Current();
        if (current) {
            DispatchScope scope(current->owner);
            current->PrepareEvent((INT_PTR)window, wParam, lParam);
            current->Dispatch(EV_DIALOG_INIT);
        }
        return 0;
    }
    case WM_DESTROY:
        if (CMDI_Child* control = ControlOf(window))
            control->RemoveChild(window);
        break;
    case WM_SIZE: {
        CMDI_Child* current = Current();
        if (current && current->owner)
            current->owner->Table().RefreshFrom(current->mdiId);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MAXIMIZE) {
            CMDI_Child* control = ControlOf(window);
            if (control && control->hwnd) {
                // A copy: maximising activates children, which reach the table.
                HWND all[CWIN_MAX_MDI_CHILDREN];
                int count = control->childCount;
                for (int i = 0; i < count; ++i)
                    all[i] = control->children[i].window;
                HWND client = control->hwnd;
                for (int i = 0; i < count; ++i)
                    SendMessageA(client, WM_MDIMAXIMIZE, (WPARAM)all[i], 0);
            }
        }
        break;
    case WM_MDIACTIVATE: {
        // Sent to the child losing activation and to the one gaining it (lParam).
        CMDI_Child* control = ControlOf(window);
        if (control) {
            HWND gaining = (HWND)lParam;
            if (gaining == window)
                control->activeChild = window;
            else if (control->activeChild == window)
                control->activeChild = gaining;
        }
        return 0;
    }
    }
    return DefMDIChildProcA(window, message, wParam, lParam);
}
