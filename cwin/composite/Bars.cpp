// The tool bar, the rebar and the resize bar.
#include "cwin/composite/Bars.h"
#include "cwin/window/WindowClass.h"

#include <limits.h>
#include <string.h>
#include <windowsx.h>

static HINSTANCE InstanceOf(IWindowOwner* frame)
{
    return frame ? frame->Resources().GetInstance() : GetModuleHandleA(NULL);
}

// ---- tool bar

CToolBar::CToolBar() { kind = KIND_TOOLBAR; }

bool CToolBar::Create()
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    if (!CreateWindowOf(TOOLBARCLASSNAMEA))
        return false;
    SendMessageA(hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return true;
}

bool CToolBar::Layout(int, int)
{
    SendMessageA(hwnd, TB_AUTOSIZE, 0, 0);
    return true;
}

bool CToolBar::AddButtons(int firstId, int buttonWidth, int buttonHeight, int count, const char* labels)
{
    if (!hwnd)
        return false;
    SendMessageA(hwnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(buttonWidth, buttonHeight));
    TBADDBITMAP bitmap;
    bitmap.hInst = InstanceOf(owner);
    bitmap.nID = (UINT_PTR)(UINT)firstId;
    int firstImage = (int)SendMessageA(hwnd, TB_ADDBITMAP, 2, (LPARAM)&bitmap);

    int limit = count < CWIN_MAX_TOOLBAR_BUTTONS ? count : CWIN_MAX_TOOLBAR_BUTTONS;
    TBBUTTON buttons[CWIN_MAX_TOOLBAR_BUTTONS];
    memset(buttons, 0, sizeof(buttons));
    int made = 0;
    const char* next = labels;
    if (labels && !*labels)
        limit = 0;   // an empty list is no labels at all, not one empty label
    while (made < limit) {
        TBBUTTON& b = buttons[made];
        // Without the bitmap (-1) the buttons show no image rather than ask for one.
        b.iBitmap = firstImage >= 0 ? firstImage + made : I_IMAGENONE;
        b.idCommand = firstId + made;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = TBSTYLE_AUTOSIZE;
        b.iString = -1;
        if (labels) {
            const char* end = strchr(next, '|');
            size_t length = end ? (size_t)(end - next) : strlen(next);
            if (length > CWIN_TEXT_SIZE - 2)
                length = CWIN_TEXT_SIZE - 2;
            // A string list ends with a double zero.
            memmove(text, next, length);   // the labels may be this very buffer
            text[length] = 0;
            text[length + 1] = 0;
            // An empty label would add no string and take the next label's index.
            if (length)
                b.iString = SendMessageA(hwnd, TB_ADDSTRINGA, 0, (LPARAM)text);
            ++made;
            if (!end)
                break;
            next = end + 1;
        } else {
            ++made;
        }
    }
    if (made)
        SendMessageA(hwnd, TB_ADDBUTTONSA, (WPARAM)made, (LPARAM)buttons);
    // The buttons change the bar's height, which the frame's layout takes off
    // the controls' area before the bar lays itself out.
    SendMessageA(hwnd, TB_AUTOSIZE, 0, 0);
    return true;
}

// ---- rebar

CReBar::CReBar() { kind = KIND_REBAR; }

bool CReBar::Create()
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    return CreateWindowOf(REBARCLASSNAMEA);
}

// ---- resize bar

static HCURSOR s_sizeWE = NULL;
static HCURSOR s_sizeNS = NULL;

CReSizeBar::CReSizeBar()
    : splitPosition(30), thickness(3), parentDC(NULL), trackWidth(0), trackHeight(0), vertical(true),
      minimumBefore(30), minimumAfter(30), firstMessage(true), dragging(false), trackingShown(false),
      dcWindow(NULL)
{
    kind = KIND_RESIZEBAR;
    lastTrack.x = lastTrack.y = -1;
}

CReSizeBar::~CReSizeBar() { ReleaseParentDC(); }

void CReSizeBar::ReleaseParentDC()
{
    if (parentDC)
        ReleaseDC(dcWindow, parentDC);
    parentDC = NULL;
    dcWindow = NULL;
}

bool CReSizeBar::Release()
{
    ReleaseParentDC();
    return true;
}

bool CReSizeBar::Create()
{
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    vertical = !(height < width);
    thickness = vertical ? width : height;
    HINSTANCE instance = InstanceOf(owner);
    if (!EnsureWindowClass(instance, CWIN_RESIZEBAR_CLASS, WindowProc))
        return false;
    if (!CreateWindowOf(CWIN_RESIZEBAR_CLASS))
        return false;
    clientRect = rect;   // the area until the first layout
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(this));
    return true;
}

int CReSizeBar::Extent() const
{
    return vertical ? clientRect.right - clientRect.left : clientRect.bottom - clientRect.top;
}

// The minimum before wins over the minimum after, also when the area is too
// small for both: a shrinking window pushes the bar back to its minimum before
// and no further (clamping again then leaves it there).
int CReSizeBar::Clamp(int p) const
{
    long long position = p;
    long long highest = (long long)Extent() - minimumAfter;
    if (position > highest)
        position = highest;
    if (position < minimumBefore)
        position = minimumBefore;
    return (int)position;
}

bool CReSizeBar::Layout(int w, int h)
{
    if (w < 1 || h < 1)
        return false;
    // The anchors describe the area, not the bar: the base layout starts from
    // the area, so that edges without an anchor keep the area's place, and
    // leaves placing the window to the bar.
    RECT before = rect;
    rect = clientRect;
    HWND window = hwnd;
    hwnd = NULL;
    bool reposition = CBaseWindow::Layout(w, h);
    hwnd = window;
    clientRect = rect;
    splitPosition = Clamp(splitPosition);
    if (vertical) {
        rect.left = clientRect.left + splitPosition;
        rect.right = rect.left + thickness;
    } else {
        rect.top = clientRect.top + splitPosition;
        rect.bottom = rect.top + thickness;
    }
    bool moved = !EqualRect(&before, &rect);
    if (reposition || moved)
        SetWindowPos(hwnd, NULL, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    return reposition || moved;
}

bool CReSizeBar::SetSplitPosition(int position, bool percent)
{
    if (percent) {
        long long freeExtent = (long long)Extent() - thickness;
        long long share = freeExtent * position / 100;
        position = share > INT_MAX ? INT_MAX : share < INT_MIN ? INT_MIN : (int)share;
    }
    splitPosition = Clamp(position);
    if ((!owner || !owner->Table().RefreshFrom(GetId())) && hwnd)
        FitToParent();   // not in a frame's table: at least the bar moves
    HWND container = hwnd ? GetParent(hwnd) : NULL;
    if (!container)
        return false;
    InvalidateRect(container, NULL, TRUE);
    return UpdateWindow(container) != FALSE;
}

bool CReSizeBar::SetLimits(int before, int after)
{
    minimumBefore = before;
    minimumAfter = after;
    return true;
}

bool CReSizeBar::SetLimitsAndRefit(int before, int after)
{
    SetLimits(before, after);
    if (hwnd)
        FitToParent();
    return true;
}

LRESULT CALLBACK CReSizeBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CBaseWindow* object = WindowObjectOf(window);
    if (!object || object->GetKind() != KIND_RESIZEBAR || object->GetHandle() != window)
        return DefWindowProcA(window, message, wParam, lParam);
    DispatchScope scope(object->Owner());
    return static_cast<CReSizeBar*>(object)->OnMessage(message, wParam, lParam);
}

POINT CReSizeBar::ToParent(LPARAM point) const
{
    POINT p = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    MapWindowPoints(hwnd, GetParent(hwnd), &p, 1);
    return p;
}

void CReSizeBar::InvertAt(POINT at)
{
    if (parentDC)
        BitBlt(parentDC, at.x, at.y, trackWidth, trackHeight, NULL, 0, 0, DSTINVERT);
}

void CReSizeBar::HideTracking()
{
    if (trackingShown)
        InvertAt(lastTrack);
    trackingShown = false;
    lastTrack.x = lastTrack.y = -1;
}

// The tracking bar stays on the split position the cursor would give, and
// stays put while the cursor moves along the bar.
void CReSizeBar::MoveTracking(POINT cursor)
{
    POINT at;
    if (vertical) {
        at.x = clientRect.left + Clamp(cursor.x - clientRect.left);
        at.y = rect.top;
    } else {
        at.x = rect.left;
        at.y = clientRect.top + Clamp(cursor.y - clientRect.top);
    }
    if (trackingShown && at.x == lastTrack.x && at.y == lastTrack.y)
        return;
    if (trackingShown)
        InvertAt(lastTrack);
    InvertAt(at);
    trackingShown = true;
    lastTrack = at;
}

void CReSizeBar::EndDrag()
{
    dragging = false;   // before the capture goes: WM_CAPTURECHANGED comes at once
    HideTracking();
    if (GetCapture() == hwnd)
        ReleaseCapture();
}

LRESULT CReSizeBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!s_sizeWE)
        s_sizeWE = LoadCursorA(NULL, IDC_SIZEWE);
    if (!s_sizeNS)
        s_sizeNS = LoadCursorA(NULL, IDC_SIZENS);
    if (firstMessage) {
        firstMessage = false;
        // Not clipped to the parent's children: the tracking bar crosses them.
        dcWindow = GetParent(hwnd);
        parentDC = dcWindow ? GetDCEx(dcWindow, NULL, DCX_CACHE) : NULL;
        if (!parentDC)
            dcWindow = NULL;
        RECT r;
        GetWindowRect(hwnd, &r);
        trackWidth = r.right - r.left;
        trackHeight = r.bottom - r.top;
    }
    switch (message) {
    case WM_SIZE: {
        RECT r;
        GetWindowRect(hwnd, &r);
        trackWidth = r.right - r.left;
        trackHeight = r.bottom - r.top;
        break;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        // Without colours of its own the bar keeps its class's colour.
        FillRect(dc, &paint.rcPaint, backBrush ? backBrush : GetSysColorBrush(COLOR_MENU));
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        SetCursor(vertical ? s_sizeWE : s_sizeNS);
        break;
    case WM_LBUTTONDOWN:
        dragging = true;
        trackingShown = false;
        lastTrack.x = lastTrack.y = -1;
        SetCapture(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        if (dragging)
            MoveTracking(ToParent(lParam));
        return 0;
    case WM_LBUTTONUP: {
        if (!dragging)
            break;
        POINT cursor = ToParent(lParam);
        // The tracking bar goes before anything is redrawn under it.
        EndDrag();
        SetSplitPosition(vertical ? cursor.x - clientRect.left : cursor.y - clientRect.top, false);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (dragging && (HWND)lParam != hwnd)
            EndDrag();
        break;
    case WM_DESTROY:
        if (dragging)
            EndDrag();
        ReleaseParentDC();
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
