// The chart: series, ticks and labels seen through the drawing hooks, the
// picture in the back buffer, wheel zoom, scrolling and the middle-button
// reset through real messages, and refused input.
#include "FrameworkFixture.h"
#include "cwin/controls/Graph.h"
#include "cwin/window/ImageLists.h"

#include <math.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

struct SeenTick
{
    double value;
    int x, y;
    std::string text;
};

struct SeenSegment
{
    int series;
    double x0, y0, x1, y1;
    int pixelX, pixelY;
};

struct SeenPoint
{
    int series;
    double x, y;
    int pixelX, pixelY;
};

// A chart whose hooks record what the drawing hands them.
struct ProbeGraph final : CGraph
{
    std::vector<SeenTick> xTicks, yTicks;
    std::vector<SeenSegment> segments;
    std::vector<SeenPoint> points;
    int afterDraws = 0;
    bool suppressLabels = false;
    bool suppressLines = false;

    bool OnXTickLabel(HDC, int x, int y, double value) override
    {
        xTicks.push_back(SeenTick{value, x, y, text});
        return suppressLabels;
    }
    bool OnYTickLabel(HDC, int x, int y, double value) override
    {
        yTicks.push_back(SeenTick{value, x, y, text});
        return suppressLabels;
    }
    bool OnAfterDraw(HDC) override
    {
        ++afterDraws;
        return false;
    }
    bool OnSegment(GraphSeries* s, double x0, double y0, double x1, double y1, int px, int py) override
    {
        segments.push_back(SeenSegment{s->id, x0, y0, x1, y1, px, py});
        return suppressLines;
    }
    bool OnPoint(GraphSeries* s, double x, double y, int px, int py) override
    {
        points.push_back(SeenPoint{s->id, x, y, px, py});
        return false;
    }
    void Forget()
    {
        xTicks.clear();
        yTicks.clear();
        segments.clear();
        points.clear();
        afterDraws = 0;
    }
    std::vector<double> XValues() const
    {
        std::vector<double> v;
        for (const SeenTick& t : xTicks)
            v.push_back(t.value);
        return v;
    }
    std::vector<double> YValues() const
    {
        std::vector<double> v;
        for (const SeenTick& t : yTicks)
            v.push_back(t.value);
        return v;
    }
    std::vector<std::string> XTexts() const
    {
        std::vector<std::string> v;
        for (const SeenTick& t : xTicks)
            v.push_back(t.text);
        return v;
    }
    std::vector<std::string> YTexts() const
    {
        std::vector<std::string> v;
        for (const SeenTick& t : yTicks)
            v.push_back(t.text);
        return v;
    }
};

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

HPEN RedPen()
{
    static HPEN pen = CreatePen(PS_SOLID, 0, kRed);
    return pen;
}

HPEN GreenPen()
{
    static HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 160, 0));
    return pen;
}

HPEN BluePen()
{
    static HPEN pen = CreatePen(PS_SOLID, 0, kBlue);
    return pen;
}

// The back buffer's pixels, row by row from the top.
std::vector<DWORD> Snapshot(CGraph* g, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC dc = CreateCompatibleDC(g->memDC);
    HGDIOBJ previous = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, width, height, g->memDC, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(dib);
    return pixels;
}

// Pixels of one colour inside [left, right) x [top, bottom) of the back buffer.
int CountColour(CGraph* g, COLORREF colour, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (GetPixel(g->memDC, x, y) == colour)
                ++n;
    return n;
}

class Graph : public FrameTest
{
protected:
    // A probe chart from the factory's "Graph" (its class for this kind swapped
    // in for the call), placed at the host's corner.
    ProbeGraph* MakeProbe(int width = 600, int height = 400)
    {
        ScopedControlMaker maker(KIND_GRAPH, MakeControlOf<ProbeGraph>);
        return Make<ProbeGraph>(0, 0, width, height);
    }
    CGraph* MakePlain(int width = 600, int height = 400)
    {
        return Make<CGraph>(0, 0, width, height);
    }
    static bool SetXY(IGraph* g, int id, std::vector<double> x, std::vector<double> y, HPEN pen = NULL)
    {
        return g->SetSeriesData(id, 8, x.data(), y.data(), (int)y.size(), pen);
    }
    static void Redraw(CGraph* g)
    {
        g->Invalidate(true);
        EXPECT_FALSE(g->dirty);   // the paint ran, through the back buffer
    }
    static int ClientHeight(CGraph* g)
    {
        RECT r;
        GetClientRect(g->GetHandle(), &r);
        return r.bottom;
    }
    static void Wheel(CGraph* g, int delta)
    {
        POINT p = {100, 100};
        ClientToScreen(g->GetHandle(), &p);
        EXPECT_EQ(0, SendMessageA(g->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(short)delta),
                                  MAKELPARAM(p.x, p.y)));
    }
    static SCROLLINFO Bar(CGraph* g)
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        GetScrollInfo(g->GetHandle(), SB_HORZ, &info);
        return info;
    }
};

TEST_F(Graph, TheFactoryMakesAGraphOfKind17WithItsDefaults)
{
    CGraph* g = MakePlain();
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(KIND_GRAPH, g->GetKind());
    char cls[64];
    GetClassNameA(g->GetHandle(), cls, sizeof(cls));
    EXPECT_STREQ("CWin_CCustom_Class", cls);
    EXPECT_TRUE(g->doubleBuffered);
    EXPECT_TRUE(g->eraseSuppressed);
    EXPECT_TRUE(g->commonScale);
    EXPECT_EQ(0, g->currentSeries);
    EXPECT_EQ(0, g->seriesCount);
    EXPECT_EQ(20, g->leftMargin);
    EXPECT_EQ(20, g->topMargin);
    EXPECT_EQ(20, g->rightMargin);
    EXPECT_EQ(20, g->bottomMargin);
    EXPECT_EQ(6, g->xLabelSpacing);
    EXPECT_TRUE(g->grid);
    EXPECT_EQ(nullptr, g->xTitle);
    EXPECT_EQ(nullptr, g->arrowImages);
    EXPECT_DOUBLE_EQ(0.0, g->scrollPos);
    EXPECT_TRUE(g->zoomEnabled);
    EXPECT_DOUBLE_EQ(1.0, g->zoom);
    EXPECT_DOUBLE_EQ(-1.0, g->xMin);
    EXPECT_DOUBLE_EQ(1.0, g->yMax);
    LOGPEN pen;
    ASSERT_EQ((int)sizeof(pen), GetObjectA(g->seriesPen, sizeof(pen), &pen));
    EXPECT_EQ((UINT)PS_SOLID, pen.lopnStyle);
    EXPECT_EQ(0, pen.lopnWidth.x);
    EXPECT_EQ(kWhite, pen.lopnColor);
    GetObjectA(g->axisPen, sizeof(pen), &pen);
    EXPECT_EQ((UINT)PS_SOLID, pen.lopnStyle);
    EXPECT_EQ(2, pen.lopnWidth.x);
    EXPECT_EQ(kBlack, pen.lopnColor);
    GetObjectA(g->gridPen, sizeof(pen), &pen);
    EXPECT_EQ((UINT)PS_DOT, pen.lopnStyle);
    EXPECT_EQ(1, pen.lopnWidth.x);
    EXPECT_EQ(kBlack, pen.lopnColor);
    // The back buffer is there from the start, one pixel larger than the window.
    ASSERT_NE(nullptr, g->backBitmap);
    BITMAP info;
    GetObjectA(g->backBitmap, sizeof(info), &info);
    EXPECT_EQ(601, info.bmWidth);
    EXPECT_EQ(401, info.bmHeight);
    EXPECT_EQ(600, g->clientWidth);
    EXPECT_EQ(400, g->clientHeight);
    // IGraph is the chart's own view of the same object, over ICustom.
    IGraph* view = g;
    ICustom* surface = view;
    EXPECT_TRUE(surface->SetEraseBackground(true));
    EXPECT_FALSE(g->eraseSuppressed);
    EXPECT_EQ(g->GetHandle(), view->GetHandle());
}

TEST_F(Graph, WithoutSeriesOnlyTheNoDataTextIsDrawnCentred)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    g->SetColors(kRed, kWhite);
    Redraw(g);
    EXPECT_EQ(0, g->afterDraws);
    EXPECT_TRUE(g->xTicks.empty());
    // The text's box: horizontally centred on 300, its bottom on the row 200.
    SIZE extent;
    const char* message = "Necessary data is absent ...";
    GetTextExtentPoint32A(g->memDC, message, (int)strlen(message), &extent);
    int left = 600, right = -1, top = 400, bottom = -1;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            if (GetPixel(g->memDC, x, y) != kWhite) {
                left = x < left ? x : left;
                right = x > right ? x : right;
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
    ASSERT_GE(right, left) << "no text drawn";
    EXPECT_GE(left, 300 - extent.cx / 2 - 1);
    EXPECT_LE(right, 300 + extent.cx / 2 + 1);
    EXPECT_GT(right - left, extent.cx / 2);
    EXPECT_LT(bottom, 200);
    EXPECT_GE(top, 200 - extent.cy);
    // And it reaches the screen.
    HDC dc = GetDC(g->GetHandle());
    EXPECT_EQ(GetPixel(g->memDC, left, top), GetPixel(dc, left, top));
    ReleaseDC(g->GetHandle(), dc);
}

TEST_F(Graph, TicksFallOnRoundStepsAndTheTickOnTheEdgeHasNoLabel)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    // 0..100: 3 digits, p = 10, g = 10 -> step 2p = 20.
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    Redraw(g);
    EXPECT_EQ((std::vector<double>{20, 40, 60, 80, 100}), g->XValues());
    EXPECT_EQ((std::vector<std::string>{"20.000", "40.000", "60.000", "80.000", "100.000"}), g->XTexts());
    EXPECT_EQ((std::vector<double>{20, 40, 60, 80, 100}), g->YValues());
    EXPECT_EQ((std::vector<std::string>{"20", "40", "60", "80", "100"}), g->YTexts());   // whole numbers
    // Columns 20 + t * 560 / 100, rows 380 - t * 360 / 100; y labels start 2 right of the plot's left.
    ASSERT_EQ(5u, g->xTicks.size());
    EXPECT_EQ(132, g->xTicks[0].x);
    EXPECT_EQ(580, g->xTicks[4].x);
    ASSERT_EQ(5u, g->yTicks.size());
    EXPECT_EQ(308, g->yTicks[0].y);
    EXPECT_EQ(20, g->yTicks[4].y);
    EXPECT_EQ(22, g->yTicks[0].x);
    EXPECT_EQ(1, g->afterDraws);
    // Dotted grid lines at the ticks: black pixels down column 132, none beside it.
    EXPECT_GT(CountColour(g, kBlack, 132, 240, 133, 300), 10);
    EXPECT_EQ(0, CountColour(g, kBlack, 133, 240, 140, 300));

    // 0..30: g = 30 -> 5.
    ASSERT_TRUE(SetXY(g, 1, {0, 30}, {0, 30}));
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{5, 10, 15, 20, 25, 30}), g->XValues());
    EXPECT_EQ((std::vector<double>{5, 10, 15, 20, 25, 30}), g->YValues());
    // 0..22: g = 22 -> 2.5; on y not every tick is whole, so all get three decimals.
    ASSERT_TRUE(SetXY(g, 1, {0, 22}, {0, 22}));
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{2.5, 5, 7.5, 10, 12.5, 15, 17.5, 20}), g->XValues());
    EXPECT_EQ((std::vector<double>{2.5, 5, 7.5, 10, 12.5, 15, 17.5, 20}), g->YValues());
    ASSERT_EQ(8u, g->yTicks.size());
    EXPECT_EQ("2.500", g->yTicks[0].text);
    EXPECT_EQ("5.000", g->yTicks[1].text);
    // 0..55: g = 55 -> 10.
    ASSERT_TRUE(SetXY(g, 1, {0, 55}, {0, 55}));
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{10, 20, 30, 40, 50}), g->XValues());
    // 3..7: 1 digit, p = 0.1, g = 40 -> 0.5; the first tick is 3 itself, on the edge.
    ASSERT_TRUE(SetXY(g, 1, {3, 7}, {3, 7}));
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{3.5, 4, 4.5, 5, 5.5, 6, 6.5, 7}), g->XValues());
    // -20..20: 40 -> 5; whole-number ticks, but 0 is below 0.1 and keeps "%.3f".
    ASSERT_TRUE(SetXY(g, 1, {-20, 20}, {-20, 20}));
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<std::string>{"-15", "-10", "-5", "0.000", "5", "10", "15", "20"}), g->YTexts());
    ASSERT_EQ(8u, g->xTicks.size());
    EXPECT_EQ("-5.000", g->xTicks[2].text);
    EXPECT_EQ("0.000", g->xTicks[3].text);
}

TEST_F(Graph, LabelsAreGroupedByThreeDigitsAndCanBeLeftToTheHook)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    // Range 7: 1 digit, p = 0.1, g = 70 -> step 1.
    ASSERT_TRUE(SetXY(g, 1, {1234565, 1234572}, {1234565, 1234572}));
    Redraw(g);
    ASSERT_EQ(7u, g->xTicks.size());
    EXPECT_DOUBLE_EQ(1234567.0, g->xTicks[1].value);
    EXPECT_EQ("1 234 567.000", g->xTicks[1].text);
    ASSERT_EQ(7u, g->yTicks.size());
    EXPECT_EQ("1 234 567", g->yTicks[1].text);
    EXPECT_EQ("1 234 572", g->yTicks[6].text);
    // The sign is no digit.
    ASSERT_TRUE(SetXY(g, 1, {-1234572, -1234565}, {-123, -116}));
    g->Forget();
    Redraw(g);
    ASSERT_EQ(7u, g->xTicks.size());
    EXPECT_EQ("-1 234 571.000", g->xTicks[0].text);
    EXPECT_EQ("-122", g->yTicks[0].text);

    // Labels drawn by default: text pixels under the plot; none when the hook answers true.
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    g->SetColors(kRed, kWhite);
    g->Forget();
    Redraw(g);
    EXPECT_GT(CountColour(g, kRed, 100, 382, 600, 400), 20);
    EXPECT_GT(CountColour(g, kRed, 22, 290, 80, 308), 5);   // "20" above its row
    g->suppressLabels = true;
    g->Forget();
    Redraw(g);
    EXPECT_EQ(5u, g->xTicks.size());
    EXPECT_EQ(0, CountColour(g, kRed, 100, 382, 600, 400));
    EXPECT_EQ(0, CountColour(g, kRed, 22, 290, 80, 308));
}

TEST_F(Graph, NarrowStepsGetNoXLabelsAndShortStepsNoYLabels)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    SIZE zero;
    GetTextExtentPoint32A(g->memDC, "0", 1, &zero);
    // One step is 20 * 5.6 = 112 pixels wide and 20 * 3.6 = 72 high.
    ASSERT_GT(zero.cx, 0);
    g->xLabelSpacing = 111 / zero.cx;                 // spacing * width("0") below 112: labelled
    Redraw(g);
    EXPECT_EQ(5u, g->xTicks.size());
    g->xLabelSpacing = (112 + zero.cx - 1) / zero.cx;   // 112 or more: no labels, no grid
    g->Forget();
    Redraw(g);
    EXPECT_TRUE(g->xTicks.empty());
    EXPECT_EQ(5u, g->yTicks.size());
    EXPECT_EQ(0, CountColour(g, kBlack, 132, 240, 133, 300));
    // A high font: 72 pixels per step are no longer enough for the y labels.
    g->SetFont(80, 0, 0, "Arial");
    g->FitToParent();
    g->Forget();
    Redraw(g);
    EXPECT_TRUE(g->yTicks.empty());
}

TEST_F(Graph, SeriesLieWherePixelsOfTheScaleFormulaPutThem)
{
    CGraph* g = MakePlain();
    ASSERT_NE(nullptr, g);
    // Series 3 only widens the ranges to 0..100 both ways (drawn in white).
    ASSERT_TRUE(SetXY(g, 3, {0, 100}, {0, 100}));
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {25, 25}, RedPen()));
    ASSERT_TRUE(SetXY(g, 2, {50, 50}, {10, 90}, BluePen()));   // a vertical segment
    Redraw(g);
    // sx = 560 / 100, sy = 360 / 100. y = 25 at row 400 - 20 - 25 * 3.6 = 290.
    for (int x : {30, 100, 250, 400, 570}) {
        EXPECT_EQ(kRed, GetPixel(g->memDC, x, 290)) << x;
        EXPECT_EQ(kWhite, GetPixel(g->memDC, x, 289)) << x;
        EXPECT_EQ(kWhite, GetPixel(g->memDC, x, 291)) << x;
    }
    // x = 50 at column 20 + 50 * 5.6 = 300, from row 380 - 36 = 344 up to 380 - 324 = 56.
    for (int y : {60, 150, 250, 340}) {
        EXPECT_EQ(kBlue, GetPixel(g->memDC, 300, y)) << y;
        EXPECT_EQ(kWhite, GetPixel(g->memDC, 299, y)) << y;
        EXPECT_EQ(kWhite, GetPixel(g->memDC, 301, y)) << y;
    }
    EXPECT_NE(kBlue, GetPixel(g->memDC, 300, 350));
    EXPECT_NE(kBlue, GetPixel(g->memDC, 300, 50));
    // Axes: x from 0 puts the vertical axis on the left edge, y from 0 the horizontal one on the bottom.
    EXPECT_EQ(kBlack, GetPixel(g->memDC, 20, 200));
    EXPECT_EQ(kBlack, GetPixel(g->memDC, 200, 380));
    EXPECT_EQ(kWhite, GetPixel(g->memDC, 200, 383));
    // The window shows the back buffer.
    HDC dc = GetDC(g->GetHandle());
    EXPECT_EQ(kRed, GetPixel(dc, 100, 290));
    EXPECT_EQ(kBlue, GetPixel(dc, 300, 150));
    ReleaseDC(g->GetHandle(), dc);

    // Hidden series leave the ranges and the picture.
    g->FindSeries(3)->visible = false;
    g->FindSeries(2)->visible = false;
    Redraw(g);
    // Now x 0..100 and y 25 widened to 24..26: the line at row 380 - 1 * 180 = 200.
    EXPECT_DOUBLE_EQ(24.0, g->yMin);
    EXPECT_EQ(kRed, GetPixel(g->memDC, 100, 200));
    EXPECT_EQ(0, CountColour(g, kBlue, 295, 50, 305, 350));
}

TEST_F(Graph, AxesCrossAtZeroInsideTheRanges)
{
    CGraph* g = MakePlain();
    ASSERT_NE(nullptr, g);
    g->grid = false;
    // x -25..75: the vertical axis at 20 + 25 * 560 / 100 = 160; y -30..60: the
    // horizontal one at 20 + 360 * 60 / 90 = 260.
    ASSERT_TRUE(SetXY(g, 1, {-25, 75}, {-30, 60}));
    Redraw(g);
    EXPECT_EQ(kBlack, GetPixel(g->memDC, 160, 100));
    EXPECT_EQ(kBlack, GetPixel(g->memDC, 400, 260));
    EXPECT_EQ(kWhite, GetPixel(g->memDC, 400, 380));
    // All below 0 in y: the horizontal axis along the top edge; all below 0 in x: the vertical on the right.
    ASSERT_TRUE(SetXY(g, 1, {-100, -50}, {-9, -1}));
    Redraw(g);
    EXPECT_EQ(kBlack, GetPixel(g->memDC, 300, 20));
    EXPECT_EQ(kBlack, GetPixel(g->memDC, 580, 200));
    EXPECT_EQ(kWhite, GetPixel(g->memDC, 20, 200));
}

TEST_F(Graph, AConstantSeriesIsDrawnInTheMiddleOfAWidenedRange)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    double y[3] = {5, 5, 5};
    ASSERT_TRUE(g->SetSeriesData(4, 8, NULL, y, 3, RedPen()));
    GraphSeries* s = g->FindSeries(4);
    ASSERT_NE(nullptr, s);
    EXPECT_DOUBLE_EQ(4.0, s->yMin);
    EXPECT_DOUBLE_EQ(6.0, s->yMax);
    EXPECT_DOUBLE_EQ(0.0, s->xMin);   // x 0, 1, 2 when none are given
    EXPECT_DOUBLE_EQ(2.0, s->xMax);
    Redraw(g);
    EXPECT_DOUBLE_EQ(4.0, g->yMin);
    EXPECT_DOUBLE_EQ(6.0, g->yMax);
    // Range 2: p = 0.1, g = 20 -> step 0.25 from 4 (on the edge, no label) to 6.
    EXPECT_EQ((std::vector<double>{4.25, 4.5, 4.75, 5, 5.25, 5.5, 5.75, 6}), g->YValues());
    EXPECT_EQ("5.000", g->yTicks[3].text);
    // y 5 at row 380 - (5 - 4) * 360 / 2 = 200; x 1 and 2 at columns 300 and 580.
    ASSERT_EQ(2u, g->points.size());
    EXPECT_EQ(300, g->points[0].pixelX);
    EXPECT_EQ(200, g->points[0].pixelY);
    EXPECT_EQ(580, g->points[1].pixelX);
    EXPECT_EQ(kRed, GetPixel(g->memDC, 150, 200));
    EXPECT_EQ(kRed, GetPixel(g->memDC, 450, 200));
}

TEST_F(Graph, AStreamRingDrawsTheOldestPointAtXMinAndTheNewestNineStepsOn)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    g->rightMargin = 40;   // a plot 540 wide: 120 pixels per unit of x below
    ASSERT_TRUE(g->DefineStreamSeries(7, 10.0, 0.5, 14.5, RedPen()));
    GraphSeries* s = g->FindSeries(7);
    ASSERT_NE(nullptr, s);
    EXPECT_TRUE(s->stream);
    EXPECT_TRUE(s->visible);
    EXPECT_EQ(7, g->currentSeries);
    EXPECT_FALSE(g->AddPoint(7, 1.0, true, true));   // no ring without points
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(g->AddPoint(7, i, false, false));
    EXPECT_EQ(10, s->count);
    EXPECT_DOUBLE_EQ(0.0, s->yMin);   // a new stream starts at 0..0
    EXPECT_DOUBLE_EQ(10.0, s->yMax);
    // Three more in ring mode: they replace the three oldest, the window moves 1.5 on.
    for (double y : {11.0, 12.0, 9.0})
        ASSERT_TRUE(g->AddPoint(7, y, true, true));
    EXPECT_EQ(10, s->count);
    EXPECT_EQ(3, s->ringPos);
    EXPECT_DOUBLE_EQ(11.5, s->xMin);
    EXPECT_DOUBLE_EQ(16.0, s->xMax);
    EXPECT_DOUBLE_EQ(11.5, s->windowStart);
    EXPECT_DOUBLE_EQ(16.0, s->windowEnd);
    EXPECT_DOUBLE_EQ(12.0, s->yMax);
    Redraw(g);
    // The ring holds 11 12 9 4 5 .. 10 from position 3 on: the oldest (4) at x min,
    // then every half unit 5 .. 10, 11, 12 and the newest (9) at 11.5 + 9 * 0.5 = 16.
    ASSERT_EQ(9u, g->segments.size());
    EXPECT_DOUBLE_EQ(11.5, g->segments[0].x0);
    EXPECT_DOUBLE_EQ(4.0, g->segments[0].y0);
    ASSERT_EQ(9u, g->points.size());
    const double ys[9] = {5, 6, 7, 8, 9, 10, 11, 12, 9};
    for (int k = 0; k < 9; ++k) {
        EXPECT_DOUBLE_EQ(12.0 + 0.5 * k, g->points[k].x) << k;
        EXPECT_DOUBLE_EQ(ys[k], g->points[k].y) << k;
    }
    EXPECT_DOUBLE_EQ(16.0, g->points[8].x);
    // Pixels: x 16 at 20 + 4.5 * 540 / 4.5 = 560; y 9 at 380 - 9 * 360 / 12 = 110.
    EXPECT_EQ(560, g->points[8].pixelX);
    EXPECT_EQ(110, g->points[8].pixelY);
    // The last line runs from (500, 20) to (560, 110): through (530, 65).
    EXPECT_EQ(kRed, GetPixel(g->memDC, 530, 65));
    // Without advance the ring still turns but the x window stays.
    ASSERT_TRUE(g->AddPoint(7, 2.0, true, false));
    EXPECT_EQ(4, s->ringPos);
    EXPECT_DOUBLE_EQ(11.5, s->xMin);
    EXPECT_DOUBLE_EQ(12.0, s->windowStart);
    g->Forget();
    Redraw(g);
    ASSERT_EQ(9u, g->segments.size());
    EXPECT_DOUBLE_EQ(5.0, g->segments[0].y0);   // the oldest is now the 5
    EXPECT_DOUBLE_EQ(2.0, g->points[8].y);
}

TEST_F(Graph, TwoWheelStepsShowAQuarterAndScrollingMovesIt)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    ASSERT_TRUE(SetXY(g, 2, {0, 100}, {50, 50}, RedPen()));
    Redraw(g);
    EXPECT_EQ(5u, g->xTicks.size());
    // Forward twice: zoom 0.25, x 0..25 (step 5).
    Wheel(g, 120);
    Wheel(g, 120);
    EXPECT_DOUBLE_EQ(0.25, g->zoom);
    g->Forget();
    Redraw(g);
    EXPECT_DOUBLE_EQ(0.0, g->xMin);
    EXPECT_DOUBLE_EQ(25.0, g->xMax);
    EXPECT_EQ((std::vector<double>{5, 10, 15, 20, 25}), g->XValues());
    SCROLLINFO bar = Bar(g);
    EXPECT_EQ(0, bar.nMin);
    EXPECT_EQ(99, bar.nMax);
    EXPECT_EQ(25u, bar.nPage);   // a quarter of the bar's 100 units
    EXPECT_TRUE(GetWindowLongA(g->GetHandle(), GWL_STYLE) & WS_HSCROLL);
    // Both lines are cut at x 25, on the right edge; their ends (x 100) are not visible points.
    ASSERT_EQ(2u, g->segments.size());
    EXPECT_DOUBLE_EQ(25.0, g->segments[0].x1);
    EXPECT_DOUBLE_EQ(25.0, g->segments[0].y1);
    EXPECT_DOUBLE_EQ(25.0, g->segments[1].x1);
    EXPECT_DOUBLE_EQ(50.0, g->segments[1].y1);
    EXPECT_EQ(580, g->segments[1].pixelX);
    EXPECT_TRUE(g->points.empty());
    // The bar took room from the client area: rows count from the new bottom.
    int h = ClientHeight(g);
    EXPECT_LT(h, 400);
    EXPECT_EQ(h, g->clientHeight);
    int row = (int)((h - 20) - 50 * ((h - 40) / 100.0));
    EXPECT_EQ(kRed, GetPixel(g->memDC, 300, row)) << row;
    EXPECT_EQ(kRed, GetPixel(g->memDC, 570, row)) << row;

    // The thumb dragged to 50: x 50..75, the tick 50 on the edge unlabelled.
    EXPECT_EQ(0, SendMessageA(g->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 50), 0));
    EXPECT_DOUBLE_EQ(50.0, g->scrollPos);
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{55, 60, 65, 70, 75}), g->XValues());
    EXPECT_EQ(50, GetScrollPos(g->GetHandle(), SB_HORZ));
    // One line on: 51..76.
    SendMessageA(g->GetHandle(), WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_DOUBLE_EQ(51.0, g->scrollPos);
    EXPECT_DOUBLE_EQ(51.0, g->xMin);
    EXPECT_DOUBLE_EQ(76.0, g->xMax);
    // Past the end the visible part is pulled back to end at x max.
    SendMessageA(g->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 90), 0);
    EXPECT_DOUBLE_EQ(75.0, g->xMin);
    EXPECT_DOUBLE_EQ(100.0, g->xMax);
    EXPECT_EQ(75, GetScrollPos(g->GetHandle(), SB_HORZ));
    // The vertical bar is refused; so is a position at x max or beyond.
    SCROLLINFO atEnd = {sizeof(atEnd), SIF_POS, 0, 0, 0, 100, 0};
    EXPECT_FALSE(g->OnScroll(false, &atEnd));
    EXPECT_FALSE(g->OnScroll(true, &bar));
    EXPECT_DOUBLE_EQ(90.0, g->scrollPos);

    // One step back: zoom 0.5, from position 90 pulled back to 50..100 (step 10).
    Wheel(g, -120);
    EXPECT_DOUBLE_EQ(0.5, g->zoom);
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{60, 70, 80, 90, 100}), g->XValues());
    EXPECT_EQ(50u, Bar(g).nPage);

    // A middle double click with a key held, or another button's, changes nothing.
    SendMessageA(g->GetHandle(), WM_MBUTTONDBLCLK, MK_MBUTTON | MK_SHIFT, MAKELPARAM(50, 50));
    SendMessageA(g->GetHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_DOUBLE_EQ(0.5, g->zoom);
    // The middle button alone shows all of it again; the bar goes.
    EXPECT_EQ(0, SendMessageA(g->GetHandle(), WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(50, 50)));
    EXPECT_DOUBLE_EQ(1.0, g->zoom);
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{20, 40, 60, 80, 100}), g->XValues());
    EXPECT_DOUBLE_EQ(0.0, g->xMin);
    EXPECT_EQ(400, ClientHeight(g));
    EXPECT_EQ(kRed, GetPixel(g->memDC, 300, 200));   // (50, 50) of the diagonal
}

TEST_F(Graph, TheWheelStaysWithinItsLimitsAndCanBeSwitchedOff)
{
    CGraph* g = MakePlain();
    ASSERT_NE(nullptr, g);
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    Wheel(g, -120);
    EXPECT_DOUBLE_EQ(1.0, g->zoom);     // at most all of it
    Wheel(g, 0);
    EXPECT_DOUBLE_EQ(1.0, g->zoom);
    g->zoomEnabled = false;
    Wheel(g, 120);                      // handled, nothing changes
    EXPECT_DOUBLE_EQ(1.0, g->zoom);
    g->zoomEnabled = true;
    Wheel(g, 120);
    g->zoomEnabled = false;
    EXPECT_EQ(0, SendMessageA(g->GetHandle(), WM_MBUTTONDBLCLK, MK_MBUTTON, 0));
    EXPECT_DOUBLE_EQ(0.5, g->zoom);
    g->zoomEnabled = true;
    // Many steps forward still leave a range that a turn back can widen again.
    for (int i = 0; i < 100; ++i)
        Wheel(g, 120);
    EXPECT_GT(g->zoom, 0.0);
    double deepest = g->zoom;
    Wheel(g, -120);
    EXPECT_DOUBLE_EQ(deepest * 2, g->zoom);
    EXPECT_FALSE(g->dirty);
}

TEST_F(Graph, ZoomIntoARangeBelowZeroScrollsThroughIt)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    ASSERT_TRUE(SetXY(g, 1, {-100, 100}, {0, 10}));
    Wheel(g, 120);   // half of -100..100 from the scroll position 0
    EXPECT_DOUBLE_EQ(0.0, g->xMin);
    EXPECT_DOUBLE_EQ(100.0, g->xMax);
    SCROLLINFO bar = Bar(g);
    EXPECT_EQ(-100, bar.nMin);
    EXPECT_EQ(99, bar.nMax);
    EXPECT_EQ(100u, bar.nPage);
    EXPECT_EQ(0, bar.nPos);
    // A page back: position -100, the left half.
    SendMessageA(g->GetHandle(), WM_HSCROLL, SB_PAGEUP, 0);
    EXPECT_DOUBLE_EQ(-100.0, g->scrollPos);
    EXPECT_DOUBLE_EQ(-100.0, g->xMin);
    EXPECT_DOUBLE_EQ(0.0, g->xMax);
    SendMessageA(g->GetHandle(), WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_DOUBLE_EQ(-99.0, g->xMin);
    EXPECT_DOUBLE_EQ(1.0, g->xMax);
    EXPECT_EQ(-99, GetScrollPos(g->GetHandle(), SB_HORZ));
}

TEST_F(Graph, SegmentsAreClippedToTheVisibleArea)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    g->commonScale = false;   // the current series (the first) gives the ranges: 0..10 both ways
    ASSERT_TRUE(SetXY(g, 1, {0, 10}, {0, 10}));
    ASSERT_TRUE(SetXY(g, 2, {2, 4, 6}, {20, 30, 25}));   // wholly above
    ASSERT_TRUE(SetXY(g, 3, {2, 8}, {-5, 15}));          // through the whole height
    ASSERT_TRUE(SetXY(g, 4, {-10, 5, 20}, {5, 5, 5}));   // wider than the plot
    Redraw(g);
    EXPECT_DOUBLE_EQ(10.0, g->xMax);
    std::vector<SeenSegment> of2, of3, of4;
    for (const SeenSegment& s : g->segments) {
        if (s.series == 2)
            of2.push_back(s);
        else if (s.series == 3)
            of3.push_back(s);
        else if (s.series == 4)
            of4.push_back(s);
    }
    EXPECT_TRUE(of2.empty());
    // y = -5 + (x - 2) * 20 / 6 meets y 0 at x 3.5 and y 10 at x 6.5.
    ASSERT_EQ(1u, of3.size());
    EXPECT_DOUBLE_EQ(3.5, of3[0].x0);
    EXPECT_DOUBLE_EQ(0.0, of3[0].y0);
    EXPECT_DOUBLE_EQ(6.5, of3[0].x1);
    EXPECT_DOUBLE_EQ(10.0, of3[0].y1);
    EXPECT_EQ(20 + (int)(6.5 * 56), of3[0].pixelX);
    EXPECT_EQ(20, of3[0].pixelY);
    // Both segments of series 4, cut at x 0 and x 10; its last point (20) is past x max.
    ASSERT_EQ(2u, of4.size());
    EXPECT_DOUBLE_EQ(0.0, of4[0].x0);
    EXPECT_DOUBLE_EQ(5.0, of4[0].y0);
    EXPECT_DOUBLE_EQ(10.0, of4[1].x1);
    int pointsOf4 = 0, pointsOf3 = 0;
    for (const SeenPoint& p : g->points) {
        pointsOf4 += p.series == 4;
        pointsOf3 += p.series == 3;
    }
    EXPECT_EQ(1, pointsOf4);   // (5, 5) only
    EXPECT_EQ(1, pointsOf3);   // (8, 15): x within, given as it is
    for (const SeenPoint& p : g->points) {
        if (p.series == 3) {
            EXPECT_DOUBLE_EQ(15.0, p.y);
        }
    }

    // A segment that ends left of x min is skipped, even when it starts inside.
    ASSERT_TRUE(SetXY(g, 5, {5, -1}, {5, 5}));
    g->Forget();
    Redraw(g);
    for (const SeenSegment& s : g->segments)
        EXPECT_NE(5, s.series);
    // A true answer from OnSegment keeps the line off the picture; the points still come.
    ASSERT_TRUE(g->RemoveSeries(5));
    ASSERT_TRUE(g->RemoveSeries(2));
    ASSERT_TRUE(g->RemoveSeries(3));
    g->FindSeries(4)->pen = RedPen();
    Redraw(g);
    EXPECT_EQ(kRed, GetPixel(g->memDC, 300, 200));
    g->suppressLines = true;
    g->Forget();
    Redraw(g);
    EXPECT_EQ(0, CountColour(g, kRed, 20, 20, 580, 380));
    EXPECT_EQ(2u, g->points.size());   // (10, 10) of series 1 and (5, 5) of series 4
}

TEST_F(Graph, BatchedLinesGiveThePixelsOfLinesDrawnOneByOne)
{
    // The same data in a plain chart (default hooks: lines in batches) and in a
    // probe (own hooks: a line per segment) must give the same picture.
    std::vector<double> x1, y1, x2, y2;
    unsigned seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (double)((seed >> 8) % 1000);
    };
    double x = 0;
    for (int i = 0; i < 3000; ++i) {
        x += (i % 7 == 0) ? 0 : next() / 500.0;   // repeated x: vertical segments
        x1.push_back(x);
        y1.push_back(i % 11 == 0 && i > 0 ? y1.back() : next());   // repeated points too
    }
    for (int i = 0; i < 500; ++i) {
        x2.push_back(next() / 2);    // x back and forth
        y2.push_back(next() * 1.5 - 200);
    }
    // Dense: some 40 points to a pixel column, up and down, with flat stretches.
    std::vector<double> x3, y3;
    for (int i = 0; i < 20000; ++i) {
        x3.push_back(i * 0.13);
        y3.push_back(i % 5 == 0 ? (y3.empty() ? 500 : y3.back()) : next());
    }
    std::vector<DWORD> pictures[2][2];
    for (int kind = 0; kind < 2; ++kind) {
        CGraph* g = kind == 0 ? MakePlain() : MakeProbe();
        ASSERT_NE(nullptr, g);
        ASSERT_TRUE(SetXY(g, 1, x1, y1, RedPen()));
        ASSERT_TRUE(SetXY(g, 2, x2, y2, BluePen()));
        ASSERT_TRUE(SetXY(g, 3, x3, y3, GreenPen()));
        Redraw(g);
        pictures[kind][0] = Snapshot(g, 600, 400);
        Wheel(g, 120);
        Wheel(g, 120);
        SendMessageA(g->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), 0);
        pictures[kind][1] = Snapshot(g, 600, 400);
        if (kind == 1) {
            EXPECT_GT(static_cast<ProbeGraph*>(g)->segments.size(), 100u);
        }
        g->Destroy();
    }
    for (int view = 0; view < 2; ++view) {
        int red = 0, green = 0, differ = 0;
        for (size_t i = 0; i < pictures[0][view].size(); ++i) {
            red += (pictures[0][view][i] & 0xFFFFFF) == 0xFF0000;
            green += (pictures[0][view][i] & 0xFFFFFF) == 0x00A000;
            differ += pictures[0][view][i] != pictures[1][view][i];
        }
        EXPECT_GT(red, 500) << view;
        EXPECT_GT(green, 10000) << view;
        EXPECT_EQ(0, differ) << view;
    }
}

TEST_F(Graph, ArrowImagesMakeTheAxes)
{
    CGraph* g = MakePlain();
    ASSERT_NE(nullptr, g);
    g->grid = false;
    // Three 16 x 16 images: red, green, blue.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 48;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP strip = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    DWORD* px = static_cast<DWORD*>(bits);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x)
            px[y * 48 + x] = x < 16 ? 0xFF0000 : x < 32 ? 0x00FF00 : 0x0000FF;
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 3, 0);
    ASSERT_EQ(0, ImageList_Add(list, strip, NULL));
    DeleteObject(strip);
    EXPECT_TRUE(g->SetArrowImages(&list));
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    Redraw(g);
    const COLORREF green = RGB(0, 255, 0);
    // Image 0 centred above the vertical axis' top (column 20, row 20): 12..27 x 4..19.
    EXPECT_EQ(kRed, GetPixel(g->memDC, 20, 10));
    EXPECT_EQ(kRed, GetPixel(g->memDC, 13, 5));
    EXPECT_EQ(kWhite, GetPixel(g->memDC, 20, 2));
    // Its bottom row down the axis: 16 wide.
    EXPECT_EQ(kRed, GetPixel(g->memDC, 14, 200));
    EXPECT_EQ(kRed, GetPixel(g->memDC, 26, 300));
    EXPECT_EQ(kWhite, GetPixel(g->memDC, 30, 200));
    // Image 1 right of the horizontal axis' end (580, row 380): 580..595 x 372..387; its left column along.
    EXPECT_EQ(green, GetPixel(g->memDC, 590, 380));
    EXPECT_EQ(green, GetPixel(g->memDC, 300, 374));
    EXPECT_EQ(green, GetPixel(g->memDC, 300, 386));
    EXPECT_EQ(kWhite, GetPixel(g->memDC, 300, 370));
    // Image 2 on the crossing (the white series starts there too); no axis pen lines.
    EXPECT_EQ(kBlue, GetPixel(g->memDC, 14, 384));
    EXPECT_EQ(kBlue, GetPixel(g->memDC, 26, 386));
    EXPECT_EQ(0, CountColour(g, kBlack, 40, 370, 560, 382));
    // Without images the pen draws them again.
    EXPECT_TRUE(g->SetArrowImages(NULL));
    Redraw(g);
    EXPECT_EQ(kBlack, GetPixel(g->memDC, 300, 380));
    EXPECT_EQ(kWhite, GetPixel(g->memDC, 20, 10));
    ImageList_Destroy(list);
}

TEST_F(Graph, AxisTitlesAreDrawnByReference)
{
    CGraph* g = MakePlain();
    ASSERT_NE(nullptr, g);
    g->grid = false;
    g->SetColors(kRed, kWhite);
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    Redraw(g);
    // Right and bottom of the x title at (580, 383), of the turned y title at (23, 20).
    int xArea = CountColour(g, kRed, 400, 360, 580, 379);
    int yArea = CountColour(g, kRed, 0, 21, 18, 200);
    EXPECT_EQ(0, xArea);
    EXPECT_EQ(0, yArea);
    char xTitle[] = "Time, days";
    char yTitle[] = "Stock";
    EXPECT_TRUE(g->SetAxisTitles(xTitle, yTitle));
    Redraw(g);
    EXPECT_GT(CountColour(g, kRed, 400, 360, 580, 379), 20);
    EXPECT_GT(CountColour(g, kRed, 0, 21, 18, 200), 10);
    EXPECT_NE(nullptr, g->rotatedFont);
    LOGFONTA turned;
    ASSERT_EQ((int)sizeof(turned), GetObjectA(g->rotatedFont, sizeof(turned), &turned));
    EXPECT_EQ(900, turned.lfEscapement);
    // Kept by reference: a changed text shows at the next drawing.
    int before = CountColour(g, kRed, 400, 360, 580, 379);
    strcpy(xTitle, "T");
    Redraw(g);
    EXPECT_LT(CountColour(g, kRed, 400, 360, 580, 379), before);
}

TEST_F(Graph, SeriesAreFoundReplacedAndRemoved)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(nullptr, g->FindSeries(0));
    ASSERT_TRUE(SetXY(g, 10, {0, 1}, {0, 1}));
    ASSERT_TRUE(SetXY(g, 20, {0, 2}, {0, 2}));
    ASSERT_TRUE(SetXY(g, 30, {0, 3}, {0, 3}, RedPen()));
    EXPECT_EQ(10, g->currentSeries);   // the first into an empty table
    EXPECT_EQ(3, g->seriesCount);
    // The same identifier replaces the data; a pen of 0 keeps the pen.
    unsigned char bytes[4] = {10, 200, 255, 0};
    ASSERT_TRUE(g->SetSeriesData(30, 1, NULL, bytes, 4, NULL));
    EXPECT_EQ(3, g->seriesCount);
    GraphSeries* s = g->FindSeries(30);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(RedPen(), s->pen);
    EXPECT_EQ(4, s->count);
    EXPECT_DOUBLE_EQ(255.0, s->yMax);
    EXPECT_DOUBLE_EQ(0.0, s->yMin);
    EXPECT_DOUBLE_EQ(3.0, s->xMax);
    // 16-bit and 32-bit elements, x converted the same way.
    unsigned short words[2] = {1000, 65535};
    ASSERT_TRUE(g->SetSeriesData(20, 2, words, words, 2, NULL));
    EXPECT_DOUBLE_EQ(65535.0, g->FindSeries(20)->xMax);
    INT32 ints[3] = {-5, 7, -70000};
    ASSERT_TRUE(g->SetSeriesData(20, 4, ints, ints, 3, NULL));
    EXPECT_DOUBLE_EQ(-70000.0, g->FindSeries(20)->yMin);
    EXPECT_DOUBLE_EQ(7.0, g->FindSeries(20)->xMax);
    // An unknown element type gives zeros, widened to -1..1.
    ASSERT_TRUE(g->SetSeriesData(20, 3, ints, ints, 3, NULL));
    EXPECT_DOUBLE_EQ(0.0, g->FindSeries(20)->y[2]);
    EXPECT_DOUBLE_EQ(-1.0, g->FindSeries(20)->yMin);
    EXPECT_DOUBLE_EQ(1.0, g->FindSeries(20)->xMax);

    // Removal closes the gap and keeps the order.
    EXPECT_TRUE(g->RemoveSeries(20));
    EXPECT_FALSE(g->RemoveSeries(20));
    EXPECT_EQ(2, g->seriesCount);
    EXPECT_EQ(10, g->series[0].id);
    EXPECT_EQ(30, g->series[1].id);
    EXPECT_TRUE(g->dirty);
    // The current series gone: the first one's ranges serve when none is visible.
    g->series[0].visible = g->series[1].visible = false;
    EXPECT_TRUE(g->RemoveSeries(10));
    g->Forget();
    Redraw(g);
    EXPECT_DOUBLE_EQ(3.0, g->xMax);
    EXPECT_DOUBLE_EQ(255.0, g->yMax);
    EXPECT_TRUE(g->segments.empty());
    EXPECT_EQ(1, g->afterDraws);

    // All removed with a repaint: the no-data text again.
    g->SetColors(kRed, kWhite);
    EXPECT_TRUE(g->RemoveAllSeries(true));
    EXPECT_EQ(0, g->seriesCount);
    EXPECT_FALSE(g->dirty);
    EXPECT_GT(CountColour(g, kRed, 150, 170, 450, 200), 20);
    EXPECT_EQ(0, CountColour(g, kRed, 0, 210, 600, 400));
    EXPECT_TRUE(g->RemoveAllSeries(false));
}

TEST_F(Graph, BadInputIsRefusedWithoutHarm)
{
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    double values[3] = {1, 2, 3};
    EXPECT_FALSE(g->SetSeriesData(1, 8, values, NULL, 3, NULL));
    EXPECT_FALSE(g->SetSeriesData(1, 8, values, values, -1, NULL));
    EXPECT_EQ(0, g->seriesCount);
    EXPECT_FALSE(g->AddPoint(5, 1.0, false, false));
    EXPECT_FALSE(g->RemoveSeries(5));
    EXPECT_EQ(nullptr, g->FindSeries(5));

    // A series of no points and one of one point draw nothing and break nothing.
    ASSERT_TRUE(g->SetSeriesData(1, 8, values, values, 0, NULL));
    EXPECT_EQ(0, g->FindSeries(1)->count);
    ASSERT_TRUE(g->SetSeriesData(2, 8, values, values, 1, NULL));
    Redraw(g);
    EXPECT_TRUE(g->segments.empty());
    EXPECT_EQ(1, g->afterDraws);
    // Points appended to a data series follow its last x by 1.
    ASSERT_TRUE(g->AddPoint(1, 4.0, false, false));
    ASSERT_TRUE(g->AddPoint(1, 6.0, false, false));
    GraphSeries* s = g->FindSeries(1);
    EXPECT_EQ(2, s->count);
    EXPECT_DOUBLE_EQ(0.0, s->x[0]);
    EXPECT_DOUBLE_EQ(1.0, s->x[1]);
    EXPECT_DOUBLE_EQ(6.0, s->y[1]);
    g->Forget();
    Redraw(g);
    ASSERT_EQ(1u, g->segments.size());

    // Values that are no numbers are left out of the ranges and the lines.
    double odd[4] = {1, NAN, INFINITY, 3};
    ASSERT_TRUE(g->SetSeriesData(3, 8, NULL, odd, 4, NULL));
    EXPECT_DOUBLE_EQ(1.0, g->FindSeries(3)->yMin);
    EXPECT_DOUBLE_EQ(3.0, g->FindSeries(3)->yMax);
    g->Forget();
    Redraw(g);
    for (const SeenSegment& seg : g->segments)
        EXPECT_NE(3, seg.series);

    // A stream of one x (from = to) and of no step: widened, no failure.
    ASSERT_TRUE(g->RemoveAllSeries(false));
    ASSERT_TRUE(g->DefineStreamSeries(9, 5, 0, 5, NULL));
    ASSERT_TRUE(g->AddPoint(9, 1, false, false));
    ASSERT_TRUE(g->AddPoint(9, 1, false, false));
    g->Forget();
    Redraw(g);
    EXPECT_DOUBLE_EQ(4.0, g->xMin);
    EXPECT_DOUBLE_EQ(6.0, g->xMax);
    EXPECT_EQ(1u, g->points.size());

    // The 33rd series is refused by both ways of making one.
    for (int id = 100; id < 131; ++id)
        ASSERT_TRUE(g->DefineStreamSeries(id, 0, 1, 10, NULL)) << id;
    EXPECT_EQ(32, g->seriesCount);
    EXPECT_FALSE(g->SetSeriesData(200, 8, NULL, values, 3, NULL));
    EXPECT_FALSE(g->DefineStreamSeries(201, 0, 1, 10, NULL));
    EXPECT_EQ(nullptr, g->FindSeries(200));
    EXPECT_EQ(32, g->seriesCount);
    // An existing one can still take new data, or a new x window.
    EXPECT_TRUE(g->SetSeriesData(100, 8, NULL, values, 3, NULL));
    EXPECT_TRUE(g->DefineStreamSeries(101, 5, 1, 15, NULL));
    EXPECT_DOUBLE_EQ(15.0, g->FindSeries(101)->xMax);
    EXPECT_EQ(32, g->seriesCount);
    Redraw(g);
}

// ---- with the real pointer

using GraphOnDesktop = Graph;

bool ZoomBecomes(CGraph* g, double zoom)
{
    return PumpUntil([&] { return g->zoom == zoom; });
}

TEST_F(GraphOnDesktop, TheRealWheelZoomsAndARealMiddleDoubleClickShowsAllAgain)
{
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(host);
    ProbeGraph* g = MakeProbe();
    ASSERT_NE(nullptr, g);
    ASSERT_TRUE(SetXY(g, 1, {0, 100}, {0, 100}));
    HWND w = g->GetHandle();
    // A middle click gives the chart the focus, which the wheel goes to.
    RealMouse(w, 300, 200, MOUSEEVENTF_MIDDLEDOWN);
    RealMouse(w, 300, 200, MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == w; })) << GetFocus();
    RealMouse(w, 300, 200, MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    RealMouse(w, 300, 200, MOUSEEVENTF_WHEEL, WHEEL_DELTA);
    EXPECT_TRUE(ZoomBecomes(g, 0.25)) << g->zoom;
    EXPECT_EQ(25u, Bar(g).nPage);
    // Past the double-click time since the first click, then two clicks: the window
    // class asks for double clicks, so the second arrives as WM_MBUTTONDBLCLK.
    Sleep(GetDoubleClickTime() + 100);
    RealMouse(w, 300, 150, MOUSEEVENTF_MIDDLEDOWN);
    RealMouse(w, 300, 150, MOUSEEVENTF_MIDDLEUP);
    RealMouse(w, 300, 150, MOUSEEVENTF_MIDDLEDOWN);
    RealMouse(w, 300, 150, MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(ZoomBecomes(g, 1.0)) << g->zoom;
    g->Forget();
    Redraw(g);
    EXPECT_EQ((std::vector<double>{20, 40, 60, 80, 100}), g->XValues());
    SetWindowPos(host, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace
