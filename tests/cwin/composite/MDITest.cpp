// The MDI client in the frame's main window and its child windows: creation
// under a main window with a menu, children reporting their creation, the
// child table, maximising, activation, refitting and a second MDI control.
#include "FrameworkFixture.h"
#include "cwin/composite/MDIChild.h"

#include <string>
#include <vector>

namespace {

// What the creation handler saw of each child, at the time.
struct Created
{
    CBaseWindow* sender;
    HWND child;
    WPARAM aux;
    std::string title;
    LPARAM value;   // the MDICREATESTRUCT's lParam
};
std::vector<Created> g_created;
bool g_enterChildren = true;

int OnChildCreated(WindowEvent* e)
{
    Created c = {e->sender, (HWND)e->param, e->aux, "", 0};
    CREATESTRUCTA* create = reinterpret_cast<CREATESTRUCTA*>(e->notify);
    if (create) {
        c.title = create->lpszName ? create->lpszName : "";
        MDICREATESTRUCTA* mdi = reinterpret_cast<MDICREATESTRUCTA*>(create->lpCreateParams);
        c.value = mdi ? mdi->lParam : -1;
    }
    g_created.push_back(c);
    if (g_enterChildren && e->eventCode == EV_DIALOG_INIT)
        static_cast<CMDI_Child*>(e->sender)->AddChild(c.child, (int)c.value);
    return 0;
}

class MDIFixture : public FrameTest
{
protected:
    void SetUp() override
    {
        g_created.clear();
        g_enterChildren = true;
        FrameTest::SetUp();
        menuBar = CreateMenu();
        windowMenu = CreatePopupMenu();
        AppendMenuA(windowMenu, MF_STRING, 900, "Каскадом");
        AppendMenuA(menuBar, MF_POPUP, (UINT_PTR)windowMenu, "Окно");
        SetMenu(host, menuBar);
    }

    void TearDown() override
    {
        // The MDI controls go while their frame lives.
        for (int i = 0; i < frame->GetControlCount(); ++i)
            if (frame->GetControl(i)->GetKind() == KIND_MDI)
                frame->GetControl(i)->Destroy();
        EXPECT_EQ(nullptr, CMDI_Child::Current());
        SetMenu(host, NULL);
        DestroyMenu(menuBar);
        FrameTest::TearDown();
    }

    // An MDI control over the whole free area, reporting creations to OnChildCreated.
    CMDI_Child* MakeMDI()
    {
        CBaseWindow* made = Make<CMDI_Child>(0, 0, 10, 10, WS_VISIBLE | WS_CLIPCHILDREN);
        if (!made)
            return NULL;
        made->Anchor(NULL, ANCHOR_LEFT, 1);
        made->Anchor(NULL, ANCHOR_TOP, 1);
        made->Anchor(NULL, ANCHOR_RIGHT, 1);
        made->Anchor(NULL, ANCHOR_BOTTOM, 1);
        made->AddHandler(OnChildCreated, EV_DIALOG_INIT, 0, NULL);
        frame->LayoutAll();
        return static_cast<CMDI_Child*>(made);
    }

    HWND NewChild(CMDI_Child* mdi, const char* title, LPARAM value)
    {
        MDICREATESTRUCTA create = {};
        create.szClass = CWIN_MDI_CHILD_CLASS;
        create.szTitle = title;
        create.hOwner = frame->GetInstance();
        create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
        create.lParam = value;
        return (HWND)SendMessageA(mdi->GetHandle(), WM_MDICREATE, 0, (LPARAM)&create);
    }

    HMENU menuBar = NULL;
    HMENU windowMenu = NULL;
};

using MDIClient = MDIFixture;
using MDIChildren = MDIFixture;

TEST_F(MDIClient, ItIsAnMdiClientInTheMainWindowWithTheWindowMenu)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    EXPECT_EQ(KIND_MDI, mdi->GetKind());
    char name[64];
    GetClassNameA(mdi->GetHandle(), name, sizeof(name));
    EXPECT_EQ(0, lstrcmpiA("mdiclient", name)) << name;   // class names ignore case
    EXPECT_EQ(host, GetParent(mdi->GetHandle()));
    EXPECT_TRUE(IsWindowVisible(mdi->GetHandle()));
    EXPECT_EQ(mdi, CMDI_Child::Current());
    EXPECT_EQ(mdi->GetId(), mdi->mdiId);
    EXPECT_STREQ(CWIN_MDI_CHILD_CLASS, mdi->childClass);
    // Laid out over the free area by its anchors.
    RECT client;
    GetClientRect(host, &client);
    RECT placed = WindowRectInHost(mdi->GetHandle());
    EXPECT_EQ(0, placed.left);
    EXPECT_EQ(client.right, placed.right);
    EXPECT_EQ(client.bottom, placed.bottom);

    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(frame->GetInstance(), CWIN_MDI_CHILD_CLASS, &wc));
    EXPECT_EQ((HBRUSH)(COLOR_MENU + 1), wc.hbrBackground);
    EXPECT_EQ(nullptr, wc.hCursor);

    // Children are numbered from 4100 and listed in the first pop-up of the menu.
    HWND first = NewChild(mdi, "Документ 1", 1);
    HWND second = NewChild(mdi, "Документ 2", 2);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(4100, (int)GetWindowLongPtrA(first, GWLP_ID));
    EXPECT_EQ(4101, (int)GetWindowLongPtrA(second, GWLP_ID));
    SendMessageA(mdi->GetHandle(), WM_MDIREFRESHMENU, 0, 0);
    char item[64] = "";
    EXPECT_GT(GetMenuStringA(windowMenu, 4100, item, sizeof(item), MF_BYCOMMAND), 0);
    EXPECT_NE(std::string::npos, std::string(item).find("Документ"));

    // A second control of the kind uses the class registered by the first.
    CMDI_Child* other = MakeMDI();
    ASSERT_NE(nullptr, other);
    WNDCLASSA again;
    ASSERT_TRUE(GetClassInfoA(frame->GetInstance(), CWIN_MDI_CHILD_CLASS, &again));
    EXPECT_EQ(wc.lpfnWndProc, again.lpfnWndProc);
}

TEST_F(MDIClient, WithoutAMenuThereIsNoWindowMenuAndNothingBreaks)
{
    SetMenu(host, NULL);
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    HWND child = NewChild(mdi, "Без меню", 3);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(1, mdi->GetChildCount());
    SetMenu(host, menuBar);
}

TEST_F(MDIClient, AFrameWithoutAMainWindowMakesNone)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    CAppFrame detached;
    EXPECT_EQ(nullptr, detached.CreateControl("MDI", 0, 0, 100, 100, 0, WS_VISIBLE, NULL, NULL));
    EXPECT_EQ(0, detached.GetControlCount());
    EXPECT_EQ(mdi, CMDI_Child::Current());
}

TEST_F(MDIChildren, CreationReportsTheChildToTheOwner)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    HWND child = NewChild(mdi, "Документ 1", 77);
    ASSERT_NE(nullptr, child);
    ASSERT_EQ(1u, g_created.size());
    EXPECT_EQ(mdi, g_created[0].sender);
    EXPECT_EQ(child, g_created[0].child);
    EXPECT_EQ(0u, g_created[0].aux);
    EXPECT_EQ("Документ 1", g_created[0].title);
    EXPECT_EQ(77, g_created[0].value);
    // The owner entered it: the table and the child's user data.
    ASSERT_EQ(1, mdi->GetChildCount());
    EXPECT_EQ(child, mdi->GetChild(0));
    EXPECT_EQ(77, mdi->GetChildValue(0));
    EXPECT_EQ((LONG_PTR)static_cast<CBaseWindow*>(mdi), GetWindowLongPtrA(child, GWLP_USERDATA));
    EXPECT_EQ(child, mdi->GetActiveChild());   // a new child is activated
}

TEST_F(MDIChildren, DestroyedChildrenLeaveTheTableAndTheLaterOnesMoveUp)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    HWND a = NewChild(mdi, "A", 1), b = NewChild(mdi, "B", 2), c = NewChild(mdi, "C", 3);
    ASSERT_EQ(3, mdi->GetChildCount());
    SendMessageA(mdi->GetHandle(), WM_MDIDESTROY, (WPARAM)b, 0);
    EXPECT_FALSE(IsWindow(b));
    ASSERT_EQ(2, mdi->GetChildCount());
    EXPECT_EQ(a, mdi->GetChild(0));
    EXPECT_EQ(c, mdi->GetChild(1));
    EXPECT_EQ(3, mdi->GetChildValue(1));
    EXPECT_EQ(nullptr, mdi->GetChild(2));
    DestroyWindow(a);
    ASSERT_EQ(1, mdi->GetChildCount());
    EXPECT_EQ(c, mdi->GetChild(0));
    // Handles that are not there.
    EXPECT_FALSE(mdi->RemoveChild(a));
    EXPECT_FALSE(mdi->RemoveChild(NULL));
    EXPECT_TRUE(mdi->RemoveChild(c));
    EXPECT_EQ(0, mdi->GetChildCount());
    EXPECT_FALSE(mdi->RemoveChild(c));   // an empty table
    EXPECT_EQ(0, GetWindowLongPtrA(c, GWLP_USERDATA));
    DestroyWindow(c);   // no longer tied: nothing to remove
    EXPECT_EQ(0, mdi->GetChildCount());
}

TEST_F(MDIChildren, TheTableHolds128ChildrenAndRefusesMore)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    std::vector<HWND> windows;
    for (int i = 0; i < 129; ++i)
        windows.push_back(CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, host, NULL,
                                          GetModuleHandleA(NULL), NULL));
    for (int i = 0; i < 128; ++i)
        ASSERT_TRUE(mdi->AddChild(windows[i], i)) << i;
    EXPECT_FALSE(mdi->AddChild(windows[128], 128));
    EXPECT_EQ(128, mdi->GetChildCount());
    EXPECT_EQ(windows[127], mdi->GetChild(127));
    EXPECT_EQ(127, mdi->GetChildValue(127));
    // Other windows keep their own user data.
    EXPECT_EQ(0, GetWindowLongPtrA(windows[0], GWLP_USERDATA));
    // A freed entry takes one more.
    EXPECT_TRUE(mdi->RemoveChild(windows[0]));
    EXPECT_EQ(windows[1], mdi->GetChild(0));
    EXPECT_TRUE(mdi->AddChild(windows[128], 128));
    EXPECT_EQ(windows[128], mdi->GetChild(127));
    for (HWND w : windows)
        DestroyWindow(w);
}

TEST_F(MDIChildren, OddChildrenAreRefused)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    g_enterChildren = false;
    HWND child = NewChild(mdi, "A", 1);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(0, mdi->GetChildCount());
    EXPECT_FALSE(mdi->AddChild(NULL, 1));
    EXPECT_FALSE(mdi->AddChild((HWND)(UINT_PTR)0x12345678, 1));
    EXPECT_TRUE(mdi->AddChild(child, 1));
    EXPECT_FALSE(mdi->AddChild(child, 2));   // once only
    EXPECT_EQ(1, mdi->GetChildCount());
    EXPECT_EQ(0, mdi->GetChildValue(5));
    EXPECT_EQ(nullptr, mdi->GetChild(-1));
    // A child that no control holds: its messages go to the default handling.
    HWND loose = NewChild(mdi, "B", 2);
    SendMessageA(loose, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageA(loose, WM_MDIACTIVATE, 0, (LPARAM)loose);
    DestroyWindow(loose);
    EXPECT_EQ(1, mdi->GetChildCount());
}

// Records the WM_MDIMAXIMIZE requests an MDI client receives, then lets it act.
WNDPROC g_clientProc = NULL;
std::vector<HWND> g_maximiseRequests;
LRESULT CALLBACK RecordMaximise(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MDIMAXIMIZE)
        g_maximiseRequests.push_back((HWND)wParam);
    return CallWindowProcA(g_clientProc, window, message, wParam, lParam);
}

TEST_F(MDIChildren, AMaximisedChildMaximisesEveryChildInTheTable)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    HWND a = NewChild(mdi, "A", 1), b = NewChild(mdi, "B", 2), c = NewChild(mdi, "C", 3);
    g_enterChildren = false;
    HWND outside = NewChild(mdi, "Вне таблицы", 4);
    ASSERT_TRUE(a && b && c && outside);
    EXPECT_FALSE(IsZoomed(a) || IsZoomed(b) || IsZoomed(c));
    g_maximiseRequests.clear();
    g_clientProc = (WNDPROC)SetWindowLongPtrA(mdi->GetHandle(), GWLP_WNDPROC, (LONG_PTR)RecordMaximise);
    SendMessageA(b, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    // Every child of the table, in table order, then the default handling
    // maximises the child itself.
    ASSERT_EQ(3u, g_maximiseRequests.size());
    EXPECT_EQ(a, g_maximiseRequests[0]);
    EXPECT_EQ(b, g_maximiseRequests[1]);
    EXPECT_EQ(c, g_maximiseRequests[2]);
    EXPECT_TRUE(IsZoomed(b));
    EXPECT_FALSE(IsZoomed(outside));
    // Other system commands and children outside the table ask for nothing.
    g_maximiseRequests.clear();
    SendMessageA(b, WM_SYSCOMMAND, SC_RESTORE, 0);
    SendMessageA(outside, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(g_maximiseRequests.empty());
    EXPECT_TRUE(IsZoomed(outside));
    SetWindowLongPtrA(mdi->GetHandle(), GWLP_WNDPROC, (LONG_PTR)g_clientProc);
}

TEST_F(MDIChildren, TheActiveChildFollowsActivation)
{
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    HWND a = NewChild(mdi, "A", 1), b = NewChild(mdi, "B", 2), c = NewChild(mdi, "C", 3);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(c, mdi->GetActiveChild());
    SendMessageA(mdi->GetHandle(), WM_MDIACTIVATE, (WPARAM)a, 0);
    EXPECT_EQ(a, mdi->GetActiveChild());
    EXPECT_EQ(a, (HWND)SendMessageA(mdi->GetHandle(), WM_MDIGETACTIVE, 0, 0));
    SendMessageA(mdi->GetHandle(), WM_MDINEXT, (WPARAM)a, 0);
    HWND now = (HWND)SendMessageA(mdi->GetHandle(), WM_MDIGETACTIVE, 0, 0);
    EXPECT_NE(a, now);
    EXPECT_EQ(now, mdi->GetActiveChild());
    // The active child goes: the client's next choice, or none.
    SendMessageA(mdi->GetHandle(), WM_MDIDESTROY, (WPARAM)now, 0);
    EXPECT_EQ((HWND)SendMessageA(mdi->GetHandle(), WM_MDIGETACTIVE, 0, 0), mdi->GetActiveChild());
    EXPECT_NE(now, mdi->GetActiveChild());
}

TEST_F(MDIChildren, AResizedChildRefitsTheControlsFromTheMDIControlOn)
{
    CBaseWindow* before = Make<CStatic>(300, 5, 340, 25);
    before->Anchor(NULL, ANCHOR_LEFT, 11);
    CMDI_Child* mdi = MakeMDI();
    ASSERT_NE(nullptr, mdi);
    CBaseWindow* after = Make<CStatic>(300, 30, 340, 50);
    after->Anchor(NULL, ANCHOR_LEFT, 21);
    HWND child = NewChild(mdi, "A", 1);
    ASSERT_NE(nullptr, child);
    // Out of place, all three.
    SetWindowPos(before->GetHandle(), NULL, 300, 5, 40, 20, SWP_NOZORDER);
    SetWindowPos(after->GetHandle(), NULL, 300, 30, 40, 20, SWP_NOZORDER);
    SetWindowPos(mdi->GetHandle(), NULL, 50, 50, 100, 100, SWP_NOZORDER);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, mdi->GetHandle(), (POINT*)&r, 2);
    MoveWindow(child, r.left, r.top, r.right - r.left + 10, r.bottom - r.top + 10, TRUE);
    EXPECT_EQ(300, WindowRectInHost(before->GetHandle()).left);   // made before the MDI control
    EXPECT_EQ(20, WindowRectInHost(after->GetHandle()).left);     // margin 21 from 0
    EXPECT_EQ(0, WindowRectInHost(mdi->GetHandle()).left);
    RECT client;
    GetClientRect(host, &client);
    EXPECT_EQ(client.right, WindowRectInHost(mdi->GetHandle()).right);
}

TEST_F(MDIClient, ASecondControlTakesTheReportsOfAllChildren)
{
    CMDI_Child* first = MakeMDI();
    ASSERT_NE(nullptr, first);
    CBaseWindow* between = Make<CStatic>(300, 5, 340, 25);
    between->Anchor(NULL, ANCHOR_LEFT, 11);
    CMDI_Child* second = MakeMDI();
    ASSERT_NE(nullptr, second);
    CBaseWindow* last = Make<CStatic>(300, 30, 340, 50);
    last->Anchor(NULL, ANCHOR_LEFT, 21);
    EXPECT_EQ(second, CMDI_Child::Current());

    // A child of the first control's client reports to the second.
    HWND child = NewChild(first, "A", 1);
    ASSERT_NE(nullptr, child);
    ASSERT_EQ(1u, g_created.size());
    EXPECT_EQ(second, g_created[0].sender);
    EXPECT_EQ(first->GetHandle(), GetParent(child));
    EXPECT_EQ(1, second->GetChildCount());   // the owner entered it where it was told
    EXPECT_EQ(0, first->GetChildCount());

    // Its size report refits from the second control on.
    SetWindowPos(between->GetHandle(), NULL, 300, 5, 40, 20, SWP_NOZORDER);
    SetWindowPos(last->GetHandle(), NULL, 300, 30, 40, 20, SWP_NOZORDER);
    SendMessageA(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
    EXPECT_EQ(300, WindowRectInHost(between->GetHandle()).left);
    EXPECT_EQ(20, WindowRectInHost(last->GetHandle()).left);

    // With the second control destroyed nobody gets the reports.
    second->Destroy();
    EXPECT_EQ(nullptr, CMDI_Child::Current());
    HWND unreported = NewChild(first, "B", 2);
    EXPECT_NE(nullptr, unreported);
    EXPECT_EQ(1u, g_created.size());
    SendMessageA(unreported, WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 80));
}

}  // namespace
