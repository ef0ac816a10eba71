// A top-level host window with a frame attached to it, and the helpers the
// framework tests share: pumping messages and recording events.
#ifndef TESTS_FRAMEWORKFIXTURE_H
#define TESTS_FRAMEWORKFIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "cwin/frame/AppFrame.h"
#include "cwin/controls/BasicControls.h"
#include "cwin/controls/Custom.h"
#include "cwin/controls/RangeControls.h"
#include "TestSupport.h"

// Window procedure for a window that owns an open pop-up menu: the first time
// the menu waits for input it chooses the menu's first item (Down, Enter).
LRESULT CALLBACK ChooseFirstMenuItemOnIdle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a callback saw, event by event.
struct SeenEvent
{
    CBaseWindow* sender;
    int user;
    INT_PTR param;
    int eventCode;
    int code;
    WPARAM aux;
    LPARAM notify;
    std::string text;   // the sender's text buffer at that moment
};

// Callbacks that record into Recorded(); the answer is Answer().
std::vector<SeenEvent>& Recorded();
int& Answer();
int RecordingCallback(WindowEvent* event);
int SecondCallback(WindowEvent* event);

// Real input through the input system, as a user gives it: the pointer moved to
// a client point of the window (waited for, bounded), then the button or wheel
// flags of MOUSEEVENTF_* with their data, if any, and a few pumped rounds.
void RealMouse(HWND window, int x, int y, DWORD flags = 0, DWORD data = 0);

// Gives a control kind a class for one scope and puts the previous one back:
// the kinds' classes are shared by the whole process.
class ScopedControlMaker
{
public:
    ScopedControlMaker(int kind, ControlMaker maker) : m_kind(kind), m_previous(CControlFactory::GetControlMaker(kind))
    {
        CControlFactory::SetControlMaker(kind, maker);
    }
    ~ScopedControlMaker() { CControlFactory::SetControlMaker(m_kind, m_previous); }

private:
    int m_kind;
    ControlMaker m_previous;
};

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes a control in the host's client area: by type name, or typed.
    CBaseWindow* Make(const char* type, int left, int top, int right, int bottom,
                      DWORD style = WS_VISIBLE, const char* text = NULL);
    template <class T>
    T* Make(int left, int top, int right, int bottom, DWORD style = WS_VISIBLE, const char* text = NULL)
    {
        return frame->Create<T>(ControlArgs().Parent(host).Place(left, top, right, bottom).Style(style).Text(text));
    }
    RECT WindowRectInHost(HWND window);

    HWND host = NULL;
    CAppFrame frameStorage;
    CAppFrame* frame = &frameStorage;
    MessageBoxRecorder boxes;
};

#endif
