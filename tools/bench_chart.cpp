// bench_chart: the chart with 32 series of 100,000 points each in a real
// window. Redraws of all of it, after wheel zooms and after scrolls, each
// timed several times (median and average in milliseconds); then the same
// with hooks of a derived class, which draw every segment on its own.
// Figures go to standard output. Usage: bench_chart [points per series]
#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <vector>

#include "cwin/frame/AppFrame.h"
#include "BenchHost.h"
#include "cwin/controls/Graph.h"
#include "cwin/system/HeapRegistry.h"
#include "BenchClock.h"

static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_PLUGIN];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_PLUGIN);
static CAppFrame g_frame;

static const int kSeries = 32;
static const int kRepeats = 7;

// A chart whose own segment hook keeps every line a call of its own.
struct OwnHooks : CGraph
{
    long long segments = 0;
    bool OnSegment(GraphSeries*, double, double, double, double, int, int) override
    {
        ++segments;
        return false;
    }
};

static void Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    printf("  %-44s median %8.1f ms  average %8.1f ms  (%d redraws, %.1f..%.1f)\n", what, ms[ms.size() / 2],
           sum / ms.size(), (int)ms.size(), ms.front(), ms.back());
}

// The time of one message that ends in a redraw, and of further redraws as it left the chart.
static std::vector<double> Timed(CGraph* g, UINT message, WPARAM wParam, LPARAM lParam, int again)
{
    std::vector<double> ms;
    double t = Now();
    SendMessageA(g->GetHandle(), message, wParam, lParam);
    ms.push_back((Now() - t) * 1000);
    for (int i = 0; i < again; ++i) {
        t = Now();
        g->Invalidate(true);
        ms.push_back((Now() - t) * 1000);
    }
    return ms;
}

static LPARAM ScreenPoint(CGraph* g, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(g->GetHandle(), &p);
    return MAKELPARAM(p.x, p.y);
}

static void Run(CGraph* g, int repeats)
{
    HWND w = g->GetHandle();
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        double t = Now();
        g->Invalidate(true);
        ms.push_back((Now() - t) * 1000);
    }
    Report("all of it (zoom 1)", ms);
    Report("wheel forward (zoom 1/2)", Timed(g, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), ScreenPoint(g, 500, 300),
                                               repeats - 1));
    Report("wheel forward (zoom 1/4)", Timed(g, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), ScreenPoint(g, 500, 300),
                                               repeats - 1));
    ms.clear();
    for (int i = 0; i < 3; ++i) {
        double t = Now();
        SendMessageA(w, WM_HSCROLL, SB_PAGEDOWN, 0);
        ms.push_back((Now() - t) * 1000);
    }
    for (int i = 0; i < repeats - 3; ++i) {
        double t = Now();
        SendMessageA(w, WM_HSCROLL, SB_LINEUP, 0);
        ms.push_back((Now() - t) * 1000);
    }
    Report("scroll by pages and lines (zoom 1/4)", ms);
    Report("thumb to 40000 (zoom 1/4)", Timed(g, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40000), 0, repeats - 1));
    Report("wheel forward 4 more (zoom 1/64)", [&]() {
        for (int i = 0; i < 3; ++i)
            SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), ScreenPoint(g, 500, 300));
        return Timed(g, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), ScreenPoint(g, 500, 300), repeats - 1);
    }());
    Report("middle double click (all of it again)", Timed(g, WM_MBUTTONDBLCLK, MK_MBUTTON, 0, repeats - 1));
}

static bool Fill(IGraph* g, int points, bool shuffledX)
{
    std::vector<double> x(points), y(points);
    uint32_t seed = 20261208;
    for (int s = 0; s < kSeries; ++s) {
        double level = s * 40.0;
        for (int i = 0; i < points; ++i) {
            seed = seed * 1664525u + 1013904223u;
            level += ((int)(seed >> 16) % 2001 - 1000) / 500.0;
            x[i] = i;
            y[i] = level;
        }
        if (shuffledX)   // two points swapped: x no longer ascending, the same line
            std::swap(x[points / 3], x[points / 3 + 1]);
        HPEN pen = CreatePen(PS_SOLID, 0, RGB((s * 67) % 256, (s * 131) % 256, (s * 29) % 256));
        if (!g->SetSeriesData(s + 1, 8, x.data(), y.data(), points, pen))
            return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    int points = argc > 1 ? atoi(argv[1]) : 100000;
    if (points < 2)
        points = 2;
    RECT outer = {0, 0, 1000, 700};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = OpenBenchHost(g_frame, "BenchChartHost", outer.right - outer.left, outer.bottom - outer.top);

    printf("chart 1000 x 700, %d series of %d points (%lld segments)\n", kSeries, points,
           (long long)kSeries * (points - 1));
    const ControlArgs place = ControlArgs().Parent(host).Place(0, 0, 1000, 700).Style(WS_VISIBLE);
    CGraph* chart = g_frame.Create<CGraph>(place);
    if (!chart) {
        printf("no chart\n");
        return 1;
    }
    double t = Now();
    if (!Fill(chart, points, false)) {
        printf("series refused\n");
        return 1;
    }
    printf("series set in %.1f ms\n", (Now() - t) * 1000);
    printf("default hooks (lines in batches), x ascending:\n");
    Run(chart, kRepeats);

    if (!Fill(chart, points, true))
        return 1;
    chart->Invalidate(true);
    printf("default hooks, x not ascending (every segment looked at):\n");
    Run(chart, kRepeats);
    chart->Destroy();

    OwnHooks* own = new OwnHooks;
    if (!g_frame.Adopt(own, place)) {
        printf("no chart\n");
        return 1;
    }
    Fill(own, points, false);
    printf("own segment hook (a line per segment), x ascending:\n");
    own->segments = 0;
    Run(own, 3);
    printf("  (%lld segment hook calls)\n", own->segments);
    DestroyWindow(host);
    return 0;
}
