// CAppFrame: attaching to a window, the status bar, layout, tray icon and the frame's operations.
#include "cwin/frame/AppFrame.h"
#include "cwin/system/HeapRegistry.h"

#include <locale.h>
#include <objbase.h>
#include <shellapi.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

// One status-bar font for all frames: a new one replaces (and deletes) the old.
static HFONT s_statusFont = NULL;

CAppFrame::CAppFrame()
    : inDialog(false), wantDefault(false), controlCount(0), m_mainWindow(NULL), m_instance(NULL),
      m_previousProc(NULL), m_workerCount(0), m_defaultStatusText(NULL), m_statusBar(NULL),
      m_oldStyleClipboard(false), m_dragSource(-1), m_statusNotify(NULL), m_adopt(NULL),
      m_eraseBackground(false), m_commandTarget(NULL), m_progressBar(NULL), m_hintedWindow(NULL),
      m_trayMessage(0), m_trayMenu(NULL), m_trayHandler(NULL), m_trayIcon(0), m_minWidth(-1),
      m_minHeight(-1), m_dragCapture(NULL), m_dispatchDepth(0)
{
    memset(controls, 0, sizeof(controls));
    memset(m_workers, 0, sizeof(m_workers));
    memset(&m_clientArea, 0, sizeof(m_clientArea));
    memset(&m_contextPoint, 0, sizeof(m_contextPoint));
    memset(&m_statusFont, 0, sizeof(m_statusFont));
    m_currentDirectory[0] = 0;
    m_statusText[0] = 0;
    InitializeCriticalSection(&m_eventLock);
    m_imageLists.SetOwner(this);
}

// Only the frame's own buffers go; windows, lock and workers are not torn down here.
// A library's frame goes when the library is unloaded, and a host may free it
// while its window lives on: that window and every window the framework
// subclassed get their own procedures back, so none of them calls into code
// that is gone. (The objects themselves are not freed here: the heap registry
// they might release into is already destroyed.)
CAppFrame::~CAppFrame()
{
    for (int i = 0; i < controlCount; ++i)
        controls[i]->RestoreWindowProc();
    const bool windowLives = m_mainWindow && IsWindow(m_mainWindow);
    if (windowLives && GetWindowLongPtrA(m_mainWindow, GWLP_WNDPROC) == (LONG_PTR)FrameProc) {
        SetWindowLongPtrA(m_mainWindow, GWLP_WNDPROC, (LONG_PTR)m_previousProc);
        SetWindowLongPtrA(m_mainWindow, GWLP_USERDATA, 0);
    }
    // The image lists, fonts, brushes and menus go with the frame, unless its
    // window lives on and its controls still draw with them: every load and
    // unload of a library would otherwise leave them behind, until the host
    // runs out of GDI handles. The objects stay (see above), so what a chart
    // or a drawing surface made of its own is freed here too.
    if (!windowLives) {
        for (int i = 0; i < controlCount; ++i) {
            CBaseWindow* c = controls[i];
            if (c->hwnd && IsWindow(c->hwnd))
                continue;
            c->FreeOwnObjects();
        }
        m_imageLists.DestroyAll();
        if (s_statusFont) {
            DeleteObject(s_statusFont);
            s_statusFont = NULL;
        }
    }
}

CAppFrame* CAppFrame::Attach(HWND window, ICommandTarget* commandTarget)
{
    if (m_mainWindow || !window)
        return NULL;
    m_commandTarget = commandTarget;
    // Letters fold in code page 1251; numbers keep a decimal point.
    setlocale(LC_ALL, "Russian");
    setlocale(LC_NUMERIC, "English");
    CoInitialize(NULL);
    INITCOMMONCONTROLSEX init = {sizeof(init), 0x1FFF};
    InitCommonControlsEx(&init);
    // The common controls stay loaded for good: their windows can outlive a
    // library that holds this frame, and would lose their procedures with it.
    HMODULE controls = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "comctl32.dll", &controls);
    m_mainWindow = window;
    m_instance = GetModuleHandleA(NULL);
    m_previousProc = (WNDPROC)GetWindowLongPtrA(window, GWLP_WNDPROC);
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)this);
    SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)FrameProc);
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExA(&version))
        m_oldStyleClipboard = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    GetClientRect(window, &m_clientArea);
    GetCurrentDirectoryA(sizeof(m_currentDirectory), m_currentDirectory);
    m_fileDialog.SetOwner(window);
    m_fileDialog.SetInstance(m_instance);
    return this;
}

LRESULT CALLBACK CAppFrame::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CAppFrame* frame = reinterpret_cast<CAppFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!frame || frame->m_mainWindow != window || !frame->m_previousProc)
        return DefWindowProcA(window, message, wParam, lParam);
    bool outerDialog = frame->inDialog;
    frame->inDialog = false;
    frame->wantDefault = false;
    LRESULT result = frame->RouteMessage(window, message, wParam, lParam);
    bool passOn = frame->wantDefault;
    frame->inDialog = outerDialog;
    if (passOn)
        return CallWindowProcA(frame->m_previousProc, window, message, wParam, lParam);
    return result;
}

int CAppFrame::ShowBox(const char* text, const char* caption, UINT type)
{
    return ShowMessageBox(m_mainWindow, text, caption, type);
}

// ---- status bar

bool CAppFrame::CreateStatusBar(const char* defaultText, DWORD barStyle, int fontHeight, int fontWidth,
                                const char* face)
{
    m_defaultStatusText = defaultText;
    InitCommonControls();
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, NULL, barStyle | WS_CHILD, 0, 0, 0, 0, m_mainWindow,
                               NULL, m_instance, NULL);
    if (!bar)
        return false;
    m_statusBar = bar;
    if (fontHeight) {
        m_statusFont.lfHeight = fontHeight;
        m_statusFont.lfWidth = fontWidth;
        lstrcpynA(m_statusFont.lfFaceName, face ? face : "Arial", LF_FACESIZE);
        HFONT made = CreateFontIndirectA(&m_statusFont);
        if (made) {
            SendMessageA(bar, WM_SETFONT, (WPARAM)made, TRUE);
            if (s_statusFont)
                DeleteObject(s_statusFont);
            s_statusFont = made;
        }
    }
    ShowWindow(bar, SW_SHOW);
    UpdateWindow(bar);
    return true;
}

bool CAppFrame::SetStatusText(int part, int styleByte, const char* format, ...)
{
    if (!m_statusBar || !format)
        return false;
    va_list args;
    va_start(args, format);
    vsnprintf(m_statusText, sizeof(m_statusText), format, args);
    va_end(args);
    WPARAM which = (WPARAM)(part | ((styleByte & 0xFF) << 9));
    return SendMessageA(m_statusBar, SB_SETTEXTA, which, (LPARAM)m_statusText) != 0;
}

static const char* HintOf(CAppFrame* frame, HWND window, const char* fallback)
{
    CBaseWindow* control = NULL;
    if (frame->FindControlByWindow(window, &control) && control->hint)
        return control->hint;
    return fallback ? fallback : "";
}

bool CAppFrame::RestoreStatusHint()
{
    if (!m_statusBar)
        return false;
    return SetWindowTextA(m_statusBar, HintOf(this, m_hintedWindow, m_defaultStatusText)) != FALSE;
}

void CAppFrame::ShowStatusHint(HWND window)
{
    if (!m_statusBar || window == m_hintedWindow)
        return;
    SetWindowTextA(m_statusBar, HintOf(this, window, m_defaultStatusText));
    m_hintedWindow = window;
}

bool CAppFrame::CreateProgressBar(int part, DWORD barStyle)
{
    RECT r;
    if (!m_statusBar || !SendMessageA(m_statusBar, SB_GETRECT, (WPARAM)part, (LPARAM)&r))
        return false;
    if (m_progressBar && m_progressBar->owner == this && m_progressBar->hwnd) {
        m_progressBar->Destroy();
        m_progressBar = NULL;   // the sweep below frees it, whether or not a new bar is made
    }
    CBaseWindow* made = CreateControl("ProgBar", r.left, r.top, r.right, r.bottom, 0, barStyle, NULL,
                                      m_statusBar);
    if (!made)
        return false;
    m_progressBar = static_cast<CProgBar*>(made);
    return true;
}

// ---- layout

int CAppFrame::FirstControlToLayout()
{
    for (int i = 0; i < controlCount; ++i)
        if (controls[i]->kind == KIND_DIALOG && !(controls[i]->style & WS_CHILD))
            return i;
    return 0;
}

void CAppFrame::LayoutControls(int width, int height)
{
    if (width == 0 || height == 0 || !m_mainWindow)
        return;
    int first = FirstControlToLayout();
    GetClientRect(m_mainWindow, &m_clientArea);
    if (m_statusBar) {
        SendMessageA(m_statusBar, WM_SIZE, 0, 0);
        RECT bar;
        if (GetWindowRect(m_statusBar, &bar))
            m_clientArea.bottom -= bar.bottom - bar.top;
    }
    for (int i = first; i < controlCount; ++i) {
        CBaseWindow* c = controls[i];
        if (c->deleted || (c->kind != KIND_REBAR && c->kind != KIND_TOOLBAR))
            continue;
        RECT bar;
        if (!GetWindowRect(c->hwnd, &bar))
            continue;
        switch (c->style & (CCS_TOP | CCS_BOTTOM | CCS_VERT)) {
        case CCS_TOP:             m_clientArea.top += bar.bottom - bar.top; break;
        case CCS_BOTTOM:          m_clientArea.bottom -= bar.bottom - bar.top; break;
        case CCS_VERT | CCS_TOP:  m_clientArea.left += bar.right - bar.left; break;
        case CCS_VERT | CCS_BOTTOM: m_clientArea.right -= bar.right - bar.left; break;
        }
    }
    for (int i = first; i < controlCount; ++i) {
        CBaseWindow* c = controls[i];
        if (c->deleted)
            continue;
        if (c->parent == m_mainWindow) {
            c->Layout(m_clientArea.right - m_clientArea.left, m_clientArea.bottom - m_clientArea.top);
        } else {
            RECT client = {0, 0, 0, 0};
            GetClientRect(c->parent, &client);
            c->Layout(client.right, client.bottom);
        }
    }
    for (int i = first; i < controlCount; ++i) {
        CBaseWindow* c = controls[i];
        RECT client;
        if (!c->deleted && c->kind == KIND_TCONTROL && GetClientRect(c->hwnd, &client))
            SendMessageA(c->hwnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    }
}

void CAppFrame::LayoutAll()
{
    RECT client;
    if (m_mainWindow && GetClientRect(m_mainWindow, &client))
        LayoutControls(client.right, client.bottom);
}

bool CAppFrame::SetMinimumClientSize(int width, int height, int eraseFlag)
{
    if (eraseFlag != -1)
        m_eraseBackground = eraseFlag != 0;
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongA(m_mainWindow, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(m_mainWindow, GWL_EXSTYLE));
    m_minWidth = (r.left < 0 ? -r.left : r.left) + r.right;
    m_minHeight = (r.top < 0 ? -r.top : r.top) + r.bottom;
    return true;
}

bool CAppFrame::OnSizing(RECT* dragged)
{
    if (m_minWidth == -1 || !dragged)
        return false;
    bool changed = false;
    if (dragged->right - dragged->left < m_minWidth) {
        dragged->right = dragged->left + m_minWidth;
        changed = true;
    }
    if (dragged->bottom - dragged->top < m_minHeight) {
        dragged->bottom = dragged->top + m_minHeight;
        changed = true;
    }
    return changed;
}

bool CAppFrame::ShowAllControls(bool show)
{
    for (int i = 0; i < controlCount; ++i) {
        CBaseWindow* c = controls[i];
        if (!show) {
            c->frameFlag = IsWindowVisible(c->hwnd) ? 1 : 0;
            ShowWindow(c->hwnd, SW_HIDE);
        } else if (c->frameFlag) {
            ShowWindow(c->hwnd, SW_SHOW);
        }
    }
    return true;
}

// ---- tray icon

bool CAppFrame::AddTrayIcon(UINT callbackMessage, int iconId, const char* tip, HMENU menu,
                            EventCallback commandHandler)
{
    NOTIFYICONDATAA data;
    memset(&data, 0, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_mainWindow;
    data.uID = (UINT)(iconId & 0xFFFF);
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = callbackMessage;
    if (iconId) {
        data.uFlags |= NIF_ICON;
        data.hIcon = LoadIconA(m_instance, MAKEINTRESOURCEA(iconId));
    }
    if (tip) {
        data.uFlags |= NIF_TIP;
        lstrcpynA(data.szTip, tip, 64);
    }
    if (!Shell_NotifyIconA(NIM_ADD, &data))
        return false;
    m_trayMessage = callbackMessage;
    if (menu)
        m_trayMenu = menu;
    m_trayHandler = commandHandler;
    m_trayIcon = iconId;
    return true;
}

bool CAppFrame::RemoveTrayIcon()
{
    if (!m_trayIcon)
        return false;
    NOTIFYICONDATAA data;
    memset(&data, 0, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_mainWindow;
    data.uID = (UINT)(m_trayIcon & 0xFFFF);
    BOOL done = Shell_NotifyIconA(NIM_DELETE, &data);
    UpdateWindow(GetDesktopWindow());
    m_trayIcon = 0;
    return done != FALSE;
}

void CAppFrame::OnTrayMessage(LPARAM mouse)
{
    if (mouse == WM_LBUTTONDBLCLK) {
        if (!IsWindowVisible(m_mainWindow))
            ShowWindow(m_mainWindow, SW_SHOW);
    } else if (mouse == WM_RBUTTONDOWN && m_trayMenu) {
        POINT p;
        GetCursorPos(&p);
        int command = (int)TrackPopupMenuEx(m_trayMenu, TPM_RETURNCMD, p.x, p.y, m_mainWindow, NULL);
        if (command > 0 && m_trayHandler) {
            WindowEvent e;
            memset(&e, 0, sizeof(e));
            e.eventCode = EV_MENU_COMMAND;
            e.param = command;
            Lock();
            m_trayHandler(&e);
            Unlock();
        }
    }
}

// ---- the rest of the operation table

CImageLists* CAppFrame::GetImageLists() { return &m_imageLists; }
CImageLists* CAppFrame::GetImageLists2() { return &m_imageLists; }
CFileChooser* CAppFrame::GetFileDialog() { return &m_fileDialog; }
const char* CAppFrame::GetCurrentDirectoryText() { return m_currentDirectory; }

bool CAppFrame::RegisterWorker(CMathFlow* worker, int interval)
{
    if (!worker || m_workerCount >= MaxWorkers)
        return false;
    m_workers[m_workerCount++] = worker;
    worker->mainWindow = m_mainWindow;
    worker->StartThread(interval);
    return true;
}

bool CAppFrame::MemAlloc(void** variable, SIZE_T size)
{
    return g_heapRegistry.Alloc(variable, size);
}

bool CAppFrame::MemRealloc(void** variable, SIZE_T size)
{
    return g_heapRegistry.Alloc(variable, size);
}

bool CAppFrame::MemFree(void** variable)
{
    return g_heapRegistry.Free(variable);
}

SIZE_T CAppFrame::MemSize(const void* block)
{
    return g_heapRegistry.Size(block);
}

bool CAppFrame::MemZero(void* block)
{
    return g_heapRegistry.Zero(block);
}

int CAppFrame::GetClipboardText(char** out)
{
    if (!out || !OpenClipboard(m_mainWindow))
        return 0;
    int length = 0;
    if (m_oldStyleClipboard) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* text = data ? static_cast<const char*>(GlobalLock(data)) : NULL;
        if (text) {
            length = (int)strlen(text);
            *out = NULL;
            if (g_heapRegistry.Alloc(out, (SIZE_T)length + 1))
                memcpy(*out, text, (size_t)length + 1);
            else
                length = 0;
            GlobalUnlock(data);
        }
    } else {
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : NULL;
        if (text) {
            int wide = (int)wcslen(text);
            int bytes = wide ? WideCharToMultiByte(CP_ACP, 0, text, wide, NULL, 0, NULL, NULL) : 0;
            *out = NULL;
            if (g_heapRegistry.Alloc(out, (SIZE_T)bytes + 1)) {
                length = bytes ? WideCharToMultiByte(CP_ACP, 0, text, wide, *out, bytes, NULL, NULL) : 0;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return length;
}
