// The framework tests' shared host window, frame and event recorder.
#include "FrameworkFixture.h"

#include "TestHost.h"

namespace {

std::vector<SeenEvent> g_recorded;
int g_answer = 0;

// The host's own procedure: the previous procedure the frame passes messages on to.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::vector<SeenEvent>& Recorded() { return g_recorded; }
int& Answer() { return g_answer; }

static void Record(WindowEvent* e)
{
    g_recorded.push_back(SeenEvent{e->sender, e->user, e->param, e->eventCode, e->code, e->aux, e->notify,
                                   e->sender ? e->sender->Text() : ""});
}

int RecordingCallback(WindowEvent* e)
{
    Record(e);
    return g_answer;
}

int SecondCallback(WindowEvent* e)
{
    Record(e);
    g_recorded.back().user += 1000;   // tells the second callback's calls apart
    return 0;
}

// One host window per process: showing and destroying a top-level window
// under Wine without a window manager waits for the X server each time.
static HWND SharedHost()
{
    static HWND window = NULL;
    if (!window || !IsWindow(window)) {
        window = CreateTestHost(RegisterTestHostClass("OrvexTestHost", HostProc), "Host",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 10, 10, 640, 480);
    }
    return window;
}

void FrameTest::SetUp()
{
    g_recorded.clear();
    g_answer = 0;
    host = SharedHost();
    ASSERT_NE(nullptr, host);
    SetWindowPos(host, NULL, 10, 10, 640, 480, SWP_NOZORDER);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    ASSERT_EQ(frame, frame->Attach(host, NULL));
    Pump();
}

void FrameTest::TearDown()
{
    // Detach by hand (a frame never detaches) and clear the host for the next test.
    SetWindowLongPtrA(host, GWLP_WNDPROC, (LONG_PTR)HostProc);
    SetWindowLongPtrA(host, GWLP_USERDATA, 0);
    // A child that refuses to go would make this loop endless: at most 1,000.
    for (int n = 0; n < 1000; ++n) {
        HWND child = GetWindow(host, GW_CHILD);
        if (!child)
            break;
        DestroyWindow(child);
    }
    EXPECT_EQ(nullptr, GetWindow(host, GW_CHILD)) << "a child of the host window could not be destroyed";
    Pump();
}

CBaseWindow* FrameTest::Make(const char* type, int left, int top, int right, int bottom, DWORD style,
                             const char* text)
{
    return frame->CreateControl(type, left, top, right, bottom, 0, style, text, host);
}

RECT FrameTest::WindowRectInHost(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(NULL, host, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LRESULT CALLBACK ChooseFirstMenuItemOnIdle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static int sent = 0;
    if (message == WM_EXITMENULOOP)
        sent = 0;   // the next menu gets its keys too
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        if (!sent++) {
            PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RealMouse(HWND window, int x, int y, DWORD flags, DWORD data)
{
    POINT p = {x, y};
    ClientToScreen(window, &p);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = (p.x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = (p.y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof(move));
    for (int i = 0; i < 50; ++i) {
        Pump();
        POINT now;
        GetCursorPos(&now);
        if (abs(now.x - p.x) <= 1 && abs(now.y - p.y) <= 1)
            break;
        Sleep(10);
    }
    if (flags) {
        INPUT press = {};
        press.type = INPUT_MOUSE;
        press.mi.dwFlags = flags;
        press.mi.mouseData = data;
        SendInput(1, &press, sizeof(press));
    }
    for (int i = 0; i < 5; ++i) {
        Pump();
        Sleep(10);
    }
}
