// What a framework window needs from the frame whose object table holds it,
// one role per interface. Declared here, below every control, and implemented
// by the application frame and its parts, so that no window or control knows
// the frame's classes; a window asks its owner for the one role it needs.
//
//   IWindowResources  the main window, the module, the image lists and the
//                     progress bar a window's resources come from
//   IFrameLayout      the area of the main window its bars leave to controls
//   IEventGate        the event lock and the count of dispatches on the stack
//   IControlLookup    finding objects in the owner's table
//   IControlFactory   entering new objects into the table: by kind, typed
//                     (Create<T>) or made by the caller (Adopt)
//   IPageRouter       modal pages and the routing of dialog pages and
//                     subclassed controls
//   IWindowOwner      the roles of one owner, one accessor each
//   ControlArgs       where and how a control is made
//   DispatchScope     holds the owner's dispatch count for one scope
#ifndef CWIN_WINDOWOWNER_H
#define CWIN_WINDOWOWNER_H

#include <windows.h>

#include "cwin/system/Progress.h"

class CBaseWindow;
class CImageLists;

class IWindowResources : public IProgressSource
{
public:
    // The top-level window (owner of menus and boxes) and the module whose
    // resources the controls load.
    virtual HWND      GetMainWindow() const = 0;
    virtual HINSTANCE GetInstance() const = 0;
    virtual CImageLists* GetImageLists() = 0;

protected:
    ~IWindowResources() {}
};

class IFrameLayout
{
public:
    // The main window's client area left to its controls by the status bar and
    // the docked bars, as of the last layout.
    virtual const RECT& GetFreeArea() const = 0;

protected:
    ~IFrameLayout() {}
};

class IEventGate
{
public:
    // Every event is delivered under this lock.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Dispatches, object procedures and modal pages on the stack: no object is
    // freed under them.
    virtual void EnterDispatch() = 0;
    virtual void LeaveDispatch() = 0;

protected:
    ~IEventGate() {}
};

class IControlLookup
{
public:
    virtual int  FindControlIndex(int id) = 0;
    virtual CBaseWindow* GetControl(int index) const = 0;
    virtual bool FindControlByWindow(HWND window, CBaseWindow** control) = 0;
    // FitToParent of every object from the one with this id to the end of the table.
    virtual bool RefreshFrom(int id) = 0;

protected:
    ~IControlLookup() {}
};

// Where and how a control is made, set part by part:
//   ControlArgs().Parent(main).Place(10, 36, 130, 64).Style(WS_VISIBLE | BS_PUSHBUTTON).Text("...")
struct ControlArgs
{
    RECT        place;     // in the parent's client coordinates
    DWORD       style;
    DWORD       exStyle;
    const char* text;      // shown as it is (a percent sign is no format); null: none
    HWND        parent;    // set: a child window

    ControlArgs() : style(0), exStyle(0), text(NULL), parent(NULL) { SetRect(&place, 0, 0, 0, 0); }
    ControlArgs& Place(int left, int top, int right, int bottom)
    {
        SetRect(&place, left, top, right, bottom);
        return *this;
    }
    ControlArgs& Place(const RECT& r)
    {
        place = r;
        return *this;
    }
    ControlArgs& Style(DWORD value)
    {
        style = value;
        return *this;
    }
    ControlArgs& ExStyle(DWORD value)
    {
        exStyle = value;
        return *this;
    }
    ControlArgs& Text(const char* value)
    {
        text = value;
        return *this;
    }
    ControlArgs& Parent(HWND value)
    {
        parent = value;
        return *this;
    }
};

// Whether an object made for a kind is of the class a typed call asked for
// (a kind's class can be replaced, see the factory).
typedef bool (*ClassCheck)(CBaseWindow* object);
template <class T> bool IsObjectOf(CBaseWindow* object)
{
    return dynamic_cast<T*>(object) != NULL;
}

class IControlFactory
{
public:
    // Makes an object of the kind's class (refused by `accepts`, when given:
    // nothing is made), enters it into the table and creates its window; null
    // when the table is full, the kind has no class or the window cannot be made.
    virtual CBaseWindow* CreateOfKind(int kind, const ControlArgs& args, ClassCheck accepts) = 0;
    // Enters an object the caller made and keeps the storage of, as above.
    virtual CBaseWindow* Adopt(CBaseWindow* object, const ControlArgs& args) = 0;

    // T names its kind (T::Kind).
    template <class T> T* Create(const ControlArgs& args)
    {
        return static_cast<T*>(CreateOfKind(T::Kind, args, IsObjectOf<T>));
    }

protected:
    ~IControlFactory() {}
};

class IPageRouter
{
public:
    // A modal dialog page runs between these two: its slot and its items'
    // slots are kept while it runs, and freed with it afterwards.
    virtual void EnterModalPage() = 0;
    virtual void LeaveModalPage(CBaseWindow* page) = 0;
    // Routes a message of a dialog page or a subclassed control; *passOn tells
    // whether the window's previous procedure still has to see it.
    virtual LRESULT RouteForPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn) = 0;
    // Where the pointer was when the last context menu was asked for (screen).
    virtual POINT GetContextMenuPoint() const = 0;

protected:
    ~IPageRouter() {}
};

class IWindowOwner
{
public:
    virtual IWindowResources& Resources() = 0;
    virtual IFrameLayout&     Layout() = 0;
    virtual IEventGate&       Events() = 0;
    virtual IControlLookup&   Table() = 0;
    virtual IControlFactory&  Factory() = 0;
    virtual IPageRouter&      Router() = 0;

protected:
    ~IWindowOwner() {}
};

// Holds the owner's dispatch count for one scope (a null owner counts nothing).
class DispatchScope
{
public:
    explicit DispatchScope(IWindowOwner* owner) : m_events(owner ? &owner->Events() : NULL)
    {
        if (m_events)
            m_events->EnterDispatch();
    }
    // With the gate already at hand (a dispatch asks for it once per event).
    explicit DispatchScope(IEventGate* events) : m_events(events)
    {
        if (m_events)
            m_events->EnterDispatch();
    }
    ~DispatchScope()
    {
        if (m_events)
            m_events->LeaveDispatch();
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    IEventGate* m_events;
};

#endif
