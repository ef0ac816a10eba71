// CBaseWindow: handler table, dispatch, anchor layout, fonts and the common creation step.
#include "cwin/window/BaseWindow.h"
#include "cwin/window/ImageLists.h"
#include "cwin/system/Text.h"

#include <stdarg.h>
#include <string.h>

CBaseWindow::CBaseWindow()
    : kind(-1), hwnd(NULL), style(0), exStyle(0), parent(NULL), textColor(0), backColor(0xFFFFFF),
      backBrush(NULL), owner(NULL), font(NULL), notifyHandler(NULL), id(-1), itemId(0), fontRelative(0),
      fontHeight(0), fontWidth(0), newFont(NULL), fontPending(0), fontOnce(1), hint(NULL), userData(NULL),
      popupMenu(NULL), toolTip(NULL), handlerCount(0), deleted(0), widthPercent(0), heightPercent(0),
      marginLeft(0), marginTop(0), marginRight(0), marginBottom(0), refLeft(NULL), refTop(NULL),
      refRight(NULL), refBottom(NULL), frameFlag(0), magic(CWIN_WINDOW_MAGIC)
{
    memset(&rect, 0, sizeof(rect));
    memset(&clientRect, 0, sizeof(clientRect));
    memset(handlerFn, 0, sizeof(handlerFn));
    memset(handlerMask, 0, sizeof(handlerMask));
    memset(handlerUser, 0, sizeof(handlerUser));
    memset(handlerSink, 0, sizeof(handlerSink));
    memset(&logFont, 0, sizeof(logFont));
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = RUSSIAN_CHARSET;
    strcpy(logFont.lfFaceName, "Courier New");
    memset(&event, 0, sizeof(event));
    text[0] = 0;
}

CBaseWindow::~CBaseWindow() {}

CBaseWindow* WindowObjectOf(HWND window)
{
    if (!window)
        return NULL;
    CBaseWindow* object = reinterpret_cast<CBaseWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return CBaseWindow::IsWindowObject(object) ? object : NULL;
}

int CBaseWindow::SetText(const char* format, ...)
{
    if (!format)
        return 0;
    va_list args;
    va_start(args, format);
    FormatText(format, args);
    va_end(args);
    return SetWindowTextA(hwnd, text);
}

const char* CBaseWindow::FormatText(const char* format, va_list args)
{
    return FormatInto(text, sizeof(text), format, args);
}

bool CBaseWindow::Show(bool show)
{
    return ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE) != FALSE;
}

HWND CBaseWindow::TakeFocus() { return SetFocus(hwnd); }

void CBaseWindow::MakeFont(int lfHeight, int lfWidth, bool sendToWindow)
{
    logFont.lfHeight = lfHeight;
    logFont.lfWidth = lfWidth;
    if (lfHeight <= 0)
        return;
    newFont = CreateFontIndirectA(&logFont);
    if (!newFont)
        return;   // the old font stays in place
    if (sendToWindow && hwnd)
        SendMessageA(hwnd, WM_SETFONT, (WPARAM)newFont, TRUE);
    if (font && !DeleteObject(font))
        fontPending = 0;   // a font that cannot be deleted stops further remaking
    font = newFont;
    if (fontOnce)
        fontPending = 0;
}

int CBaseWindow::SetFont(int height, int width, int relative, const char* face)
{
    if (face)
        lstrcpynA(logFont.lfFaceName, face, LF_FACESIZE);
    fontRelative = relative;
    fontHeight = height;
    fontWidth = width;
    fontPending = 1;
    if (kind != KIND_CUSTOM)
        return 1;
    MakeFont(height, width, false);
    return fontOnce;
}

bool CBaseWindow::FitToParent()
{
    if (owner && parent && parent == owner->Resources().GetMainWindow()) {
        const RECT& area = owner->Layout().GetFreeArea();
        Layout(area.right - area.left, area.bottom - area.top);
    } else {
        RECT client = {0, 0, 0, 0};
        GetClientRect(parent, &client);
        Layout(client.right + 1, client.bottom + 1);
    }
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
    return true;
}

int CBaseWindow::SetColors(COLORREF newText, COLORREF newBack)
{
    textColor = newText;
    backColor = newBack;
    if (backBrush)
        DeleteObject(backBrush);
    backBrush = CreateSolidBrush(backColor);
    ApplyColors();
    return 1;
}

bool CBaseWindow::Anchor(IWindow* reference, int side, int edgeAndMargin)
{
    SideAnchor anchor(side, edgeAndMargin & 0xFFFF);
    anchor.From(reference, edgeAndMargin & ~ANCHOR_CLIENT_RECT & ~0xFFFF);
    if (edgeAndMargin & ANCHOR_CLIENT_RECT)
        anchor.ClientRect();
    return AnchorSide(anchor);
}

bool CBaseWindow::AnchorOf(int side, int** margin, LONG*** reference)
{
    switch (side) {
    case ANCHOR_LEFT:   *margin = &marginLeft;   *reference = &refLeft;   return true;
    case ANCHOR_TOP:    *margin = &marginTop;    *reference = &refTop;    return true;
    case ANCHOR_RIGHT:  *margin = &marginRight;  *reference = &refRight;  return true;
    case ANCHOR_BOTTOM: *margin = &marginBottom; *reference = &refBottom; return true;
    default:            return false;
    }
}

int CBaseWindow::AnchorMargin(int side) const
{
    int* margin;
    LONG** reference;
    return const_cast<CBaseWindow*>(this)->AnchorOf(side, &margin, &reference) ? *margin : 0;
}

const LONG* CBaseWindow::AnchorEdge(int side) const
{
    int* margin;
    LONG** reference;
    return const_cast<CBaseWindow*>(this)->AnchorOf(side, &margin, &reference) ? *reference : NULL;
}

bool CBaseWindow::AnchorSide(const SideAnchor& anchor)
{
    int* margin;
    LONG** ref;
    if (!AnchorOf(anchor.side, &margin, &ref))
        return false;
    *margin = anchor.margin;
    if (!anchor.reference)
        return true;
    int index = owner ? owner->Table().FindControlIndex(anchor.reference->GetId()) : -1;
    if (index < 0)
        return true;
    CBaseWindow* other = owner->Table().GetControl(index);
    RECT* edges = anchor.clientRect ? &other->clientRect : &other->rect;
    switch (anchor.edge) {
    case ANCHOR_LEFT:   *ref = &edges->left;   break;
    case ANCHOR_TOP:    *ref = &edges->top;    break;
    case ANCHOR_RIGHT:  *ref = &edges->right;  break;
    case ANCHOR_BOTTOM: *ref = &edges->bottom; break;
    default: return false;
    }
    return true;
}

void CBaseWindow::ForgetAnchorsTo(const CBaseWindow& other)
{
    UINT_PTR first = (UINT_PTR)&other.rect, last = (UINT_PTR)(&other.rect + 1);
    UINT_PTR clientFirst = (UINT_PTR)&other.clientRect, clientLast = (UINT_PTR)(&other.clientRect + 1);
    LONG** refs[4] = {&refLeft, &refTop, &refRight, &refBottom};
    for (int r = 0; r < 4; ++r) {
        UINT_PTR p = (UINT_PTR)*refs[r];
        if ((p >= first && p < last) || (p >= clientFirst && p < clientLast))
            *refs[r] = NULL;
    }
}

void CBaseWindow::SetSizePercent(int width, int height)
{
    widthPercent = width;
    heightPercent = height;
}

void CBaseWindow::SetUp(int newKind, IWindowOwner* newOwner, const ControlArgs& args)
{
    kind = newKind;
    owner = newOwner;
    rect = args.place;
    style = args.style;
    exStyle = args.exStyle;
    parent = args.parent;
}

void CBaseWindow::SetUpItem(int newKind, IWindowOwner* newOwner, HWND window, int item, const RECT& place)
{
    kind = newKind;
    owner = newOwner;
    hwnd = window;
    rect = place;
    style = (DWORD)GetWindowLongA(window, GWL_STYLE);
    exStyle = (DWORD)GetWindowLongA(window, GWL_EXSTYLE);
    parent = GetParent(window);
    itemId = (WORD)item;
}

void CBaseWindow::HideRememberingVisibility()
{
    frameFlag = IsWindowVisible(hwnd) ? 1 : 0;
    ShowWindow(hwnd, SW_HIDE);
}

void CBaseWindow::ShowIfVisibleBefore()
{
    if (frameFlag)
        ShowWindow(hwnd, SW_SHOW);
}

void CBaseWindow::DropFirstCallback()
{
    if (handlerCount > 0)
        handlerFn[0] = NULL;
}

void CBaseWindow::AddToFirstHandler(int mask)
{
    if (handlerCount > 0 && handlerMask[0] != 0)
        handlerMask[0] |= mask;
}

bool CBaseWindow::LoadPopupMenu(int menuId, int position)
{
    HMENU menu = LoadMenuA(owner ? owner->Resources().GetInstance() : GetModuleHandleA(NULL),
                           MAKEINTRESOURCEA(menuId));
    HMENU submenu = GetSubMenu(menu, position);
    // The window keeps the one submenu, taken out of the loaded menu, which
    // then goes: otherwise every grid would leave its whole menu behind.
    if (submenu)
        RemoveMenu(menu, (UINT)position, MF_BYPOSITION);
    if (menu)
        DestroyMenu(menu);
    if (popupMenu)
        DestroyMenu(popupMenu);
    popupMenu = submenu;
    return true;
}

bool CBaseWindow::SetToolTip(bool showNow, const char* format, ...)
{
    if (format) {
        va_list args;
        va_start(args, format);
        FormatText(format, args);
        va_end(args);
    } else {
        text[0] = 0;
    }
    INITCOMMONCONTROLSEX init = {sizeof(init), 0xFF};
    InitCommonControlsEx(&init);
    HINSTANCE instance = owner ? owner->Resources().GetInstance() : GetModuleHandleA(NULL);
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, NULL,
                               instance, NULL);
    if (!tip)
        return false;
    // Each call makes a new tooltip; the earlier one goes, so they do not pile up.
    if (toolTip)
        DestroyWindow(toolTip);
    toolTip = tip;
    SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    TOOLINFOA tool;
    memset(&tool, 0, sizeof(tool));
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd;
    tool.hinst = instance;
    tool.lpszText = text;
    GetClientRect(hwnd, &tool.rect);
    if (!SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&tool))
        return false;
    if (showNow)
        SendMessageA(tip, TTM_UPDATE, 0, 0);
    return true;
}

void CBaseWindow::RestoreWindowProc()
{
}

void CBaseWindow::FreeOwnObjects()
{
    FreeDrawingObjects();
}

void CBaseWindow::FreeDrawingObjects()
{
    if (font)
        DeleteObject(font);   // the last font made: newFont is the same one
    font = newFont = NULL;
    if (backBrush)
        DeleteObject(backBrush);
    backBrush = NULL;
    if (popupMenu)
        DestroyMenu(popupMenu);
    popupMenu = NULL;
}

bool CBaseWindow::Destroy()
{
    if (owner)
        owner->Resources().GetImageLists()->ReleaseIcons(id);
    if (popupMenu) {
        DestroyMenu(popupMenu);
        popupMenu = NULL;
    }
    deleted = 1;
    if (hwnd) {
        ShowWindow(hwnd, SW_HIDE);
        DestroyWindow(hwnd);
    }
    if (toolTip) {
        DestroyWindow(toolTip);
        toolTip = NULL;
    }
    hwnd = NULL;
    return true;
}

int CBaseWindow::AddHandler(EventCallback callback, int mask, int user, IEventSink* listener)
{
    if (!callback && !listener)
        return -1;
    OnHandlerAdded(mask);
    for (int i = 0; i < handlerCount; ++i) {
        bool same = listener ? handlerSink[i] == listener : handlerFn[i] == callback && !handlerSink[i];
        if (same) {
            handlerMask[i] |= mask;
            handlerUser[i] |= user;
            return i;
        }
    }
    if (handlerCount >= CWIN_MAX_HANDLERS)
        return -1;
    int i = handlerCount++;
    handlerFn[i] = callback;
    handlerMask[i] = mask;
    handlerUser[i] = user;
    handlerSink[i] = listener;
    return i;
}

bool CBaseWindow::SetHint(const char* newHint)
{
    hint = newHint;
    return true;
}

bool CBaseWindow::Release() { return true; }

// Is the window where the rectangle puts it (in its parent's client area)?
static bool PlacedAt(HWND window, const RECT& place)
{
    RECT now;
    if (!window || !GetWindowRect(window, &now))
        return false;
    MapWindowPoints(NULL, GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&now), 2);
    return EqualRect(&now, &place) != FALSE;
}

bool CBaseWindow::Layout(int w, int h)
{
    if (w == 0 || h == 0)
        return false;
    int L = 0, T = 0, R = w, B = h;
    if (owner && parent && parent == owner->Resources().GetMainWindow()) {
        const RECT& area = owner->Layout().GetFreeArea();
        L = area.left; T = area.top; R = area.right; B = area.bottom;
    }
    bool changed = false;
    if (widthPercent) {
        rect.right = rect.left + w * widthPercent / 100;
        changed = true;
    }
    if (heightPercent) {
        rect.bottom = rect.top + h * heightPercent / 100;
        changed = true;
    }
    if (marginLeft) {
        int edge = refLeft ? *refLeft : L;
        int left = marginLeft + edge - 1;
        if (!marginRight)
            rect.right += left - rect.left;
        rect.left = left;
        changed = true;
    }
    if (marginTop) {
        int edge = refTop ? *refTop : T;
        int top = marginTop + edge - 1;
        if (!marginBottom)
            rect.bottom += top - rect.top;
        rect.top = top;
        changed = true;
    }
    if (marginRight) {
        int edge = refRight ? *refRight : R;
        int right = edge - marginRight + 1;
        if (!marginLeft)
            rect.left += right - rect.right;
        rect.right = right;
        changed = true;
    }
    if (marginBottom) {
        int edge = refBottom ? *refBottom : B;
        int bottom = edge - marginBottom + 1;
        if (!marginTop)
            rect.top += bottom - rect.bottom;
        rect.bottom = bottom;
        changed = true;
    }
    // SWP_NOZORDER: the z-order must not change on every layout. A window
    // already in its place is left alone: moving it to where it is still costs
    // its size handling, and a list view repaints.
    if (changed && !PlacedAt(hwnd, rect))
        SetWindowPos(hwnd, NULL, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER);
    if (fontPending) {
        int lfHeight = fontRelative ? (rect.bottom - rect.top) * fontHeight / 100 : fontHeight;
        int lfWidth = fontWidth == 0 ? 0
                    : fontRelative ? (rect.right - rect.left) * fontWidth / 100 : fontWidth;
        MakeFont(lfHeight, lfWidth, kind != KIND_CUSTOM && kind != KIND_GRAPH);
    }
    return changed;
}

void CBaseWindow::ApplyColors() {}
bool CBaseWindow::OnHandlerAdded(int) { return true; }
bool CBaseWindow::OnCreated() { return true; }

// The listener operation that serves an event code, or null.
static int (IEventSink::*SinkOperation(int code))(WindowEvent*)
{
    switch (code) {
    case EV_CACHE_HINT:        return &IEventSink::OnCacheHint;
    case EV_ROW_FOCUSED:       return &IEventSink::OnRowFocused;
    case EV_MENU_COMMAND:      return &IEventSink::OnMenuCommand;
    case EV_COMMAND:
    case EV_CANCEL:
    case EV_SELECTION_CHANGED: return &IEventSink::OnCommand;
    case EV_DOUBLE_CLICK:      return &IEventSink::OnDoubleClick;
    case EV_CLICK:             return &IEventSink::OnClick;
    case EV_RESERVED_40000:    return &IEventSink::OnReserved;
    case EV_EDIT_END:          return &IEventSink::OnEditEnd;
    case EV_CUSTOM_DRAW:       return &IEventSink::OnCustomDraw;
    case EV_COMPARE:           return &IEventSink::OnCompare;
    case EV_KEY_DOWN:          return &IEventSink::OnKeyDown;
    case EV_DRAG:              return &IEventSink::OnDrag;
    default:                   return NULL;
    }
}

int CBaseWindow::Dispatch(int code)
{
    if (deleted)
        return 0;
    // A handler may destroy this object and make another control: the sweep
    // then leaves it alone until this dispatch is over.
    IEventGate* gate = owner ? &owner->Events() : NULL;
    DispatchScope scope(gate);
    event.sender = this;
    event.eventCode = code;
    int result = 0;
    for (int i = 0; i < handlerCount; ++i) {
        if (handlerMask[i] && !(handlerMask[i] & code))
            continue;
        event.user = handlerUser[i];
        if (gate)
            gate->Lock();
        if (handlerSink[i]) {
            int (IEventSink::*operation)(WindowEvent*) = SinkOperation(code);
            if (operation) {
                int answer = (handlerSink[i]->*operation)(&event);
                if (gate)
                    gate->Unlock();
                return answer;
            }
        } else if (handlerFn[i]) {
            result = handlerFn[i](&event);
            if (gate)
                gate->Unlock();
            if (result)
                return result;
            continue;
        }
        if (gate)
            gate->Unlock();
    }
    return result;
}

bool CBaseWindow::HasHandlerFor(int mask) const
{
    for (int i = 0; i < handlerCount; ++i)
        if (handlerMask[i] && (handlerMask[i] & mask))
            return true;
    return false;
}

EventCallback CBaseWindow::FirstHandlerFor(int mask) const
{
    for (int i = 0; i < handlerCount; ++i)
        if (handlerMask[i] && (handlerMask[i] & mask))
            return handlerFn[i];
    return NULL;
}

void CBaseWindow::PrepareEvent(INT_PTR param, WPARAM aux, LPARAM notify, int code)
{
    memset(&event, 0, sizeof(event));
    event.param = param;
    event.code = code;
    event.aux = aux;
    event.notify = notify;
}

bool CBaseWindow::ShowPopupMenu(int x, int y)
{
    if (!popupMenu)
        return false;
    PrepareEvent((INT_PTR)popupMenu, 0, 0);
    Dispatch(EV_MENU_OPENING);
    HWND mainWindow = owner ? owner->Resources().GetMainWindow() : NULL;
    HWND menuOwner = mainWindow ? mainWindow : hwnd;
    int command = (int)TrackPopupMenuEx(popupMenu, TPM_RETURNCMD, x, y, menuOwner, NULL);
    if (command > 0) {
        PrepareEvent(command, 0, 0);
        Dispatch(EV_MENU_COMMAND);
    }
    return true;
}

bool CBaseWindow::IsWindowObject(const void* object)
{
    return object && static_cast<const CBaseWindow*>(object)->magic == CWIN_WINDOW_MAGIC;
}

bool CBaseWindow::CreateWindowOf(const char* className)
{
    if (parent)
        style |= WS_CHILD;
    if (!(style & WS_CHILD))
        parent = NULL;
    HINSTANCE instance = owner ? owner->Resources().GetInstance() : GetModuleHandleA(NULL);
    hwnd = CreateWindowExA(exStyle, className, NULL, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, NULL, instance, NULL);
    if (!hwnd)   // a place-holder stands in for a class that is not available
        hwnd = CreateWindowExA(exStyle, "STATIC", NULL, style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent, NULL, instance, NULL);
    if (!hwnd)
        return false;
    ShowWindow(hwnd, (style & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
    UpdateWindow(hwnd);
    return OnCreated();
}

// The rows that leave a notification to the composite control's own handler.
static bool OwnHandling(INotifyHandler* handler, NMHDR* header, WPARAM wParam, LRESULT* result, bool* passOn)
{
    *result = 0;
    *passOn = true;
    return handler && handler->HandleNotify(header, wParam, result, passOn);
}

bool CBaseWindow::OnNotify(NMHDR* header, WPARAM wParam, LPARAM lParam, LRESULT* result, bool* passOn)
{
    *result = 0;
    *passOn = true;
    switch (header->code) {
    case TCN_SELCHANGE:
        event.param = SendMessageA(hwnd, TCM_GETCURSEL, 0, 0);
        Dispatch(EV_SELECTION_CHANGED);
        OwnHandling(notifyHandler, header, wParam, result, passOn);   // the tab control shows the page
        break;
    case NM_CUSTOMDRAW:
    case NM_DBLCLK:
    case NM_CLICK:
        if (OwnHandling(notifyHandler, header, wParam, result, passOn))
            break;   // a list view
        *result = Dispatch(header->code == (UINT)NM_CUSTOMDRAW ? EV_CUSTOM_DRAW
                                  : header->code == (UINT)NM_DBLCLK ? EV_DOUBLE_CLICK : EV_CLICK);
        *passOn = false;
        break;
    case NM_RETURN:
        event.param = 0;
        *result = Dispatch(EV_COMMAND);
        *passOn = false;
        break;
    case LVN_KEYDOWN: {
        WORD key = reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey;
        if (key == VK_F3) {
            OwnHandling(notifyHandler, header, wParam, result, passOn);   // the list repeats its search
        } else {
            event.param = key;
            Dispatch(EV_KEY_DOWN);
        }
        break;
    }
    case DTN_DATETIMECHANGE:
        Dispatch(EV_SELECTION_CHANGED);
        *result = 0;
        *passOn = false;
        break;
    case TVN_GETINFOTIPA:
        Dispatch(EV_INFO_TIP);
        break;
    case LVN_GETINFOTIPA:
    case LVN_GETDISPINFOA:
    case LVN_ITEMCHANGED:
    case LVN_COLUMNCLICK:
    case TVN_ITEMEXPANDINGA:
        OwnHandling(notifyHandler, header, wParam, result, passOn);
        break;
    case LVN_ODCACHEHINT:
        event.code = (int)LVN_ODCACHEHINT;
        Dispatch(EV_CACHE_HINT);
        *result = 0;
        *passOn = false;
        break;
    case LVN_ODFINDITEMA:
        break;
    case TVN_BEGINLABELEDITA:
        *result = Dispatch(EV_EDIT_BEGIN);
        *passOn = false;
        break;
    case TVN_ENDLABELEDITA:
        *result = Dispatch(EV_EDIT_END);
        *passOn = false;
        break;
    case TVN_SELCHANGEDA:
        // A tree view checks its fill flag and names its selected item itself.
        if (!OwnHandling(notifyHandler, header, wParam, result, passOn)) {
            event.param = 0;
            Dispatch(EV_SELECTION_CHANGED);
        }
        break;
    case LVN_ITEMACTIVATE:
        Dispatch(EV_COMMAND);
        break;
    default:
        return false;
    }
    return true;
}
