// IWindowOwner: what a framework window needs from the frame whose object table
// holds it. Declared here, below every control, and implemented by the
// application frame, so that no window or control knows the frame's class.
//   DispatchScope  holds the owner's dispatch depth for one scope
#ifndef CWIN_WINDOWOWNER_H
#define CWIN_WINDOWOWNER_H

#include <windows.h>

#include "cwin/system/Progress.h"

class CBaseWindow;
class CImageLists;

class IWindowOwner : public IProgressSource
{
public:
    // The top-level window and the module the controls' resources come from.
    virtual HWND      GetMainWindow() const = 0;
    virtual HINSTANCE GetInstance() const = 0;
    // The area of the main window left to its controls by the bars.
    virtual const RECT& GetFreeArea() const = 0;
    virtual CImageLists* GetImageLists() = 0;
    // Where the pointer was when the last context menu was asked for.
    virtual POINT GetContextMenuPoint() const = 0;

    // The event lock every event is delivered under.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Dispatches, object procedures and modal pages on the stack (no object is
    // freed under them).
    virtual void EnterDispatch() = 0;
    virtual void LeaveDispatch() = 0;
    virtual void EnterModalPage() = 0;
    virtual void LeaveModalPage(CBaseWindow* page) = 0;
    // Routes a message of a dialog page or a subclassed control; *passOn tells
    // whether the window's previous procedure still has to see it.
    virtual LRESULT RouteForPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn) = 0;

    // The owner's object table.
    virtual int  FindControlIndex(int id) = 0;
    virtual CBaseWindow* GetControl(int index) const = 0;
    virtual bool FindControlByWindow(HWND window, CBaseWindow** control) = 0;
    virtual bool RefreshFrom(int id) = 0;
    virtual CBaseWindow* CreateControl(const char* typeName, int left, int top, int right, int bottom,
                                       ULONG_PTR exStyle, DWORD style, const char* text, HWND parent) = 0;
};

// Holds the owner's dispatch depth for one scope (a null owner counts nothing).
class DispatchScope
{
public:
    explicit DispatchScope(IWindowOwner* owner) : m_owner(owner)
    {
        if (m_owner)
            m_owner->EnterDispatch();
    }
    ~DispatchScope()
    {
        if (m_owner)
            m_owner->LeaveDispatch();
    }

private:
    DispatchScope(const DispatchScope&);
    DispatchScope& operator=(const DispatchScope&);
    IWindowOwner* m_owner;
};

#endif
