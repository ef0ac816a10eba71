// CStatusBar: the status bar, its hints, part texts and progress bar.
#include "cwin/frame/StatusBar.h"
#include "cwin/system/Text.h"

#include <string.h>

// One status-bar font for all frames: a new one replaces (and deletes) the old.
static HFONT s_statusFont = NULL;

CStatusBar::CStatusBar(IWindowResources& frame, CControlFactory& factory, CControlTable& table, IEventGate& events)
    : m_frame(frame), m_factory(factory), m_table(table), m_events(events), m_window(NULL), m_defaultText(NULL),
      m_hintedWindow(NULL), m_notifyHandler(NULL), m_progressBar(NULL)
{
    memset(&m_font, 0, sizeof(m_font));
    m_text[0] = 0;
}

bool CStatusBar::Create(const char* defaultText, DWORD style, int fontHeight, int fontWidth, const char* face)
{
    m_defaultText = defaultText;
    InitCommonControls();
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, NULL, style | WS_CHILD, 0, 0, 0, 0, m_frame.GetMainWindow(),
                               NULL, m_frame.GetInstance(), NULL);
    if (!bar)
        return false;
    m_window = bar;
    if (fontHeight) {
        m_font.lfHeight = fontHeight;
        m_font.lfWidth = fontWidth;
        lstrcpynA(m_font.lfFaceName, face ? face : "Arial", LF_FACESIZE);
        HFONT made = CreateFontIndirectA(&m_font);
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

void CStatusBar::DeleteSharedFont()
{
    if (s_statusFont) {
        DeleteObject(s_statusFont);
        s_statusFont = NULL;
    }
}

bool CStatusBar::SetTextV(int part, int styleByte, const char* format, va_list args)
{
    if (!m_window || !format)
        return false;
    FormatInto(m_text, sizeof(m_text), format, args);
    WPARAM which = (WPARAM)(part | ((styleByte & 0xFF) << 9));
    return SendMessageA(m_window, SB_SETTEXTA, which, (LPARAM)m_text) != 0;
}

const char* CStatusBar::HintOf(HWND window)
{
    CBaseWindow* control = m_table.ObjectOf(window);
    if (control && control->Hint())
        return control->Hint();
    return m_defaultText ? m_defaultText : "";
}

bool CStatusBar::RestoreHint()
{
    if (!m_window)
        return false;
    return SetWindowTextA(m_window, HintOf(m_hintedWindow)) != FALSE;
}

void CStatusBar::ShowHintOf(HWND window)
{
    if (!m_window || window == m_hintedWindow)
        return;
    SetWindowTextA(m_window, HintOf(window));
    m_hintedWindow = window;
}

void CStatusBar::OnNotify(NMHDR* header, WPARAM wParam, LPARAM lParam)
{
    if (!m_window || header->hwndFrom != m_window || !m_notifyHandler)
        return;
    WindowEvent e;
    memset(&e, 0, sizeof(e));
    e.code = (int)header->code;
    e.aux = wParam;
    e.notify = lParam;
    switch (header->code) {
    case NM_CLICK: case NM_DBLCLK: case NM_RCLICK: case NM_RDBLCLK:
        e.param = (INT_PTR)reinterpret_cast<NMMOUSE*>(lParam)->dwItemSpec;
        break;
    }
    m_events.Lock();
    m_notifyHandler(&e);
    m_events.Unlock();
}

bool CStatusBar::CreateProgressBar(int part, DWORD style)
{
    RECT r;
    if (!m_window || !SendMessageA(m_window, SB_GETRECT, (WPARAM)part, (LPARAM)&r))
        return false;
    if (m_progressBar && m_table.IndexOf(m_progressBar) >= 0 && m_progressBar->GetHandle()) {
        m_progressBar->Destroy();
        m_progressBar = NULL;   // the sweep below frees it, whether or not a new bar is made
    }
    CProgBar* made = m_factory.Create<CProgBar>(ControlArgs().Parent(m_window).Place(r).Style(style));
    if (!made)
        return false;
    m_progressBar = made;
    return true;
}
