// CStatusBar: the frame's status bar with its default text, the hint of the
// control under the pointer, the formatted part texts, the handler of the
// bar's notifications and the progress bar that lives in one of its parts.
#ifndef CWIN_STATUSBAR_H
#define CWIN_STATUSBAR_H

#include <stdarg.h>

#include "cwin/controls/ProgBar.h"
#include "cwin/frame/ControlFactory.h"

class CStatusBar
{
public:
    CStatusBar(IWindowResources& frame, CControlFactory& factory, CControlTable& table, IEventGate& events);
    CStatusBar(const CStatusBar&) = delete;
    CStatusBar& operator=(const CStatusBar&) = delete;

    // A bar along the main window's bottom; a font height other than 0 gives
    // it a font of its own (one for all frames: a new one deletes the old).
    bool Create(const char* defaultText, DWORD style, int fontHeight, int fontWidth, const char* face);
    HWND GetWindow() const { return m_window; }
    // part OR the style byte shifted left by 9 bits is SB_SETTEXTA's wParam.
    bool SetTextV(int part, int styleByte, const char* format, va_list args);

    // The hint of the control of a window (or the default text) as the bar's text.
    void ShowHintOf(HWND window);
    bool RestoreHint();

    // Called with param = the item of every notification the bar sends.
    void SetNotifyHandler(EventCallback handler) { m_notifyHandler = handler; }
    void OnNotify(NMHDR* header, WPARAM wParam, LPARAM lParam);

    // A progress bar made in a part (an earlier one of this frame goes); or one
    // made elsewhere, which long operations then advance (it may have no window).
    bool CreateProgressBar(int part, DWORD style);
    void SetProgressBar(CProgBar* bar) { m_progressBar = bar; }
    CProgBar* GetProgressBar() const { return m_progressBar; }

    // The shared font goes when the last frame does, with no window left to use it.
    static void DeleteSharedFont();

private:
    const char* HintOf(HWND window);

    IWindowResources& m_frame;
    CControlFactory&  m_factory;
    CControlTable&    m_table;
    IEventGate&       m_events;
    HWND          m_window;
    const char*   m_defaultText;
    HWND          m_hintedWindow;
    EventCallback m_notifyHandler;
    CProgBar*     m_progressBar;
    LOGFONTA      m_font;
    char          m_text[4096];
};

#endif
