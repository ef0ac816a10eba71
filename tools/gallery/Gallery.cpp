// The framework at work: one top-level window with a frame, its status bar and
// progress bar, the basic and range controls, a dialog page and a drawing
// surface. Runs until the window is closed.
#include <windows.h>
#include <math.h>
#include <stdio.h>

#include "AppFrame.h"
#include "BasicControls.h"
#include "Custom.h"
#include "HeapRegistry.h"
#include "RangeControls.h"

static CAppFrame g_frame;
static CWIN_HEAP_INFO g_heapEntries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_heapEntries, CWIN_HEAP_INFO_NUM_PLUGIN);

// A small chart drawn into the back buffer: grid, axes and a damped wave.
class CWaveSurface : public CCustom
{
public:
    bool OnPaint(HDC dc, bool toBackBuffer) override
    {
        if (!toBackBuffer)
            return true;
        int w = rect.right - rect.left, h = rect.bottom - rect.top;
        HPEN grid = CreatePen(PS_DOT, 1, RGB(190, 190, 210));
        HPEN axis = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        HPEN wave = CreatePen(PS_SOLID, 2, RGB(200, 30, 30));
        HGDIOBJ old = SelectObject(dc, grid);
        for (int x = 0; x < w; x += 20) {
            MoveToEx(dc, x, 0, NULL);
            LineTo(dc, x, h);
        }
        for (int y = 0; y < h; y += 20) {
            MoveToEx(dc, 0, y, NULL);
            LineTo(dc, w, y);
        }
        SelectObject(dc, axis);
        MoveToEx(dc, 0, h / 2, NULL);
        LineTo(dc, w, h / 2);
        SelectObject(dc, wave);
        for (int x = 0; x < w; ++x) {
            double t = x / 25.0;
            int y = h / 2 - (int)(h * 0.4 * exp(-t / 12.0) * sin(t));
            if (x == 0)
                MoveToEx(dc, x, y, NULL);
            else
                LineTo(dc, x, y);
        }
        SelectObject(dc, old);
        DeleteObject(grid);
        DeleteObject(axis);
        DeleteObject(wave);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 6, 4, "Custom: динамика", 16);
        return true;
    }

    bool OnMouseMove() override
    {
        g_frame.SetStatusText(2, 0, "x = %.2f  y = %.2f", worldX, worldY);
        return true;
    }
};

static CWaveSurface g_wave;

static int OnBuild(WindowEvent* e)
{
    CProgBar* bar = g_frame.GetProgressBar();
    if (bar)
        bar->Step();
    g_frame.SetStatusText(0, 0, "Нажата кнопка %d", e->user);
    return 1;
}

static LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "OrvexGallery";
    RegisterClassA(&wc);
    HWND main = CreateWindowExA(0, "OrvexGallery", "CWin gallery", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20,
                                820, 560, NULL, NULL, instance, NULL);
    if (!main)
        return 1;
    g_frame.Attach(main, NULL);
    g_frame.SetMinimumClientSize(600, 450, -1);
    g_frame.CreateStatusBar("всегда готов ...", 0, 16, 0, "Arial");
    int parts[3] = {300, 470, -1};
    SendMessageA(g_frame.GetStatusBar(), SB_SETPARTS, 3, (LPARAM)parts);
    g_frame.CreateProgressBar(1, WS_VISIBLE | PBS_SMOOTH);
    g_frame.RestoreStatusHint();
    if (CProgBar* bar = g_frame.GetProgressBar()) {
        bar->SetRange(0, 10);
        for (int i = 0; i < 6; ++i)
            bar->Step();
    }
    g_frame.SetStatusText(2, 0, "строк: %d", 42);

    const DWORD vis = WS_VISIBLE;
    CBaseWindow* title = g_frame.CreateControl("Static", 10, 10, 250, 28, 0, vis, "Элементы управления", main);
    title->SetFont(18, 0, 0, "Arial");
    CBaseWindow* button = g_frame.CreateControl("Button", 10, 36, 130, 64, 0, vis | BS_PUSHBUTTON, "Кнопка", main);
    button->AddHandler(OnBuild, EV_COMMAND, 1, NULL);
    button->SetHint("Обычная кнопка: шаг индикатора");
    CBaseWindow* check = g_frame.CreateControl("Button", 140, 36, 260, 64, 0, vis | BS_AUTOCHECKBOX, "Флажок", main);
    static_cast<CButton*>(check)->SetCheck(true);
    CBaseWindow* edit = g_frame.CreateControl("EditBox", 10, 74, 260, 98, WS_EX_CLIENTEDGE, vis | ES_AUTOHSCROLL,
                                              "Поле ввода", main);
    edit->SetHint("Enter - принять, Esc - отменить");
    CBaseWindow* combo = g_frame.CreateControl("ComboBox", 10, 108, 260, 200, 0, vis | CBS_DROPDOWNLIST | WS_VSCROLL,
                                               NULL, main);
    CComboBox* c = static_cast<CComboBox*>(combo);
    c->InsertString(-1, "Поставщик 1");
    c->InsertString(-1, "Поставщик 2");
    c->SetCurSel(0);
    CBaseWindow* list = g_frame.CreateControl("ListBox", 10, 142, 260, 232, WS_EX_CLIENTEDGE, vis | LBS_NOTIFY,
                                              NULL, main);
    CListBox* l = static_cast<CListBox*>(list);
    l->InsertString(-1, "Товары");
    l->InsertString(-1, "Поставщики");
    l->InsertString(-1, "Движения");
    l->InsertString(-1, "Остатки");
    l->SetCurSel(1);
    g_frame.CreateControl("DTPControl", 10, 242, 260, 266, 0, vis, NULL, main);
    CBaseWindow* track = g_frame.CreateControl("TrackBar", 10, 276, 260, 306, 0, vis | TBS_AUTOTICKS, NULL, main);
    CTrackBar* t = static_cast<CTrackBar*>(track);
    t->SetRange(0, 10);
    t->SetPos(7);
    CBaseWindow* spinEdit = g_frame.CreateControl("EditBox", 10, 316, 80, 340, WS_EX_CLIENTEDGE, vis, "5", main);
    CBaseWindow* spin = g_frame.CreateControl("UpDown", 80, 316, 98, 340, 0, vis | UDS_ARROWKEYS | UDS_SETBUDDYINT,
                                              NULL, main);
    static_cast<CUpDown*>(spin)->SetRange(0, 100);
    static_cast<CUpDown*>(spin)->SetBuddy(spinEdit->GetHandle());
    static_cast<CUpDown*>(spin)->SetPos(5);
    CBaseWindow* scroll = g_frame.CreateControl("ScrollBar", 110, 320, 260, 338, 0, vis | SBS_HORZ, NULL, main);
    CScrollBar* s = static_cast<CScrollBar*>(scroll);
    s->SetRange(0, 100);
    s->SetPage(20);
    s->SetPos(30);

    CBaseWindow* page = g_frame.CreateControl("Dialog", 280, 10, 520, 130, 0, WS_CHILD | WS_VISIBLE,
                                              MAKEINTRESOURCEA(100), main);
    if (page) {
        SetWindowPos(page->GetHandle(), NULL, 280, 36, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        g_frame.AttachControl("Button", page->GetHandle(), 1024, OnBuild, EV_COMMAND, NULL);
        g_frame.AttachControl("EditBox", page->GetHandle(), 1001, NULL, 0, NULL);
        static_cast<CDialog*>(page)->SetItemText(1001, "%s", "Иванов");
        static_cast<CDialog*>(page)->SetItemText(1024, "%s", "Построить");
        static_cast<CDialog*>(page)->SetItemText(1002, "%s", "Активен");
        static_cast<CDialog*>(page)->SetItemText(1000, "%s", "Страница диалога");
        static_cast<CDialog*>(page)->SetItemText(1003, "%s", "Имя:");
    }

    g_wave.doubleBuffered = true;
    g_wave.scale = 25.0;
    if (g_frame.CreateCustom(&g_wave, 280, 160, 800, 480, WS_EX_CLIENTEDGE, vis, NULL, main)) {
        g_wave.Anchor(NULL, ANCHOR_LEFT, 281);
        g_wave.Anchor(NULL, ANCHOR_RIGHT, 11);
        g_wave.Anchor(NULL, ANCHOR_TOP, 181);
        g_wave.Anchor(NULL, ANCHOR_BOTTOM, 11);
    }

    ShowWindow(main, SW_SHOW);
    g_frame.LayoutAll();
    UpdateWindow(main);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
