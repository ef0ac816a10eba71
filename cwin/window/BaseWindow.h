// CBaseWindow: the implementation base of every framework window object.
//
// It implements IWindow once for all control kinds, carries the handler table
// (at most 8 entries), the event record, the anchor layout and the font, and
// adds virtual operations of its own (Create .. OnNotify). Objects the frame's
// factory makes are owned by its object table, which deletes them through the
// virtual destructor; the frame's router finds them by window handle.
#ifndef CWIN_BASEWINDOW_H
#define CWIN_BASEWINDOW_H

#include <stdarg.h>

#include "cwin/window/Window.h"
#include "cwin/window/WindowOwner.h"

#include <memory>
#include <new>

#define CWIN_MAX_HANDLERS 8
#define CWIN_TEXT_SIZE    1024
#define CWIN_WINDOW_MAGIC 0x55AA55AAu

// Control kinds: the factory's numbering, tested by the router, the layout and fonts.
enum ControlKind
{
    KIND_COMBOBOX = 0, KIND_STATIC, KIND_EDITBOX, KIND_BUTTON, KIND_LISTBOX, KIND_LISTVIEW,
    KIND_TREEVIEW, KIND_TRACKBAR, KIND_PROGBAR, KIND_TCONTROL, KIND_UPDOWN, KIND_SCROLLBAR,
    KIND_DIALOG, KIND_CUSTOM, KIND_RESIZEBAR, KIND_REBAR, KIND_TOOLBAR, KIND_GRAPH,
    KIND_DTPCONTROL, KIND_MDI, KIND_COUNT
};

class CBaseWindow : public virtual IWindow
{
public:
    CBaseWindow();
    virtual ~CBaseWindow();
    CBaseWindow(const CBaseWindow&) = delete;
    CBaseWindow& operator=(const CBaseWindow&) = delete;

    // IWindow
    HWND GetHandle() override;
    int  GetId() override;
    int  SetText(const char* format, ...) override;
    bool Show(bool show) override;
    HWND TakeFocus() override;
    int  SetFont(int height, int width, int relative, const char* face) override;
    bool FitToParent() override;
    int  SetColors(COLORREF textColor, COLORREF backColor) override;
    bool Anchor(IWindow* reference, int side, int edgeAndMargin) override;
    bool LoadPopupMenu(int menuId, int position) override;
    bool SetToolTip(bool showNow, const char* format, ...) override;
    bool Destroy() override;
    int  AddHandler(EventCallback callback, int mask, int user, IEventSink* listener) override;
    bool SetHint(const char* hint) override;
    // Anchor with its parts named (Anchor above packs them into one value).
    bool AnchorSide(const SideAnchor& anchor);

    // Own virtual operations.
    virtual bool Create() = 0;
    virtual bool Release();
    virtual bool Layout(int parentWidth, int parentHeight);
    virtual void ApplyColors();
    virtual bool OnHandlerAdded(int mask);
    virtual bool OnCreated();
    // The frame goes while the window lives on: a control that replaced the
    // window's procedure puts the previous one back (none here).
    virtual void RestoreWindowProc();
    // The frame goes and the window is gone: every GDI object the object made
    // for itself is freed (here the font, brush and menu; drawing controls add theirs).
    virtual void FreeOwnObjects();
    // The router asks the sending control first: its rows of the notifications
    // its window sends (events for its handlers; its notify handler where it
    // handles some itself). The event record is prepared. False: not one of
    // its rows, and the owner's own rows look at it.
    virtual bool OnNotify(NMHDR* header, WPARAM wParam, LPARAM lParam, LRESULT* result, bool* passOn);

    // The font, background brush and pop-up menu made for the window, freed
    // once the window itself is gone (its frame goes, with no window left).
    void          FreeDrawingObjects();

    int           Dispatch(int code);
    bool          HasHandlerFor(int mask) const;
    EventCallback FirstHandlerFor(int mask) const;
    bool          ShowPopupMenu(int x, int y);
    static bool   IsWindowObject(const void* object);

    // The common creation step of every control's Create.
    bool CreateWindowOf(const char* className);
    // Clears the event record and sets what the raiser gives.
    void PrepareEvent(INT_PTR param, WPARAM aux, LPARAM notify);

    int        kind;
    int        id;
    RECT       rect;
    RECT       clientRect;
    HWND       hwnd;
    DWORD      style;
    DWORD      exStyle;
    HWND       parent;
    WORD       itemId;
    COLORREF   textColor;
    COLORREF   backColor;
    HBRUSH     backBrush;
    EventCallback handlerFn[CWIN_MAX_HANDLERS];
    int           handlerMask[CWIN_MAX_HANDLERS];
    int           handlerUser[CWIN_MAX_HANDLERS];
    IEventSink*   handlerSink[CWIN_MAX_HANDLERS];
    int        handlerCount;
    IWindowOwner* owner;
    int        deleted;
    int        widthPercent, heightPercent;
    int        marginLeft, marginTop, marginRight, marginBottom;
    LONG*      refLeft;
    LONG*      refTop;
    LONG*      refRight;
    LONG*      refBottom;
    int        fontRelative;
    int        fontHeight, fontWidth;
    HFONT      newFont, font;
    int        fontPending;
    int        fontOnce;
    LOGFONTA   logFont;
    const char* hint;
    void*      userData;
    HMENU      popupMenu;
    WindowEvent event;
    BYTE       frameFlag;
    char       text[CWIN_TEXT_SIZE];
    DWORD      magic;

    // Tooltip windows made by SetToolTip; destroyed with the window.
    HWND       toolTip;
    // Set by composite controls that handle some notifications themselves.
    INotifyHandler* notifyHandler;

protected:
    // printf-style formatting into the object's text buffer (cut at its size).
    const char* FormatText(const char* format, va_list args);
    // Step 10 of the layout: makes the pending font, lfHeight and lfWidth given.
    void MakeFont(int lfHeight, int lfWidth, bool sendToWindow);
};

// Makes an object of class T for the factory, whose table then owns it.
template <class T> std::unique_ptr<CBaseWindow> MakeControlOf()
{
    return std::unique_ptr<CBaseWindow>(new (std::nothrow) T);
}
typedef std::unique_ptr<CBaseWindow> (*ControlMaker)();

// The object bound to a window (its user data), or null.
CBaseWindow* WindowObjectOf(HWND window);

#endif
