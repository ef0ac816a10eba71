// CCustom: the drawing surface's window procedure, back buffer and mouse coordinates.
#include "cwin/controls/Custom.h"
#include "cwin/window/WindowClass.h"

#include <math.h>
#include <string.h>
#include <x86intrin.h>

static HCURSOR s_arrow = NULL;

CCustom::CCustom()
    : memDC(NULL), eraseSuppressed(false), dirty(false), snappedX(0), snappedY(0), worldX(0), worldY(0),
      mouseKeys(0), scale(1.0), originX(0), originY(0), gridStep(1), snapEnabled(false),
      gridInPixels(false), worldGrid(0), doubleBuffered(false), oldBitmap(NULL), backBitmap(NULL),
      initPending(true), trackingLeave(false), timerEnabled(false), timerInterval(1000),
      timerRunning(true)
{
    kind = KIND_CUSTOM;
    backBrush = CreateSolidBrush(backColor);
    memset(&paint, 0, sizeof(paint));
}

CCustom::~CCustom()
{
    FreeBackBuffer();
    FreeDrawingObjects();
}

void CCustom::FreeOwnObjects()
{
    FreeBackBuffer();
    CBaseWindow::FreeOwnObjects();
}

void CCustom::FreeBackBuffer()
{
    // The stock bitmap goes back in first: a bitmap still selected into a DC
    // is not deleted.
    if (memDC && oldBitmap)
        SelectObject(memDC, oldBitmap);
    oldBitmap = NULL;
    if (backBitmap)
        DeleteObject(backBitmap);
    backBitmap = NULL;
    if (memDC)
        DeleteDC(memDC);
    memDC = NULL;
}

bool CCustom::SetEraseBackground(bool erase)
{
    eraseSuppressed = !erase;
    return true;
}

bool CCustom::Create()
{
    HINSTANCE instance = owner ? owner->Resources().GetInstance() : GetModuleHandleA(NULL);
    if (!EnsureWindowClass(instance, CWIN_CUSTOM_CLASS, WindowProc, CS_DBLCLKS))
        return false;
    if (!CreateWindowOf(CWIN_CUSTOM_CLASS))
        return false;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(this));
    return true;
}

bool CCustom::OnInit() { return true; }
bool CCustom::OnPaint(HDC, bool) { return true; }
bool CCustom::OnMouseMove() { return true; }
bool CCustom::OnSetCursor() { return false; }
bool CCustom::OnMouseButton(bool) { return false; }
bool CCustom::OnMouseLeave() { return true; }
bool CCustom::OnMouseWheel(int) { return true; }
bool CCustom::OnDoubleClick() { return true; }
bool CCustom::OnSize(int, int) { return true; }
bool CCustom::OnKey(int, bool) { return true; }
bool CCustom::OnScrollEnd(bool, SCROLLINFO*) { return true; }
bool CCustom::OnScroll(bool, SCROLLINFO*) { return true; }
bool CCustom::OnTimer(double) { return true; }

bool CCustom::Invalidate(bool makeDirty)
{
    dirty = makeDirty;
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
    return true;
}

void CCustom::MouseToWorld(int x, int y)
{
    // A grid step of 0 or less is no pixel grid (and no division by it).
    snappedX = gridStep > 0 ? (x / gridStep) * gridStep : x;
    snappedY = gridStep > 0 ? (y / gridStep) * gridStep : y;
    double inverse = 1.0 / scale;
    worldX = (x - originX) * inverse;
    worldY = (y - originY) * inverse;
    if (!snapEnabled)
        return;
    double o = gridInPixels ? (gridStep > 0 ? (double)gridStep : 0.0) : worldGrid;
    if (o == 0.0)   // no grid: positions stay unsnapped
        return;
    double ux = trunc(originX / scale), uy = trunc(originY / scale);
    double ex = ux - trunc(o * (ux / o)), ey = uy - trunc(o * (uy / o));
    worldX = trunc((worldX - ex) / o) * o;
    worldY = trunc((worldY - ey) / o) * o;
    snappedX = (int)trunc(worldX * scale + originX);
    snappedY = (int)trunc(worldY * scale + originY);
}

bool CCustom::Scroll(WPARAM request, int bar)
{
    SCROLLINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    if (!GetScrollInfo(hwnd, bar, &info))
        return false;
    bool vertical = bar == SB_VERT;
    switch (LOWORD(request)) {
    case SB_LINEUP:     info.nPos -= 1; break;
    case SB_LINEDOWN:   info.nPos += 1; break;
    case SB_PAGEUP:     info.nPos -= (int)info.nPage; break;
    case SB_PAGEDOWN:   info.nPos += (int)info.nPage; break;
    case SB_THUMBTRACK: info.nPos = HIWORD(request); break;
    case SB_ENDSCROLL:  OnScrollEnd(vertical, &info); return true;
    default:            return false;
    }
    if (info.nPos < info.nMin)
        info.nPos = info.nMin;
    if (info.nPos > info.nMax)
        info.nPos = info.nMax;
    if (!OnScroll(vertical, &info))
        return false;
    SetScrollPos(hwnd, bar, info.nPos, TRUE);
    return true;
}

void CCustom::Resize(int width, int height)
{
    GetClientRect(hwnd, &clientRect);
    HDC windowDC = GetDC(hwnd);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, width + 1, height + 1);
    ReleaseDC(hwnd, windowDC);
    if (bitmap && memDC) {
        HGDIOBJ previous = SelectObject(memDC, bitmap);
        if (!oldBitmap)
            oldBitmap = (HBITMAP)previous;
        if (backBitmap)
            DeleteObject(backBitmap);
        backBitmap = bitmap;
    } else if (bitmap) {
        DeleteObject(bitmap);   // no back buffer to hold it (its window is going)
    }
    OnSize(width, height);
    Invalidate(true);
}

// Calibrates the time-stamp counter against one second, then calls OnTimer
// with the seconds since the step before until the window goes away.
void CCustom::MeasurementLoop()
{
    KillTimer(hwnd, CWIN_MEASURE_TIMER);
    unsigned long long start = __rdtsc();
    Sleep(1000);
    unsigned long long previous = __rdtsc();
    double ticksPerSecond = (double)(previous - start);
    if (ticksPerSecond <= 0)
        ticksPerSecond = 1;
    while (timerRunning) {
        unsigned long long now = __rdtsc();
        if (timerEnabled)
            OnTimer((double)(now - previous) / ticksPerSecond);
        previous = now;
        if (!timerRunning)
            break;
        Sleep(timerInterval);
    }
}

LRESULT CALLBACK CCustom::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CBaseWindow* object = WindowObjectOf(window);
    if (!object || (object->GetKind() != KIND_CUSTOM && object->GetKind() != KIND_GRAPH))
        return DefWindowProcA(window, message, wParam, lParam);
    DispatchScope scope(object->Owner());   // OnMessage still uses the object after its handlers
    return static_cast<CCustom*>(object)->OnMessage(message, wParam, lParam);
}

LRESULT CCustom::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = hwnd ? hwnd : NULL;
    if (!s_arrow)
        s_arrow = LoadCursorA(NULL, IDC_ARROW);
    if (initPending) {
        HDC windowDC = GetDC(window);
        memDC = CreateCompatibleDC(windowDC);
        ReleaseDC(window, windowDC);
        dirty = true;
        OnInit();
        initPending = false;
    }
    if (message == WM_ERASEBKGND && eraseSuppressed)
        return 1;
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    bool handled;
    switch (message) {
    case WM_DESTROY:
        timerRunning = false;
        MarkDeleted(true);
        break;
    case WM_NCDESTROY:
        // The window's last message: nothing paints into the back buffer any more
        // (the splash, started again, makes a new one on its first message).
        FreeBackBuffer();
        break;
    case WM_SIZE:
        Resize(rect.right - rect.left, rect.bottom - rect.top);
        break;
    case WM_PAINT: {
        HDC dc = BeginPaint(window, &paint);
        if (!IsDeleted()) {
            if (doubleBuffered) {
                if (dirty && memDC) {
                    RECT area;
                    GetClientRect(window, &area);
                    FillRect(memDC, &area, backBrush);
                    OnPaint(memDC, true);
                    dirty = false;
                }
                BitBlt(dc, 0, 0, rect.right - rect.left + 1, rect.bottom - rect.top + 1, memDC, 0, 0, SRCCOPY);
            }
            OnPaint(dc, false);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        if (!OnSetCursor())
            SetCursor(s_arrow);
        return 1;
    case WM_KEYDOWN:
    case WM_KEYUP:
        OnKey((int)wParam, message == WM_KEYDOWN);
        break;
    case WM_TIMER:
        if (wParam == CWIN_MEASURE_TIMER)
            MeasurementLoop();
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (Scroll(wParam, message == WM_VSCROLL ? SB_VERT : SB_HORZ))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (!trackingLeave) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, window, 0};
            trackingLeave = TrackMouseEvent(&track) != FALSE;
        }
        mouseKeys = (DWORD)wParam;
        MouseToWorld(x, y);
        if (OnMouseMove())
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetFocus(window);
        mouseKeys = (DWORD)wParam;
        MouseToWorld(x, y);
        if (OnMouseButton(true))
            return 0;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        mouseKeys = (DWORD)wParam | (message == WM_LBUTTONUP ? MK_LBUTTON
                                     : message == WM_RBUTTONUP ? MK_RBUTTON : MK_MBUTTON);
        MouseToWorld(x, y);
        handled = OnMouseButton(false);
        mouseKeys = (DWORD)wParam;
        if (handled)
            return 0;
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        mouseKeys = (DWORD)wParam;
        MouseToWorld(x, y);
        if (OnDoubleClick())
            return 0;
        break;
    case WM_MOUSEWHEEL: {
        POINT p = {x, y};
        ScreenToClient(window, &p);
        mouseKeys = LOWORD(wParam);
        MouseToWorld(p.x, p.y);
        if (OnMouseWheel((short)HIWORD(wParam)))
            return 0;
        break;
    }
    case WM_MOUSELEAVE:
        trackingLeave = false;
        OnMouseLeave();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
