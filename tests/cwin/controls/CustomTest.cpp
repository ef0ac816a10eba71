// The drawing surface: its window class, messages turned into operations,
// mouse positions in world units with snapping, the back buffer, scrolling.
#include "FrameworkFixture.h"
#include "cwin/window/WindowClass.h"

namespace {

struct Surface final : CCustom
{
    int inits = 0, moves = 0, buttons = 0, wheels = 0, sizes = 0, keys = 0, paints = 0, scrolls = 0;
    bool lastDown = false;
    int lastDelta = 0, lastKey = 0;
    DWORD keysAtButton = 0;
    int scrollAnswer = 1;
    bool OnInit() override { ++inits; return true; }
    bool OnMouseMove() override { ++moves; return true; }
    bool OnMouseButton(bool down) override { ++buttons; lastDown = down; keysAtButton = mouseKeys; return true; }
    bool OnMouseWheel(int delta) override { ++wheels; lastDelta = delta; return true; }
    bool OnSize(int, int) override { ++sizes; return true; }
    bool OnKey(int key, bool down) override { ++keys; lastKey = down ? key : -key; return true; }
    bool OnPaint(HDC dc, bool toBackBuffer) override
    {
        ++paints;
        if (toBackBuffer) {
            RECT r = {0, 0, 10, 10};
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            FillRect(dc, &r, red);
            DeleteObject(red);
        }
        return true;
    }
    bool OnScroll(bool, SCROLLINFO*) override { ++scrolls; return scrollAnswer != 0; }
};

using DrawingSurface = FrameTest;

TEST_F(DrawingSurface, AClassThatCannotBeRegisteredFailsTheCreationUntilItCan)
{
    // A surface made earlier in this process left the class registered; none
    // of its windows is left, so the name can be given up for this test.
    WNDCLASSA existing;
    if (GetClassInfoA(GetModuleHandleA(NULL), "CWin_CCustom_Class", &existing)) {
        ASSERT_TRUE(UnregisterClassA("CWin_CCustom_Class", GetModuleHandleA(NULL)));
    }
    // Someone else holds the name: the registration fails and the name is given up.
    WNDCLASSA other = {};
    other.lpfnWndProc = DefWindowProcA;
    other.hInstance = GetModuleHandleA(NULL);
    other.lpszClassName = "CWin_CCustom_Class";
    ASSERT_TRUE(RegisterClassA(&other));
    EXPECT_EQ(nullptr, Make("Custom", 0, 0, 20, 20));
    EXPECT_EQ(0, frame->GetControlCount());
    EXPECT_TRUE(boxes.Boxes().empty());
    CBaseWindow* made = Make<CCustom>(0, 0, 20, 20);    // tried again, now with the name free
    ASSERT_NE(nullptr, made);
    char cls[64];
    GetClassNameA(made->GetHandle(), cls, sizeof(cls));
    EXPECT_STREQ("CWin_CCustom_Class", cls);
    EXPECT_EQ((LONG_PTR)CCustom::WindowProc, GetWindowLongPtrA(made->GetHandle(), GWLP_WNDPROC));
}

TEST_F(DrawingSurface, TheFrameworkClassAndTheFirstMessageInitialisation)
{
    Surface* surface = new Surface;
    ICustom* made = frame->Adopt(surface, ControlArgs().Parent(host).Place(10, 10, 210, 110).Style(WS_VISIBLE));
    ASSERT_EQ(static_cast<ICustom*>(surface), made);
    EXPECT_EQ(KIND_CUSTOM, surface->GetKind());
    EXPECT_EQ(1, frame->GetControlCount());
    char cls[64];
    GetClassNameA(surface->GetHandle(), cls, sizeof(cls));
    EXPECT_STREQ("CWin_CCustom_Class", cls);
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(NULL), "CWin_CCustom_Class", &wc));
    EXPECT_EQ((UINT)CS_DBLCLKS, wc.style);
    EXPECT_EQ((HBRUSH)(COLOR_MENU + 1), wc.hbrBackground);
    SendMessageA(surface->GetHandle(), WM_NULL, 0, 0);
    EXPECT_EQ(1, surface->inits);
    EXPECT_NE(nullptr, surface->memDC);
    EXPECT_FALSE(surface->initPending);
    // A plain "Custom" from the factory too.
    CBaseWindow* plain = Make<CCustom>(0, 0, 20, 20);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(KIND_CUSTOM, plain->GetKind());
}

TEST_F(DrawingSurface, TheFirstSizeMakesABackBitmapOnePixelLarger)
{
    Surface* surface = new Surface;
    frame->Adopt(surface, ControlArgs().Parent(host).Place(0, 0, 120, 80).Style(WS_VISIBLE));
    surface->Anchor(NULL, ANCHOR_LEFT, 11);
    surface->Anchor(NULL, ANCHOR_RIGHT, 21);
    frame->LayoutAll();                      // resizes it: WM_SIZE reaches the bound object
    RECT client;
    GetClientRect(host, &client);
    int width = (client.right - 20) - 10;
    EXPECT_EQ(1, surface->sizes);
    ASSERT_NE(nullptr, surface->backBitmap);
    BITMAP info;
    GetObjectA(surface->backBitmap, sizeof(info), &info);
    EXPECT_EQ(width + 1, info.bmWidth);
    EXPECT_EQ(81, info.bmHeight);
    EXPECT_EQ(10, surface->Rect().left);
    EXPECT_EQ(width, surface->ClientRect().right);

    // Double buffered: the back buffer is drawn when dirty and copied to the window.
    surface->doubleBuffered = true;
    surface->paints = 0;
    surface->Invalidate(true);
    EXPECT_EQ(2, surface->paints);           // back buffer, then the overlay
    EXPECT_FALSE(surface->dirty);
    HDC dc = GetDC(surface->GetHandle());
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 5, 5));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 50, 50));   // filled with backBrush
    ReleaseDC(surface->GetHandle(), dc);
    surface->paints = 0;
    surface->Invalidate(false);
    EXPECT_EQ(1, surface->paints);           // only the overlay
}

TEST_F(DrawingSurface, AGridStepOfZeroOrLessSnapsNothing)
{
    Surface* surface = new Surface;
    frame->Adopt(surface, ControlArgs().Parent(host).Place(0, 0, 300, 200).Style(WS_VISIBLE));
    HWND w = surface->GetHandle();
    surface->gridStep = 0;
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(27, 33));
    EXPECT_EQ(1, surface->moves);
    EXPECT_EQ(27, surface->snappedX);
    EXPECT_EQ(33, surface->snappedY);
    EXPECT_DOUBLE_EQ(27.0, surface->worldX);
    surface->gridStep = -4;
    surface->snapEnabled = true;
    surface->gridInPixels = true;
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(27, 33));
    EXPECT_EQ(2, surface->moves);
    EXPECT_EQ(27, surface->snappedX);
    EXPECT_DOUBLE_EQ(33.0, surface->worldY);
}

TEST_F(DrawingSurface, MouseMessagesGiveWorldPositionsWithSnapping)
{
    Surface* surface = new Surface;
    frame->Adopt(surface, ControlArgs().Parent(host).Place(0, 0, 300, 200).Style(WS_VISIBLE));
    HWND w = surface->GetHandle();
    surface->gridStep = 10;
    SendMessageA(w, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(27, 33));
    EXPECT_EQ(1, surface->moves);
    EXPECT_EQ(20, surface->snappedX);
    EXPECT_EQ(30, surface->snappedY);
    EXPECT_DOUBLE_EQ(27.0, surface->worldX);
    EXPECT_EQ((DWORD)MK_SHIFT, surface->mouseKeys);

    surface->scale = 2.0;
    surface->originX = 100;
    surface->gridStep = 5;
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(151, 40));
    EXPECT_DOUBLE_EQ(25.5, surface->worldX);
    surface->snapEnabled = true;
    surface->gridInPixels = true;
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(151, 40));
    EXPECT_DOUBLE_EQ(25.0, surface->worldX);
    EXPECT_EQ(150, surface->snappedX);

    // A world grid of 0 with snapping on leaves the position unsnapped.
    surface->gridInPixels = false;
    surface->worldGrid = 0.0;
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(151, 40));
    EXPECT_DOUBLE_EQ(25.5, surface->worldX);
    surface->worldGrid = 4.0;
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(151, 40));
    EXPECT_DOUBLE_EQ(24.0, surface->worldX);
    EXPECT_EQ(148, surface->snappedX);

    // Button release reports the released button among the keys; down takes the focus.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(surface->lastDown);
    EXPECT_EQ(w, GetFocus());
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_FALSE(surface->lastDown);
    EXPECT_EQ((DWORD)MK_LBUTTON, surface->keysAtButton);
    EXPECT_EQ(0u, surface->mouseKeys);
    SendMessageA(w, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(VK_LEFT, surface->lastKey);
    SendMessageA(w, WM_KEYUP, VK_LEFT, 0);
    EXPECT_EQ(-VK_LEFT, surface->lastKey);
}

TEST_F(DrawingSurface, AWheelTurnReportsTheClientPosition)
{
    Surface* surface = new Surface;
    frame->Adopt(surface, ControlArgs().Parent(host).Place(40, 30, 240, 130).Style(WS_VISIBLE));
    POINT p = {15, 25};
    ClientToScreen(surface->GetHandle(), &p);
    SendMessageA(surface->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, (WORD)(short)-120),
                 MAKELPARAM(p.x, p.y));
    EXPECT_EQ(1, surface->wheels);
    EXPECT_EQ(-120, surface->lastDelta);
    EXPECT_DOUBLE_EQ(15.0, surface->worldX);
    EXPECT_DOUBLE_EQ(25.0, surface->worldY);
    EXPECT_EQ((DWORD)MK_CONTROL, surface->mouseKeys);
}

TEST_F(DrawingSurface, EraseBackgroundCanBeSwitchedOff)
{
    Surface* surface = new Surface;
    frame->Adopt(surface, ControlArgs().Parent(host).Place(0, 0, 50, 50).Style(WS_VISIBLE));
    HDC dc = GetDC(surface->GetHandle());
    EXPECT_TRUE(surface->SetEraseBackground(false));
    EXPECT_EQ(1, SendMessageA(surface->GetHandle(), WM_ERASEBKGND, (WPARAM)dc, 0));
    SetPixel(dc, 3, 3, RGB(0, 255, 0));
    surface->SetEraseBackground(true);
    SendMessageA(surface->GetHandle(), WM_ERASEBKGND, (WPARAM)dc, 0);
    EXPECT_NE(RGB(0, 255, 0), GetPixel(dc, 3, 3));    // erased with the class brush
    ReleaseDC(surface->GetHandle(), dc);
}

TEST_F(DrawingSurface, ScrollRequestsMoveTheBarWithinItsRange)
{
    Surface* surface = new Surface;
    frame->Adopt(surface, ControlArgs().Parent(host).Place(0, 0, 200, 100).Style(WS_VISIBLE | WS_VSCROLL));
    HWND w = surface->GetHandle();
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 50, 10, 45, 0};
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    EXPECT_EQ(0, SendMessageA(w, WM_VSCROLL, SB_LINEDOWN, 0));
    EXPECT_EQ(41, GetScrollPos(w, SB_VERT));    // range 0..50 with a page of 10 ends at 41
    SendMessageA(w, WM_VSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(31, GetScrollPos(w, SB_VERT));
    SendMessageA(w, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7), 0);
    EXPECT_EQ(7, GetScrollPos(w, SB_VERT));
    surface->scrollAnswer = 0;
    SendMessageA(w, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(7, GetScrollPos(w, SB_VERT));    // the surface refused
    EXPECT_EQ(4, surface->scrolls);
}

TEST_F(DrawingSurface, ADestroyedSurfaceIsMarkedAndSweptWithoutFreeingAdoptedStorage)
{
    Surface* surface = new Surface;
    frame->Adopt(surface, ControlArgs().Parent(host).Place(0, 0, 50, 50).Style(WS_VISIBLE));
    DestroyWindow(surface->GetHandle());
    EXPECT_EQ(1, surface->IsDeleted());
    EXPECT_FALSE(surface->timerRunning);
    Make<CStatic>(0, 0, 5, 5);
    EXPECT_EQ(1, frame->GetControlCount());
    EXPECT_TRUE(CBaseWindow::IsWindowObject(surface));   // the application still owns it
    delete surface;
}

}  // namespace

namespace {

LRESULT CALLBACK FirstProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }
LRESULT CALLBACK SecondProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

const char kTestClass[] = "CWin_EnsureWindowClassTest_Class";

TEST(WindowClass, IsRegisteredOnceWithTheGivenStyleAndTheMenuColour)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    UnregisterClassA(kTestClass, instance);
    ASSERT_TRUE(EnsureWindowClass(instance, kTestClass, FirstProcedure, CS_DBLCLKS));
    WNDCLASSA known;
    ASSERT_TRUE(GetClassInfoA(instance, kTestClass, &known));
    EXPECT_EQ((WNDPROC)FirstProcedure, known.lpfnWndProc);
    EXPECT_EQ((UINT)CS_DBLCLKS, known.style);
    EXPECT_EQ((HBRUSH)(COLOR_MENU + 1), known.hbrBackground);
    EXPECT_EQ(nullptr, known.hCursor);
    EXPECT_EQ(nullptr, known.hIcon);
    // Already there with the same procedure: kept, not registered again.
    EXPECT_TRUE(EnsureWindowClass(instance, kTestClass, FirstProcedure, CS_DBLCLKS));
    EXPECT_TRUE(UnregisterClassA(kTestClass, instance));
}

TEST(WindowClass, ANameHeldWithAnotherProcedureFailsOnceAndIsThenFree)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    UnregisterClassA(kTestClass, instance);
    ASSERT_TRUE(EnsureWindowClass(instance, kTestClass, FirstProcedure));
    EXPECT_FALSE(EnsureWindowClass(instance, kTestClass, SecondProcedure));
    WNDCLASSA known;
    EXPECT_FALSE(GetClassInfoA(instance, kTestClass, &known));    // given up
    EXPECT_TRUE(EnsureWindowClass(instance, kTestClass, SecondProcedure));
    ASSERT_TRUE(GetClassInfoA(instance, kTestClass, &known));
    EXPECT_EQ((WNDPROC)SecondProcedure, known.lpfnWndProc);
    EXPECT_EQ(0u, known.style);
    EXPECT_TRUE(UnregisterClassA(kTestClass, instance));
}

}  // namespace
