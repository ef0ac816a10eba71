// CSplash: the splash window shown while the owner's call-back runs.
#include "cwin/frame/Splash.h"
#include "cwin/frame/AppFrame.h"

CSplash::CSplash()
    : bitmap(NULL), callback(NULL), displayMs(3000), finished(false), done(false), m_sourceDC(NULL)
{
}

bool CSplash::Start(CAppFrame* frame, HBITMAP picture, EventCallback call, DWORD ms)
{
    if (!frame || hwnd)
        return false;
    bitmap = picture;
    callback = call;
    displayMs = ms;
    finished = done = false;
    initPending = true;
    timerRunning = true;
    timerEnabled = true;
    timerInterval = 10;
    int x = (GetSystemMetrics(SM_CXSCREEN) - CWIN_SPLASH_WIDTH) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - CWIN_SPLASH_HEIGHT) / 2;
    if (!frame->CreateCustom(this, x, y, x + CWIN_SPLASH_WIDTH, y + CWIN_SPLASH_HEIGHT, WS_EX_TOPMOST,
                             WS_POPUP | WS_VISIBLE, NULL, NULL))
        return false;
    return SetTimer(hwnd, CWIN_MEASURE_TIMER, 10, NULL) != 0;
}

bool CSplash::OnTimer(double)
{
    if (finished || done)
        return true;
    DWORD start = GetTickCount();
    if (callback) {
        PrepareEvent(0, 0, 0);
        event.sender = this;
        callback(&event);
    }
    DWORD spent = GetTickCount() - start;
    if (spent < displayMs)
        Sleep(displayMs - spent);
    finished = true;
    Invalidate(false);
    return true;
}

bool CSplash::OnPaint(HDC dc, bool toBackBuffer)
{
    if (toBackBuffer)
        return true;
    if (!finished) {
        if (!bitmap)
            return true;
        if (!m_sourceDC)
            m_sourceDC = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(m_sourceDC, bitmap);
        RECT area;
        GetClientRect(hwnd, &area);
        StretchBlt(dc, 0, 0, area.right, area.bottom, m_sourceDC, 0, 0, CWIN_SPLASH_WIDTH,
                   CWIN_SPLASH_HEIGHT, SRCCOPY);
        SelectObject(m_sourceDC, previous);
        return true;
    }
    finished = false;
    done = true;
    Destroy();   // the sweep only takes it out of the table: the frame holds its storage
    if (owner && owner->GetMainWindow())
        ShowWindow(owner->GetMainWindow(), SW_SHOW);
    return true;
}
