// CAppFrame: attaching to the window, its procedure, and the forwards that
// need more than one line.
#include "cwin/frame/AppFrame.h"
#include "cwin/controls/Custom.h"
#include "cwin/system/HeapRegistry.h"

#include <locale.h>
#include <objbase.h>
#include <stdarg.h>
#include <string.h>

CAppFrame::CAppFrame()
    : m_mainWindow(NULL), m_instance(NULL), m_previousProc(NULL), m_table(m_events), m_factory(m_table, *this),
      m_statusBar(*this, m_factory, m_table, m_events), m_layout(*this, m_table, m_statusBar),
      m_tray(*this, m_events), m_drag(*this, m_table),
      m_router(*this, m_table, m_statusBar, m_tray, m_drag, m_layout)
{
    m_currentDirectory[0] = 0;
    m_table.SetWatcher(&m_drag);
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
    for (int i = 0; i < m_table.GetControlCount(); ++i)
        m_table.GetControl(i)->RestoreWindowProc();
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
        for (int i = 0; i < m_table.GetControlCount(); ++i) {
            CBaseWindow* c = m_table.GetControl(i);
            if (c->GetHandle() && IsWindow(c->GetHandle()))
                continue;
            c->FreeOwnObjects();
        }
        m_imageLists.DestroyAll();
        CStatusBar::DeleteSharedFont();
    }
}

CAppFrame* CAppFrame::Attach(HWND window, ICommandTarget* commandTarget)
{
    if (m_mainWindow || !window)
        return NULL;
    m_router.SetCommandTarget(commandTarget);
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
    m_clipboard.ReadPlatform();
    m_layout.ReadClientArea();
    GetCurrentDirectoryA(sizeof(m_currentDirectory), m_currentDirectory);
    return this;
}

LRESULT CALLBACK CAppFrame::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CAppFrame* frame = reinterpret_cast<CAppFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!frame || frame->m_mainWindow != window || !frame->m_previousProc)
        return DefWindowProcA(window, message, wParam, lParam);
    bool passOn = false;
    LRESULT result = frame->m_router.RouteForMainWindow(window, message, wParam, lParam, &passOn);
    if (passOn)
        return CallWindowProcA(frame->m_previousProc, window, message, wParam, lParam);
    return result;
}

int CAppFrame::ShowBox(const char* text, const char* caption, UINT type)
{
    return ShowMessageBox(m_mainWindow, text, caption, type);
}

ICustom* CAppFrame::CreateCustom(CCustom* object, int left, int top, int right, int bottom, ULONG_PTR exStyle,
                                 DWORD style, const char* text, HWND parent)
{
    ControlArgs args;
    args.Parent(parent).Place(left, top, right, bottom).Style(style).ExStyle((DWORD)exStyle).Text(text);
    return Adopt(object, args);
}

bool CAppFrame::SetStatusText(int part, int styleByte, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const bool done = m_statusBar.SetTextV(part, styleByte, format, args);
    va_end(args);
    return done;
}

bool CAppFrame::MemFree(void** variable)
{
    return g_heapRegistry.Free(variable);
}

bool CAppFrame::ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                                  ITableReceiver* receiver)
{
    CDelimitedTextReader reader(m_files, m_statusBar.GetProgressBar());
    if (length != 0 || !text || strcmp(text, "Clipboard") != 0)
        return reader.ReadDelimitedText(text, length, fieldSeparator, lineSeparator, receiver);
    char* clipboard = NULL;
    length = GetClipboardText(&clipboard);
    // An empty clipboard is nothing to split, as an empty file is.
    if (!clipboard || length == 0)
        length = -1;
    const bool result = reader.ReadDelimitedText(clipboard, length, fieldSeparator, lineSeparator, receiver);
    g_heapRegistry.Free(&clipboard);
    return result;
}
