// The converter's run and its window.
#include "ConverterRun.h"

#include <stdio.h>
#include <string.h>

#include <vector>

#include "HostCommon.h"
#include "cwin/system/CapturedProcess.h"
#include "ViewerTexts.h"

namespace host {

const char kConverterWindowClass[] = "OrvexConvertWindow";

namespace {

const int kCloseButtonId = IDCANCEL;   // Esc closes it too
const int kWidth = 680, kHeight = 440, kMargin = 10, kResultHeight = 52, kButtonWidth = 110, kButtonHeight = 28;

// The console lines in a read-only box that a person can select and copy from,
// a line above them that says what the run came to, and «Закрыть», which works
// once the converter has ended.
class ConverterWindow
{
public:
    explicit ConverterWindow(HWND owner) : m_owner(owner)
    {
        if (!Register())
            return;
        RECT place = {100, 100, 100 + kWidth, 100 + kHeight};
        if (owner) {
            RECT over;
            GetWindowRect(owner, &over);
            place = {over.left + 50, over.top + 60, over.left + 50 + kWidth, over.top + 60 + kHeight};
        }
        HINSTANCE instance = GetModuleHandleA(NULL);
        m_window = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kConverterWindowClass, text::kConverting,
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, owner, NULL, instance, this);
        if (!m_window)
            return;
        RECT client;
        GetClientRect(m_window, &client);
        HFONT gui = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
        m_result = CreateWindowExA(0, "STATIC", text::kConverterRunning, WS_CHILD | WS_VISIBLE | SS_LEFT, kMargin,
                                   kMargin, client.right - 2 * kMargin, kResultHeight, m_window,
                                   (HMENU)(INT_PTR)kConverterResultId, instance, NULL);
        int linesTop = kMargin + kResultHeight + kMargin / 2;
        int buttonTop = client.bottom - kMargin - kButtonHeight;
        m_lines = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                      ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                  kMargin, linesTop, client.right - 2 * kMargin, buttonTop - kMargin - linesTop,
                                  m_window, (HMENU)(INT_PTR)kConverterLinesId, instance, NULL);
        m_close = CreateWindowExA(0, "BUTTON", text::kCloseButton,
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_DEFPUSHBUTTON,
                                  client.right - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight,
                                  m_window, (HMENU)(INT_PTR)kCloseButtonId, instance, NULL);
        m_font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
        SendMessageA(m_result, WM_SETFONT, (WPARAM)gui, FALSE);
        SendMessageA(m_close, WM_SETFONT, (WPARAM)gui, FALSE);
        SendMessageA(m_lines, WM_SETFONT, (WPARAM)(m_font ? m_font : GetStockObject(ANSI_FIXED_FONT)), FALSE);
        // Modal over the viewer's window, and the active one: its keys work.
        if (owner)
            EnableWindow(owner, FALSE);
        ShowWindow(m_window, SW_SHOW);
        SetForegroundWindow(m_window);
        SetFocus(m_lines);
        UpdateWindow(m_window);
    }

    ~ConverterWindow()
    {
        if (m_owner && IsWindow(m_owner))
            EnableWindow(m_owner, TRUE);
        if (m_window)
            DestroyWindow(m_window);
        if (m_font)
            DeleteObject(m_font);
        if (m_owner && IsWindow(m_owner))
            SetActiveWindow(m_owner);
    }

    // Console output: lines end at LF (CR LF or a lone LF); the box shows CR LF.
    void Add(const char* bytes, size_t size)
    {
        std::string shown;
        for (size_t i = 0; i < size; ++i) {
            char c = bytes[i];
            if (c == '\r')
                continue;
            if (c == '\n') {
                Say("fromZORB: %s", m_line.c_str());
                m_line.clear();
                shown += "\r\n";
            } else {
                m_line += c;
                shown += c;
            }
        }
        Show(shown);
    }

    // The converter has ended: what it came to, and «Закрыть» to be pressed.
    void Finish(const std::string& result)
    {
        if (!m_line.empty())
            Say("fromZORB: %s", m_line.c_str());
        m_line.clear();
        Say("converter window: %s", result.c_str());
        if (!m_window)
            return;
        SetWindowTextA(m_result, result.c_str());
        EnableWindow(m_close, TRUE);
        SetFocus(m_close);
        m_finished = true;
    }

    bool Closed() const { return m_closed || !m_window || !IsWindow(m_window); }

    // Keys of the window: Ctrl+A in the lines selects them all (Ctrl+C is the
    // box's own); Tab, Enter and Esc as in a dialog. True when taken.
    bool Translate(MSG& message)
    {
        if (!m_window)
            return false;
        if (message.message == WM_KEYDOWN && message.hwnd == m_lines && message.wParam == 'A' &&
            GetKeyState(VK_CONTROL) < 0) {
            SendMessageA(m_lines, EM_SETSEL, 0, -1);
            return true;
        }
        return IsDialogMessageA(m_window, &message) != 0;
    }

private:
    static bool Register()
    {
        static bool registered = false;
        if (registered)
            return true;
        registered = RegisterViewerClass(kConverterWindowClass, Procedure, NULL);
        return registered;
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              (LONG_PTR)reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ConverterWindow* self = reinterpret_cast<ConverterWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
        case WM_COMMAND:
            if (self && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
                // While the converter runs there is nothing to close.
                if (self->m_finished)
                    self->m_closed = true;
                return 0;
            }
            break;
        case WM_CLOSE:
            if (self && self->m_finished)
                self->m_closed = true;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void Show(const std::string& shown)
    {
        if (!m_lines || shown.empty())
            return;
        int end = GetWindowTextLengthA(m_lines);
        SendMessageA(m_lines, EM_SETSEL, end, end);
        SendMessageA(m_lines, EM_REPLACESEL, FALSE, (LPARAM)shown.c_str());
    }

    HWND m_owner;
    HWND m_window = NULL, m_result = NULL, m_lines = NULL, m_close = NULL;
    HFONT m_font = NULL;
    std::string m_line;
    bool m_finished = false;
    bool m_closed = false;
};

// The converter window's own loop. The viewer's thread messages (its menu
// commands, its boxes) wait until the window is closed; a quit is passed on.
class ModalLoop
{
public:
    explicit ModalLoop(ConverterWindow& window) : m_window(window) {}
    ~ModalLoop()
    {
        for (const MSG& message : m_deferred)
            PostThreadMessageA(GetCurrentThreadId(), message.message, message.wParam, message.lParam);
        if (m_quit)
            PostQuitMessage(0);
    }
    void Run()
    {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                m_quit = true;
                continue;
            }
            if (message.hwnd == NULL && message.message >= WM_APP) {
                m_deferred.push_back(message);
                continue;
            }
            if (m_window.Translate(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    bool Quit() const { return m_quit; }

private:
    ConverterWindow& m_window;
    std::vector<MSG> m_deferred;
    bool m_quit = false;
};

std::string ResultLine(const ConverterRun& run)
{
    switch (run.exitCode) {
    case kConverted:
        return StepFailed(run.output, "Import moves type") ? text::kConvertedWithoutKinds : text::kConvertedOk;
    case kNotWritten:    return text::kConvertNotWritten;
    case kNotRead:       return text::kConvertNotRead;
    case kNoReportTable: return text::kConvertNoTable;
    }
    char line[512];
    snprintf(line, sizeof line, text::kConvertFailed, run.exitCode);
    return line;
}

}  // namespace

// The piece of the console output that one import step printed.
bool StepFailed(const std::string& output, const char* step)
{
    size_t at = output.find(step);
    if (at == std::string::npos)
        return false;
    size_t next = output.find("Import", at + 1);
    return output.substr(at, next == std::string::npos ? std::string::npos : next - at).find("fault !!!") !=
           std::string::npos;
}

// Runs the converter in the report's folder and waits for it, the windows
// alive meanwhile; its console output is collected and shown as it comes.
ConverterRun RunConverter(const std::string& converter, const std::string& folder, bool autoClose)
{
    ConverterRun run;
    ConverterWindow window(g_main);
    ModalLoop loop(window);
    CCapturedProcess process;
    run.started = process.Start(converter.c_str(), "\"" + converter + "\"", folder.c_str(), CREATE_NO_WINDOW);
    if (!run.started) {
        run.startError = process.StartError();
        return run;
    }
    for (;;) {
        std::string piece;
        CCapturedProcess::ReadResult read = process.ReadAvailable(piece);
        if (read == CCapturedProcess::Read) {
            run.output += piece;
            window.Add(piece.data(), piece.size());
            continue;
        }
        if (read == CCapturedProcess::PipeClosed && process.Wait(0))
            break;
        HANDLE ended = process.Process();
        MsgWaitForMultipleObjects(1, &ended, FALSE, 50, QS_ALLINPUT);
        loop.Run();
    }
    process.Wait(INFINITE);
    run.exitCode = process.ExitCode();
    window.Finish(ResultLine(run));
    if (autoClose) {
        // Automation: nobody reads the window; a moment on the screen.
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 300) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
            loop.Run();
        }
    } else {
        while (!window.Closed() && !loop.Quit()) {
            WaitMessage();
            loop.Run();
        }
    }
    return run;
}

}  // namespace host
