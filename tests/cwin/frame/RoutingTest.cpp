// The frame's router: colour, menu, context-menu and custom-draw messages and
// notifications of real controls become events of their objects.
#include "FrameworkFixture.h"

namespace {

using Routing = FrameTest;
using RoutingOnDesktop = FrameTest;

TEST_F(Routing, ColourMessagesAnswerTheObjectsBrush)
{
    CBaseWindow* label = Make<CStatic>(10, 10, 100, 30, WS_VISIBLE, "x");
    HDC dc = GetDC(label->GetHandle());
    // Without a brush the message goes on to the default handling.
    LRESULT plain = SendMessageA(host, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)label->GetHandle());
    label->SetColors(RGB(200, 0, 0), RGB(0, 0, 100));
    LRESULT coloured = SendMessageA(host, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)label->GetHandle());
    EXPECT_EQ((LRESULT)label->BackBrush(), coloured);
    EXPECT_NE(plain, coloured);
    EXPECT_EQ(RGB(200, 0, 0), GetTextColor(dc));
    EXPECT_EQ(RGB(0, 0, 100), GetBkColor(dc));
    ReleaseDC(label->GetHandle(), dc);
}

struct TargetRecorder : ICommandTarget
{
    std::vector<int> ids;
    int OnMenuCommand(int id) override { ids.push_back(id); return 1; }
};

TEST_F(Routing, AMenuCommandGoesToTheCommandTarget)
{
    TargetRecorder target;
    HWND other = CreateWindowExA(0, "OrvexTestHost", "Other", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    CAppFrame second;
    ASSERT_EQ(&second, second.Attach(other, &target));
    PostMessageA(other, WM_COMMAND, MAKEWPARAM(301, 0), 0);   // as a menu item sends it
    Pump();
    ASSERT_EQ(1u, target.ids.size());
    EXPECT_EQ(301, target.ids[0]);
    DestroyWindow(other);
}


TEST_F(RoutingOnDesktop, AContextMenuOverAControlOpensItsPopupAndReportsTheChoice)
{
    // The frame passes what it does not handle to the host's own procedure.
    HWND other = CreateWindowExA(0, "OrvexTestHost", "Menu", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                 NULL, NULL, GetModuleHandleA(NULL), NULL);
    SetWindowLongPtrA(other, GWLP_WNDPROC, (LONG_PTR)ChooseFirstMenuItemOnIdle);
    CAppFrame second;
    ASSERT_EQ(&second, second.Attach(other, NULL));
    CBaseWindow* button =
        second.Create<CButton>(ControlArgs().Parent(other).Place(20, 20, 120, 50).Style(WS_VISIBLE).Text("Menu"));
    ASSERT_TRUE(button->LoadPopupMenu(200, 0));
    ASSERT_NE(nullptr, button->PopupMenu());
    button->AddHandler(RecordingCallback, EV_MENU_OPENING | EV_MENU_COMMAND, 0, NULL);
    POINT p = {30, 30};
    ClientToScreen(other, &p);
    SendMessageA(other, WM_CONTEXTMENU, (WPARAM)other, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(2u, Recorded().size());
    EXPECT_EQ(EV_MENU_OPENING, Recorded()[0].eventCode);
    EXPECT_EQ((INT_PTR)button->PopupMenu(), Recorded()[0].param);
    EXPECT_EQ(EV_MENU_COMMAND, Recorded()[1].eventCode);
    EXPECT_EQ(301, Recorded()[1].param);
    DestroyWindow(other);
}

// Remembers the drawing stage of each custom-draw notification.
static std::vector<DWORD> g_stages;
static int RecordStage(WindowEvent* e)
{
    g_stages.push_back(reinterpret_cast<NMCUSTOMDRAW*>(e->param)->dwDrawStage);
    return CDRF_DODEFAULT;
}

TEST_F(Routing, CustomDrawFromARealTrackBarIsDispatchedWithTheHeader)
{
    CBaseWindow* track = Make<CTrackBar>(10, 10, 200, 40);
    ASSERT_NE(nullptr, track);
    track->AddHandler(RecordStage, EV_CUSTOM_DRAW, 0, NULL);
    g_stages.clear();
    InvalidateRect(track->GetHandle(), NULL, TRUE);
    UpdateWindow(track->GetHandle());
    ASSERT_FALSE(g_stages.empty());
    EXPECT_EQ((DWORD)CDDS_PREPAINT, g_stages[0]);
}

// The host of the tests below passes nothing on unseen: its own procedure
// counts the notifications the frame gives back to it and answers 99.
static int g_passedOn;
static LRESULT CALLBACK CountingNotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        ++g_passedOn;
        return 99;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class NotifyRouting : public FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_passedOn = 0;
        other = CreateWindowExA(0, "OrvexTestHost", "Notify", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
        ASSERT_NE(nullptr, other);
        SetWindowLongPtrA(other, GWLP_WNDPROC, (LONG_PTR)CountingNotifyProc);
        ASSERT_EQ(&second, second.Attach(other, &target));
        sender = second.Create<CButton>(ControlArgs().Parent(other).Place(10, 10, 80, 30).Style(WS_VISIBLE).Text("s"));
        ASSERT_NE(nullptr, sender);
        sender->AddHandler(RecordingCallback, 0, 0, NULL);
    }
    void TearDown() override
    {
        DestroyWindow(other);
        FrameTest::TearDown();
    }
    LRESULT Notify(UINT code, NMHDR* header, WPARAM wParam = 44)
    {
        header->hwndFrom = sender->GetHandle();
        header->idFrom = wParam;
        header->code = code;
        return SendMessageA(other, WM_NOTIFY, wParam, (LPARAM)header);
    }

    HWND other = NULL;
    CAppFrame second;
    TargetRecorder target;
    CBaseWindow* sender = NULL;
};

TEST_F(NotifyRouting, ReturnIsACommandWithParamZeroAndTheDispatchsAnswer)
{
    Answer() = 5;
    NMHDR header = {};
    EXPECT_EQ(5, Notify(NM_RETURN, &header));
    EXPECT_EQ(0, g_passedOn);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_COMMAND, Recorded()[0].eventCode);
    EXPECT_EQ(0, Recorded()[0].param);
    EXPECT_EQ(44u, Recorded()[0].aux);
    EXPECT_EQ((LPARAM)&header, Recorded()[0].notify);
}

TEST_F(NotifyRouting, ACacheHintCarriesItsCodeAnswersZeroAndIsNotPassedOn)
{
    Answer() = 5;
    NMLVCACHEHINT hint = {};
    hint.iFrom = 3;
    hint.iTo = 9;
    EXPECT_EQ(0, Notify(LVN_ODCACHEHINT, &hint.hdr));
    EXPECT_EQ(0, g_passedOn);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_CACHE_HINT, Recorded()[0].eventCode);
    EXPECT_EQ(-113, Recorded()[0].code);
    EXPECT_EQ((INT_PTR)&hint, Recorded()[0].param);

    // A notification without a row is passed on to the window's own procedure.
    NMHDR other = {};
    EXPECT_EQ(99, Notify(NM_SETFOCUS, &other));
    EXPECT_EQ(1, g_passedOn);
    EXPECT_EQ(1u, Recorded().size());
}

// A notification finds its sender through the object its window is bound to,
// but only an object of this frame's own table.
TEST_F(NotifyRouting, AWindowBoundToAnotherFramesObjectIsPassedOn)
{
    CCustom* surface = Make<CCustom>(10, 10, 60, 60);
    ASSERT_NE(nullptr, surface);
    ASSERT_EQ(static_cast<CBaseWindow*>(surface), WindowObjectOf(surface->GetHandle()));
    surface->AddHandler(RecordingCallback, 0, 0, NULL);
    Answer() = 5;
    NMHDR header = {};
    header.hwndFrom = surface->GetHandle();
    header.code = NM_RETURN;
    EXPECT_EQ(5, SendMessageA(host, WM_NOTIFY, 7, (LPARAM)&header));   // its own frame's window
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(static_cast<CBaseWindow*>(surface), Recorded()[0].sender);
    EXPECT_EQ(99, SendMessageA(other, WM_NOTIFY, 7, (LPARAM)&header));  // another frame's window
    EXPECT_EQ(1, g_passedOn);
    SendMessageA(other, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)surface->GetHandle());
    EXPECT_EQ(1u, Recorded().size());
}

TEST_F(NotifyRouting, AWindowWhoseUserDataIsNoObjectOfTheTableIsPassedOn)
{
    HWND plain = CreateWindowExA(0, "STATIC", NULL, WS_CHILD, 0, 0, 10, 10, other, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, plain);
    // What a foreign window keeps there is never read through...
    SetWindowLongPtrA(plain, GWLP_USERDATA, 1);
    NMHDR header = {};
    header.hwndFrom = plain;
    header.code = NM_RETURN;
    EXPECT_EQ(99, SendMessageA(other, WM_NOTIFY, 7, (LPARAM)&header));
    // ...and an object of this frame that never entered its table is none of its controls.
    CStatic stray;
    stray.SetUpItem(stray.GetKind(), &second, plain, 0, RECT{});
    stray.AddHandler(RecordingCallback, 0, 0, NULL);
    SetWindowLongPtrA(plain, GWLP_USERDATA, (LONG_PTR)static_cast<CBaseWindow*>(&stray));
    EXPECT_EQ(99, SendMessageA(other, WM_NOTIFY, 7, (LPARAM)&header));
    EXPECT_EQ(2, g_passedOn);
    EXPECT_TRUE(Recorded().empty());
    SetWindowLongPtrA(plain, GWLP_USERDATA, 0);
    DestroyWindow(plain);
}

TEST_F(NotifyRouting, AnObjectTheSweepTookOutIsNotFoundThroughItsWindow)
{
    CCustom kept;   // its storage stays with the test
    ASSERT_NE(nullptr, frame->Adopt(&kept, ControlArgs().Parent(host).Place(10, 10, 60, 60).Style(WS_VISIBLE)));
    kept.AddHandler(RecordingCallback, 0, 0, NULL);
    kept.MarkDeleted(true);                   // marked without its window going
    Make<CStatic>(0, 0, 5, 5);           // the sweep takes it out
    ASSERT_EQ(1, frame->GetControlCount());
    kept.MarkDeleted(false);
    ASSERT_EQ(static_cast<CBaseWindow*>(&kept), WindowObjectOf(kept.GetHandle()));
    NMHDR header = {};
    header.hwndFrom = kept.GetHandle();
    header.code = NM_RETURN;
    SendMessageA(host, WM_NOTIFY, 7, (LPARAM)&header);
    EXPECT_TRUE(Recorded().empty());
    DestroyWindow(kept.GetHandle());
}

TEST_F(NotifyRouting, ACommandWithCodeOneAndNoObjectGoesToTheCommandTarget)
{
    SendMessageA(other, WM_COMMAND, MAKEWPARAM(302, 1), 0);   // as an accelerator sends it
    ASSERT_EQ(1u, target.ids.size());
    EXPECT_EQ(302, target.ids[0]);
    EXPECT_TRUE(Recorded().empty());
}

// A stand-in for the tab control class over the real SysTabControl32.
struct StandInTab final : CBaseWindow, INotifyHandler
{
    std::vector<int> shown;
    StandInTab() { notifyHandler = this; }
    bool Create() override { return CreateWindowOf(WC_TABCONTROLA); }
    bool HandleNotify(NMHDR* header, WPARAM, LRESULT*, bool*) override
    {
        if (header->code == (UINT)TCN_SELCHANGE)
            shown.push_back((int)SendMessageA(hwnd, TCM_GETCURSEL, 0, 0));
        return true;
    }
};

TEST_F(Routing, ASelectedTabIsASelectionChangeAndShowsItsPage)
{
    ScopedControlMaker tabs(KIND_TCONTROL, MakeControlOf<StandInTab>);
    CBaseWindow* made = Make("TControl", 10, 10, 310, 110);
    ASSERT_NE(nullptr, made);
    StandInTab* tab = static_cast<StandInTab*>(made);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    const char* names[] = {"Один", "Два", "Три"};
    for (int i = 0; i < 3; ++i) {
        item.pszText = const_cast<char*>(names[i]);
        SendMessageA(tab->GetHandle(), TCM_INSERTITEMA, i, (LPARAM)&item);
    }
    tab->AddHandler(RecordingCallback, EV_SELECTION_CHANGED, 0, NULL);
    RECT third;
    ASSERT_TRUE(SendMessageA(tab->GetHandle(), TCM_GETITEMRECT, 2, (LPARAM)&third));
    LPARAM at = MAKELPARAM((third.left + third.right) / 2, (third.top + third.bottom) / 2);
    SendMessageA(tab->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tab->GetHandle(), WM_LBUTTONUP, 0, at);
    ASSERT_EQ(1u, Recorded().size());
    EXPECT_EQ(EV_SELECTION_CHANGED, Recorded()[0].eventCode);
    EXPECT_EQ(2, Recorded()[0].param);
    ASSERT_EQ(1u, tab->shown.size());
    EXPECT_EQ(2, tab->shown[0]);
}

}  // namespace
