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
    HWND GetHandle() final { return hwnd; }
    int  GetId() final { return id; }
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
    // The size as a share of the parent's client area, in percent (0: kept as placed).
    void SetSizePercent(int width, int height);

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

    // What the object is, where it stands and what it shows. The kind is the
    // factory's number (a control class names its own as T::Kind).
    int           GetKind() const { return kind; }
    const RECT&   Rect() const { return rect; }
    // The second rectangle: a drawing surface's client area, a resize bar's
    // place before its own adjustment; anchors may measure from it.
    const RECT&   ClientRect() const { return clientRect; }
    void          SetClientRect(const RECT& r) { clientRect = r; }
    DWORD         Style() const { return style; }
    HWND          Parent() const { return parent; }
    WORD          ItemId() const { return itemId; }
    IWindowOwner* Owner() const { return owner; }
    const char*   Text() const { return text; }
    const char*   Hint() const { return hint; }
    HFONT         Font() const { return font; }
    HMENU         PopupMenu() const { return popupMenu; }
    HWND          ToolTip() const { return toolTip; }
    COLORREF      TextColor() const { return textColor; }
    COLORREF      BackColor() const { return backColor; }
    HBRUSH        BackBrush() const { return backBrush; }
    // A value the application attaches to the window.
    void*         UserData() const { return userData; }
    void          SetUserData(void* value) { userData = value; }
    int           HandlerCount() const { return handlerCount; }
    int           HandlerMask(int entry) const { return handlerMask[entry]; }
    // A side's anchor: its margin (0: not anchored) and the edge of another
    // object's rectangle it measures from (null: the parent's edge).
    int           AnchorMargin(int side) const;
    const LONG*   AnchorEdge(int side) const;

    // Destroyed (or so marked): dispatches nothing, freed at the next sweep.
    bool          IsDeleted() const { return deleted != 0; }
    void          MarkDeleted(bool isDeleted) { deleted = isDeleted ? 1 : 0; }

    // Set up by the frame, which makes the objects and owns them: the table's
    // identifier at staging; then the kind, the owner and the place, styles
    // and parent the arguments give (their text is the factory's to set once
    // the window exists), before the window is made.
    void          AssignId(int newId) { id = newId; }
    void          SetUp(int newKind, IWindowOwner* newOwner, const ControlArgs& args);
    // ... or bound to an existing dialog item: its window, styles and parent
    // taken from that window, the place as given (in the dialog's coordinates).
    void          SetUpItem(int newKind, IWindowOwner* newOwner, HWND window, int item, const RECT& place);
    // Anchors that measure from the other object's rectangles go back to the parent's edges.
    void          ForgetAnchorsTo(const CBaseWindow& other);
    // The frame hides every control and shows again those that were visible.
    void          HideRememberingVisibility();
    void          ShowIfVisibleBefore();

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
    void PrepareEvent(INT_PTR param, WPARAM aux, LPARAM notify, int code = 0);

protected:
    // The factory's number; a control made outside the factory names its own.
    int        kind;
    RECT       rect;
    RECT       clientRect;
    HWND       hwnd;
    DWORD      style;
    DWORD      exStyle;
    HWND       parent;
    COLORREF   textColor;
    COLORREF   backColor;
    HBRUSH     backBrush;
    IWindowOwner* owner;
    HFONT      font;
    LOGFONTA   logFont;
    WindowEvent event;
    // Set by composite controls that handle some notifications themselves.
    INotifyHandler* notifyHandler;

    // Entry 0 of the handler table, unless it wants everything, also wants these.
    void AddToFirstHandler(int mask);
    // Entry 0 keeps its mask and listener but loses its plain callback.
    void DropFirstCallback();
    // printf-style formatting into the object's text buffer (cut at its size).
    const char* FormatText(const char* format, va_list args);
    // Step 10 of the layout: makes the pending font, lfHeight and lfWidth given.
    void MakeFont(int lfHeight, int lfWidth, bool sendToWindow);

private:
    int        id;
    WORD       itemId;
    int        fontRelative;
    int        fontHeight, fontWidth;
    HFONT      newFont;
    int        fontPending;
    int        fontOnce;
    const char* hint;
    void*      userData;
    HMENU      popupMenu;
    // Tooltip windows made by SetToolTip; destroyed with the window.
    HWND       toolTip;
    EventCallback handlerFn[CWIN_MAX_HANDLERS];
    int           handlerMask[CWIN_MAX_HANDLERS];
    int           handlerUser[CWIN_MAX_HANDLERS];
    IEventSink*   handlerSink[CWIN_MAX_HANDLERS];
    int        handlerCount;
    int        deleted;
    int        widthPercent, heightPercent;
    int        marginLeft, marginTop, marginRight, marginBottom;
    LONG*      refLeft;
    LONG*      refTop;
    LONG*      refRight;
    LONG*      refBottom;
    BYTE       frameFlag;
    DWORD      magic;

protected:
    // Last: the dispatch's fields (event, handler table) stay close together.
    char       text[CWIN_TEXT_SIZE];

private:
    // The margin and reference of one side, or false for no side.
    bool AnchorOf(int side, int** margin, LONG*** reference);
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
