// The window object model shared by every framework control.
//
//   WindowEvent, EventCallback, EV_*  the event record, handler callbacks, event codes
//   IEventSink                        a listener object with one operation per event group
//   IWindow                           what client code holds of any framework window
//   SideAnchor                        one side of a window's anchor, by its parts
//   IButton IStatic IEditBox IDialog ICustom
//   IItemList IComboBox IListBox      the combo box and the list box: one set of item operations
//   IProgBar ITrackBar IUpDown IScrollBar   control interfaces (virtual bases: IWindow)
//   INotifyHandler                    the hook of a composite control that handles
//                                     some of its notifications itself
//   ICommandTarget                    receives menu commands that no control claims
//
// The implementation base is CBaseWindow (BaseWindow.h); the objects live in the
// object table of their owner (IWindowOwner, WindowOwner.h).
#ifndef CWIN_WINDOW_H
#define CWIN_WINDOW_H

#include <windows.h>
#include <commctrl.h>

class CBaseWindow;
class IWindowOwner;
class CImageLists;

enum EventCode
{
    EV_COMMAND           = 0x1,
    EV_CANCEL            = 0x2,
    EV_MENU_OPENING      = 0x8,
    EV_MENU_COMMAND      = 0x10,
    EV_EDIT_BEGIN        = 0x20,
    EV_EDIT_END          = 0x40,
    EV_DIALOG_INIT       = 0x80,
    EV_CACHE_HINT        = 0x100,
    EV_COMPARE           = 0x200,
    EV_DRAG              = 0x400,
    EV_ROW_FOCUSED       = 0x800,
    EV_ROW_UNFOCUSED     = 0x1000,
    EV_COLUMN_RESIZED    = 0x2000,
    EV_CLICK             = 0x10000,
    EV_DOUBLE_CLICK      = 0x20000,
    EV_RESERVED_40000    = 0x40000,   // listener slot 6; nothing in the framework raises it
    EV_CUSTOM_DRAW       = 0x80000,
    EV_KEY_DOWN          = 0x100000,
    EV_KEY_UP            = 0x200000,
    EV_INFO_TIP          = 0x2000000,
    EV_SELECTION_CHANGED = 0x4000000
};

// Filled by the raiser (param, code, aux, notify) and by Dispatch (sender,
// eventCode, user) before each handler call.
struct WindowEvent
{
    CBaseWindow* sender;
    int          user;
    INT_PTR      param;
    int          eventCode;
    int          code;
    WPARAM       aux;
    LPARAM       notify;
};

typedef int (*EventCallback)(WindowEvent* event);

// A listener: Dispatch calls the one operation that serves the event code.
class IEventSink
{
public:
    virtual int OnCacheHint(WindowEvent*)    { return 0; }   // EV_CACHE_HINT
    virtual int OnRowFocused(WindowEvent*)   { return 0; }   // EV_ROW_FOCUSED
    virtual int OnMenuCommand(WindowEvent*)  { return 0; }   // EV_MENU_COMMAND
    virtual int OnCommand(WindowEvent*)      { return 0; }   // EV_COMMAND, EV_CANCEL, EV_SELECTION_CHANGED
    virtual int OnDoubleClick(WindowEvent*)  { return 0; }   // EV_DOUBLE_CLICK
    virtual int OnClick(WindowEvent*)        { return 0; }   // EV_CLICK
    virtual int OnReserved(WindowEvent*)     { return 0; }   // 0x40000
    virtual int OnEditEnd(WindowEvent*)      { return 0; }   // EV_EDIT_END
    virtual int OnCustomDraw(WindowEvent*)   { return 0; }   // EV_CUSTOM_DRAW
    virtual int OnCompare(WindowEvent*)      { return 0; }   // EV_COMPARE
    virtual int OnKeyDown(WindowEvent*)      { return 0; }   // EV_KEY_DOWN
    virtual int OnDrag(WindowEvent*)         { return 0; }   // EV_DRAG
};

// Anchor sides and reference edges.
enum AnchorSide
{
    ANCHOR_LEFT   = 0x10000,
    ANCHOR_TOP    = 0x20000,
    ANCHOR_RIGHT  = 0x40000,
    ANCHOR_BOTTOM = 0x80000,
    ANCHOR_CLIENT_RECT = 0x100000   // with a reference edge: measure from its clientRect
};

class IWindow;

// One side of an anchor (CBaseWindow::AnchorSide), part by part:
//   SideAnchor(ANCHOR_LEFT, 1)                                     one pixel in from the parent's left edge
//   SideAnchor(ANCHOR_RIGHT, 1).From(split, ANCHOR_LEFT)           up to the split bar's left edge
//   SideAnchor(ANCHOR_TOP, 1).From(tabs, ANCHOR_TOP).ClientRect()  from the top of the tabs' client rectangle
struct SideAnchor
{
    int      side;         // ANCHOR_LEFT, ANCHOR_TOP, ANCHOR_RIGHT or ANCHOR_BOTTOM
    int      margin;       // the distance from the reference edge; 0: the side is not anchored
    IWindow* reference;    // null: the parent's client edge
    int      edge;         // with a reference: which of its edges (ANCHOR_LEFT .. ANCHOR_BOTTOM)
    bool     clientRect;   // with a reference: an edge of its clientRect rather than its rect

    SideAnchor(int anchoredSide, int marginFromEdge)
        : side(anchoredSide), margin(marginFromEdge), reference(NULL), edge(0), clientRect(false)
    {
    }
    SideAnchor& From(IWindow* window, int windowEdge)
    {
        reference = window;
        edge = windowEdge;
        return *this;
    }
    SideAnchor& ClientRect()
    {
        clientRect = true;
        return *this;
    }
};

class IWindow
{
public:
    virtual HWND GetHandle() = 0;
    virtual int  GetId() = 0;
    virtual int  SetText(const char* format, ...) = 0;
    virtual bool Show(bool show) = 0;
    virtual HWND TakeFocus() = 0;
    virtual int  SetFont(int height, int width, int relative, const char* face) = 0;
    virtual bool FitToParent() = 0;
    virtual int  SetColors(COLORREF textColor, COLORREF backColor) = 0;
    // side: one ANCHOR_* value; edgeAndMargin: the margin in the low 16 bits and,
    // with a reference window, its edge (ANCHOR_*, | ANCHOR_CLIENT_RECT) above.
    // CBaseWindow::AnchorSide takes the same by its parts.
    virtual bool Anchor(IWindow* reference, int side, int edgeAndMargin) = 0;
    virtual bool LoadPopupMenu(int menuId, int position) = 0;
    virtual bool SetToolTip(bool showNow, const char* format, ...) = 0;
    virtual bool Destroy() = 0;
    virtual int  AddHandler(EventCallback callback, int mask, int user, IEventSink* listener) = 0;
    virtual bool SetHint(const char* hint) = 0;
};

class IButton : public virtual IWindow
{
public:
    virtual bool    GetCheck() = 0;
    virtual LRESULT SetCheck(bool checked) = 0;
    virtual bool    SetImage(int list, int image) = 0;
};

class IStatic : public virtual IWindow
{
public:
    virtual bool SetImage(int list, int image) = 0;
};

class IEditBox : public virtual IWindow
{
public:
    virtual LRESULT AppendText(const char* format, ...) = 0;
};

// A list of text items with one selection: what the combo box and the list box
// share. GetCurSel stays third: the router asks it for a selection change.
class IItemList : public virtual IWindow
{
public:
    virtual LRESULT InsertString(int index, const char* text) = 0;
    virtual LRESULT DeleteString(int index) = 0;
    virtual LRESULT GetCurSel() = 0;
    virtual LRESULT SetCurSel(int index) = 0;
};

class IComboBox : public virtual IItemList
{
};

class IListBox : public virtual IItemList
{
};

class IDialog : public virtual IWindow
{
public:
    virtual bool SetItemText(int item, const char* format, ...) = 0;
};

class ICustom : public virtual IWindow
{
public:
    virtual bool SetEraseBackground(bool erase) = 0;
};

class IProgBar : public virtual IWindow
{
public:
    virtual LRESULT SetRange(int minimum, int maximum, int ignored = 0) = 0;
    virtual LRESULT SetPos(int position) = 0;
    virtual LRESULT Step() = 0;
};

class ITrackBar : public virtual IWindow
{
public:
    virtual LRESULT SetRange(int minimum, int maximum) = 0;
    virtual LRESULT SetSelection(int start, int end) = 0;
    virtual LRESULT SetPos(int position) = 0;
    virtual LRESULT SetPageSize(int size) = 0;
    virtual LRESULT SetTic(int position) = 0;
    virtual LRESULT SetTicFreq(int frequency) = 0;
    virtual LRESULT GetPos() = 0;
};

class IUpDown : public virtual IWindow
{
public:
    virtual LRESULT SetRange(int lower, int upper) = 0;
    virtual LRESULT SetBuddy(HWND buddy) = 0;
    virtual LRESULT SetPos(int position) = 0;
};

class IScrollBar : public virtual IWindow
{
public:
    virtual LRESULT SetRange(int minimum, int maximum) = 0;
    virtual LRESULT SetPos(int position) = 0;
    virtual LRESULT SetPage(int page) = 0;
};

// A composite control (list view, tab control, tree view ...) that handles some
// of its own notifications. The router calls the hook on the rows of its table
// that leave a notification to the control itself; a control sets its
// CBaseWindow::notifyHandler to itself when it is made.
class INotifyHandler
{
public:
    // Returns whether the control handled the notification. *result is the
    // answer to it (preset 0) and *passOn whether the previous window procedure
    // still runs (preset true).
    virtual bool HandleNotify(NMHDR* header, WPARAM wParam, LRESULT* result, bool* passOn) = 0;
};

class ICommandTarget
{
public:
    virtual int OnMenuCommand(int commandId) = 0;
};

#endif
