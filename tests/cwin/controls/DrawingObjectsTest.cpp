// What a chart and a drawing surface make of GDI objects is freed once when
// they go: through the frame's object table (destroyed, then swept by the next
// creation), with their windows (the back buffers), and when a frame goes
// after its window. Seen at this program's own GDI imports, which the
// framework, linked in statically, calls.
#include "FrameworkFixture.h"
#include "cwin/controls/Graph.h"
#include "ImportRedirect.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Every object made, until it is deleted; failed deletes (a handle deleted
// twice) and deletes of an object still selected into a memory DC made here.
std::set<HGDIOBJ> g_live;
std::map<HGDIOBJ, int> g_frees;
std::vector<HGDIOBJ> g_failedFrees;
std::vector<HGDIOBJ> g_freedWhileSelected;
int g_made = 0;

// The real functions: the hooks sit in the very slots they would call through.
struct RealGdi
{
    HPEN(WINAPI* createPen)(int, int, COLORREF);
    HFONT(WINAPI* createFont)(const LOGFONTA*);
    HBRUSH(WINAPI* createBrush)(COLORREF);
    HBITMAP(WINAPI* createBitmap)(HDC, int, int);
    HDC(WINAPI* createDC)(HDC);
    BOOL(WINAPI* deleteObject)(HGDIOBJ);
    BOOL(WINAPI* deleteDC)(HDC);
} g_real;

template <class H> H Made(H handle)
{
    if (handle) {
        g_live.insert((HGDIOBJ)handle);
        ++g_made;
    }
    return handle;
}

BOOL Freed(HGDIOBJ handle, BOOL done)
{
    if (done) {
        g_live.erase(handle);
        ++g_frees[handle];
    } else {
        g_failedFrees.push_back(handle);
    }
    return done;
}

void NoteIfSelected(HGDIOBJ object)
{
    static const DWORD kinds[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP};
    for (HGDIOBJ h : g_live)
        if (h != object && GetObjectType(h) == OBJ_MEMDC)
            for (DWORD kind : kinds)
                if (GetCurrentObject((HDC)h, kind) == object)
                    g_freedWhileSelected.push_back(object);
}

HPEN WINAPI HookPen(int style, int width, COLORREF colour) { return Made(g_real.createPen(style, width, colour)); }
HFONT WINAPI HookFont(const LOGFONTA* font) { return Made(g_real.createFont(font)); }
HBRUSH WINAPI HookBrush(COLORREF colour) { return Made(g_real.createBrush(colour)); }
HBITMAP WINAPI HookBitmap(HDC dc, int cx, int cy) { return Made(g_real.createBitmap(dc, cx, cy)); }
HDC WINAPI HookDC(HDC dc) { return Made(g_real.createDC(dc)); }
BOOL WINAPI HookDelete(HGDIOBJ object)
{
    NoteIfSelected(object);
    return Freed(object, g_real.deleteObject(object));
}
BOOL WINAPI HookDeleteDC(HDC dc) { return Freed(dc, g_real.deleteDC(dc)); }

template <class F> void Resolve(F* slot, HMODULE gdi, const char* name)
{
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(gdi, name)));
}

template <class F> FARPROC AsFarProc(F function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

// The hooks for one test; the real functions go back into the slots after it.
class GdiTally
{
public:
    GdiTally()
    {
        g_live.clear();
        g_frees.clear();
        g_failedFrees.clear();
        g_freedWhileSelected.clear();
        g_made = 0;
        HMODULE gdi = GetModuleHandleA("gdi32.dll");
        Resolve(&g_real.createPen, gdi, "CreatePen");
        Resolve(&g_real.createFont, gdi, "CreateFontIndirectA");
        Resolve(&g_real.createBrush, gdi, "CreateSolidBrush");
        Resolve(&g_real.createBitmap, gdi, "CreateCompatibleBitmap");
        Resolve(&g_real.createDC, gdi, "CreateCompatibleDC");
        Resolve(&g_real.deleteObject, gdi, "DeleteObject");
        Resolve(&g_real.deleteDC, gdi, "DeleteDC");
        m_installed = Hook("CreatePen", AsFarProc(HookPen)) && Hook("CreateFontIndirectA", AsFarProc(HookFont)) &&
                      Hook("CreateSolidBrush", AsFarProc(HookBrush)) &&
                      Hook("CreateCompatibleBitmap", AsFarProc(HookBitmap)) &&
                      Hook("CreateCompatibleDC", AsFarProc(HookDC)) &&
                      Hook("DeleteObject", AsFarProc(HookDelete)) && Hook("DeleteDC", AsFarProc(HookDeleteDC));
    }
    ~GdiTally()
    {
        HMODULE gdi = GetModuleHandleA("gdi32.dll");
        for (const std::string& name : m_hooked)
            RedirectImport(GetModuleHandleA(NULL), "gdi32.dll", name.c_str(), GetProcAddress(gdi, name.c_str()));
    }
    bool Installed() const { return m_installed; }

private:
    bool Hook(const char* name, FARPROC hook)
    {
        if (!RedirectImport(GetModuleHandleA(NULL), "gdi32.dll", name, hook))
            return false;
        m_hooked.push_back(name);
        return true;
    }
    bool m_installed = false;
    std::vector<std::string> m_hooked;
};

int LiveOf(DWORD type)
{
    int n = 0;
    for (HGDIOBJ h : g_live)
        n += GetObjectType(h) == type;
    return n;
}

int LiveRotatedFonts()
{
    int n = 0;
    for (HGDIOBJ h : g_live) {
        LOGFONTA font;
        if (GetObjectType(h) == OBJ_FONT && GetObjectA(h, sizeof(font), &font) && font.lfEscapement == 900)
            ++n;
    }
    return n;
}

std::string Left()
{
    std::string left;
    for (HGDIOBJ h : g_live)
        left += " type" + std::to_string(GetObjectType(h));
    return left;
}

// Everything freed, each object once, none while selected.
void ExpectAllFreedOnce()
{
    EXPECT_TRUE(g_live.empty()) << g_live.size() << " of " << g_made << " objects left:" << Left();
    EXPECT_TRUE(g_failedFrees.empty()) << g_failedFrees.size() << " deletes failed (a handle freed twice)";
    EXPECT_TRUE(g_freedWhileSelected.empty()) << g_freedWhileSelected.size() << " deleted while selected";
    for (const auto& freed : g_frees)
        EXPECT_EQ(1, freed.second);
}

const double kDays[] = {1, 3, 2, 5};

// A chart with a series, both axis titles, a font and colours of its own,
// drawn: its back buffer and the rotated font of the y title now exist.
void BuildChart(CGraph* chart)
{
    ASSERT_TRUE(chart->SetAxisTitles("Дни", "Остаток"));
    ASSERT_TRUE(chart->SetSeriesData(1, 8, NULL, kDays, 4, NULL));
    chart->SetFont(14, 0, 0, "Arial");
    chart->FitToParent();   // the layout makes the chart's pending font
    chart->SetColors(RGB(0, 0, 0), RGB(255, 255, 224));
    chart->Invalidate(true);
    Pump();
    ASSERT_NE(nullptr, chart->rotatedFont);
    ASSERT_NE(nullptr, chart->Font());
}

// A double-buffered surface with a font and colours of its own, resized: its
// memory DC and back bitmap now exist.
void BuildSurface(CCustom* surface)
{
    surface->doubleBuffered = true;
    surface->SetFont(16, 0, 0, "Arial");   // a surface makes its font at once
    surface->SetColors(RGB(0, 0, 0), RGB(224, 224, 255));
    SetWindowPos(surface->GetHandle(), NULL, 0, 0, 200, 140, SWP_NOZORDER | SWP_NOMOVE);
    surface->Invalidate(true);
    Pump();
    ASSERT_NE(nullptr, surface->memDC);
    ASSERT_NE(nullptr, surface->backBitmap);
}

// By hand: the chart's three pens, its font and the rotated one, its brush,
// memory DC and back bitmap (8); the surface's font, brush, memory DC and back
// bitmap (4). Replaced brushes and bitmaps, and the rotated fonts of earlier
// drawings, are gone already. A frame made while counting adds the brush of
// its splash window (a drawing surface that is made with the frame).
void ExpectBothMade(int frameBrushes)
{
    EXPECT_EQ(3, LiveOf(OBJ_PEN));
    EXPECT_EQ(3, LiveOf(OBJ_FONT));
    EXPECT_EQ(1, LiveRotatedFonts());
    EXPECT_EQ(2 + frameBrushes, LiveOf(OBJ_BRUSH));
    EXPECT_EQ(2, LiveOf(OBJ_MEMDC));
    EXPECT_EQ(2, LiveOf(OBJ_BITMAP));
    EXPECT_EQ(12u + frameBrushes, g_live.size()) << Left();
}

// Once their windows are gone, only the objects' own pens, fonts and brushes remain.
void ExpectOnlyObjectsPartsLeft(int frameBrushes)
{
    EXPECT_EQ(0, LiveOf(OBJ_MEMDC));
    EXPECT_EQ(0, LiveOf(OBJ_BITMAP));
    EXPECT_EQ(8u + frameBrushes, g_live.size()) << Left();
}

HWND MakeTopWindow()
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 600, 400, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

using ControlDrawingObjects = FrameTest;

TEST_F(ControlDrawingObjects, TheTableFreesAChartAndASurfaceAtTheNextCreation)
{
    GdiTally tally;
    ASSERT_TRUE(tally.Installed());
    CGraph* chart = Make<CGraph>(10, 10, 310, 210);
    ASSERT_NE(nullptr, chart);
    BuildChart(chart);
    CCustom* surface = Make<CCustom>(320, 10, 500, 130);
    ASSERT_NE(nullptr, surface);
    BuildSurface(surface);
    ExpectBothMade(0);

    chart->Destroy();
    surface->Destroy();
    Pump();
    ExpectOnlyObjectsPartsLeft(0);
    const int madeBefore = g_made;
    ASSERT_NE(nullptr, Make("Static", 0, 0, 20, 20));   // the sweep frees both objects
    EXPECT_EQ(madeBefore, g_made);
    ExpectAllFreedOnce();
}

TEST_F(ControlDrawingObjects, AFrameWhoseWindowIsGoneFreesThemWhenItGoes)
{
    GdiTally tally;
    ASSERT_TRUE(tally.Installed());
    HWND top = MakeTopWindow();
    ASSERT_NE(nullptr, top);
    {
        CAppFrame own;
        ASSERT_EQ(&own, own.Attach(top, NULL));
        CGraph* chart = own.Create<CGraph>(ControlArgs().Parent(top).Place(10, 10, 310, 210).Style(WS_VISIBLE));
        ASSERT_NE(nullptr, chart);
        BuildChart(chart);
        CCustom* surface =
            own.Create<CCustom>(ControlArgs().Parent(top).Place(320, 10, 500, 130).Style(WS_VISIBLE));
        ASSERT_NE(nullptr, surface);
        BuildSurface(surface);
        ExpectBothMade(1);

        DestroyWindow(top);   // the controls' windows go with it; the objects stay in the table
        Pump();
        EXPECT_EQ(1, chart->IsDeleted());
        EXPECT_EQ(1, surface->IsDeleted());
        ExpectOnlyObjectsPartsLeft(1);
    }   // no creation followed: the frame's going frees what they made
    ExpectAllFreedOnce();
}

// A chart whose storage its owner keeps outlives the frame: what the frame
// freed is not freed again when the owner lets it go.
TEST_F(ControlDrawingObjects, AChartItsOwnerKeepsIsNotFreedAgainAfterItsFrameWent)
{
    GdiTally tally;
    ASSERT_TRUE(tally.Installed());
    HWND top = MakeTopWindow();
    ASSERT_NE(nullptr, top);
    size_t freedByFrame = 0;
    {
        CGraph chart;
        {
            CAppFrame own;
            ASSERT_EQ(&own, own.Attach(top, NULL));
            ASSERT_NE(nullptr, own.CreateCustom(&chart, 10, 10, 310, 210, 0, WS_VISIBLE, NULL, top));
            EXPECT_EQ(KIND_GRAPH, chart.GetKind());
            BuildChart(&chart);
            // The chart's eight (as above) and the frame's splash brush.
            EXPECT_EQ(9u, g_live.size()) << Left();

            DestroyWindow(top);
            Pump();
            EXPECT_EQ(7u, g_live.size()) << Left();   // three pens, two fonts, the two brushes
        }
        EXPECT_TRUE(g_live.empty()) << Left();
        freedByFrame = g_frees.size();
    }   // the owner lets the chart go
    EXPECT_EQ(freedByFrame, g_frees.size());
    ExpectAllFreedOnce();
}

}  // namespace
