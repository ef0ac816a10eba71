// CGraph, the line chart: its series, zoom and scrolling; the drawing is in GraphDrawing.cpp.
#include "cwin/controls/Graph.h"
#include "cwin/controls/GraphInternal.h"
#include "cwin/system/HeapRegistry.h"

#include <string.h>

namespace {

// Wheel zoom stops halving here, so that a backward turn can always undo it.
const double kMinZoom = 1.0 / (1024.0 * 1024.0 * 1024.0 * 1024.0);

// Element types of SetSeriesData; any other type gives zeros.
double ElementAt(const void* values, int type, int i)
{
    switch (type) {
    case 1: return static_cast<const unsigned char*>(values)[i];
    case 2: return static_cast<const unsigned short*>(values)[i];
    case 4: return static_cast<const INT32*>(values)[i];
    case 8: {
        double v;
        memcpy(&v, static_cast<const char*>(values) + (size_t)i * sizeof(double), sizeof(v));
        return v;
    }
    default: return 0.0;
    }
}

// The range of the finite values; false when there is none.
bool RangeOf(const double* values, int count, double* lo, double* hi)
{
    bool any = false;
    for (int i = 0; i < count; ++i) {
        double v = values[i];
        if (!Finite(v))
            continue;
        if (!any || v < *lo)
            *lo = v;
        if (!any || v > *hi)
            *hi = v;
        any = true;
    }
    return any;
}

bool Ascending(const double* values, int count)
{
    for (int i = 1; i < count; ++i)
        if (!(values[i] >= values[i - 1]))
            return false;
    return true;
}

}  // namespace

CGraph::CGraph()
    : clientWidth(0), clientHeight(0), commonScale(true), currentSeries(0), xMax(1), xMin(-1), yMax(1), yMin(-1),
      leftMargin(20), topMargin(20), rightMargin(20), bottomMargin(20), xLabelSpacing(6),
      seriesPen(CreatePen(PS_SOLID, 0, RGB(255, 255, 255))), axisPen(CreatePen(PS_SOLID, 2, RGB(0, 0, 0))),
      gridPen(CreatePen(PS_DOT, 1, RGB(0, 0, 0))), grid(true), xTitle(NULL), yTitle(NULL), seriesCount(0),
      arrowImages(NULL), rotatedFont(NULL), scrollPos(0), zoomEnabled(true), zoom(1.0), fullXMin(-1),
      fullXMax(1), m_drawing(false), m_defaultHookRan(false)
{
    kind = KIND_GRAPH;
    doubleBuffered = true;
    eraseSuppressed = true;
    memset(series, 0, sizeof(series));
}

CGraph::~CGraph()
{
    Release();
    FreeChartObjects();
}

template <class H> static void DeleteOnce(H& object)
{
    if (object)
        DeleteObject(object);
    object = NULL;
}

void CGraph::FreeOwnObjects()
{
    FreeChartObjects();
    CCustom::FreeOwnObjects();
}

void CGraph::FreeChartObjects()
{
    DeleteOnce(seriesPen);
    DeleteOnce(axisPen);
    DeleteOnce(gridPen);
    DeleteOnce(rotatedFont);
}

// The window's first size arrives before the object is bound to it: the back
// buffer is made here, or the chart would show nothing until a resize.
bool CGraph::Create()
{
    if (!CCustom::Create())
        return false;
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, 0);
    return true;
}

bool CGraph::Release()
{
    RemoveAllSeries(false);
    if (rotatedFont) {
        DeleteObject(rotatedFont);
        rotatedFont = NULL;
    }
    return CCustom::Release();
}

// ---------------------------------------------------------------- series

GraphSeries* CGraph::FindSeries(int id)
{
    for (int i = 0; i < seriesCount; ++i)
        if (series[i].id == id)
            return &series[i];
    return NULL;
}

GraphSeries* CGraph::NewSeries(int id)
{
    if (seriesCount >= CWIN_GRAPH_SERIES)
        return NULL;
    GraphSeries* s = &series[seriesCount];
    memset(s, 0, sizeof(*s));
    s->id = id;
    s->visible = true;
    if (seriesCount == 0)
        currentSeries = id;
    ++seriesCount;
    return s;
}

void CGraph::FreeArrays(GraphSeries* s)
{
    if (s->x)
        g_heapRegistry.Free(&s->x);
    if (s->y)
        g_heapRegistry.Free(&s->y);
    s->x = s->y = NULL;
}

bool CGraph::SetSeriesData(int id, int elementType, const void* xValues, const void* yValues, int count,
                           HPEN pen)
{
    if (!yValues || count < 0 || (SIZE_T)count > ((SIZE_T)-1) / sizeof(double))
        return false;
    GraphSeries* s = FindSeries(id);
    if (s)
        FreeArrays(s);
    else if (!(s = NewSeries(id)))
        return false;
    s->count = 0;
    if (pen)
        s->pen = pen;
    // A series of no points has no arrays (and draws nothing).
    if (count > 0) {
        SIZE_T bytes = (SIZE_T)count * sizeof(double);
        if (!g_heapRegistry.Alloc(&s->x, bytes) || !g_heapRegistry.Alloc(&s->y, bytes)) {
            FreeArrays(s);
            dirty = true;
            return false;
        }
        for (int i = 0; i < count; ++i) {
            s->y[i] = ElementAt(yValues, elementType, i);
            s->x[i] = xValues ? ElementAt(xValues, elementType, i) : (double)i;
        }
        s->count = count;
    }
    s->yMin = s->yMax = s->xMin = s->xMax = 0;
    RangeOf(s->y, s->count, &s->yMin, &s->yMax);
    RangeOf(s->x, s->count, &s->xMin, &s->xMax);
    if (s->yMin == s->yMax) {
        s->yMin -= 1;
        s->yMax += 1;
    }
    if (s->xMin == s->xMax) {
        s->xMin -= 1;
        s->xMax += 1;
    }
    s->xAscending = Ascending(s->x, s->count);
    dirty = true;
    return true;
}

bool CGraph::DefineStreamSeries(int id, double xFrom, double xStep, double xTo, HPEN pen)
{
    // A full table refuses a new series only: an existing one can still be redefined.
    GraphSeries* s = FindSeries(id);
    if (!s) {
        if (!(s = NewSeries(id)))
            return false;
        s->stream = true;
        s->ringPos = 0;
    }
    if (pen)
        s->pen = pen;
    s->xMin = s->windowStart = xFrom;
    s->xMax = s->windowEnd = xTo;
    s->xStep = xStep;
    return true;
}

bool CGraph::AddPoint(int id, double y, bool ringMode, bool advance)
{
    GraphSeries* s = FindSeries(id);
    if (!s)
        return false;
    // A ring has as many places as points: an empty series has none.
    if (ringMode && s->count <= 0)
        return false;
    if (y < s->yMin)
        s->yMin = y;
    if (y > s->yMax)
        s->yMax = y;
    if (!ringMode) {
        if (s->count == 0x7FFFFFFF)
            return false;
        int n = s->count;
        // Room grows by half again, so that a long feed is not copied point by point.
        SIZE_T room = s->y ? g_heapRegistry.Size(s->y) / sizeof(double) : 0;
        if (!s->stream) {
            SIZE_T xRoom = s->x ? g_heapRegistry.Size(s->x) / sizeof(double) : 0;
            if (xRoom < room)
                room = xRoom;
        }
        if ((SIZE_T)n + 1 > room) {
            SIZE_T want = (SIZE_T)n + n / 2 + 16;
            if (want > 0x7FFFFFFF || want > ((SIZE_T)-1) / sizeof(double))
                want = (SIZE_T)n + 1;
            if (!g_heapRegistry.Alloc(&s->y, want * sizeof(double)))
                return false;
            // A data series keeps an x for every y: the appended point follows the last one by 1.
            if (!s->stream && !g_heapRegistry.Alloc(&s->x, want * sizeof(double)))
                return false;
        }
        s->y[n] = y;
        if (!s->stream) {
            double x = n > 0 ? s->x[n - 1] + 1.0 : 0.0;
            s->x[n] = x;
            if (n == 0 || x < s->xMin)
                s->xMin = x;
            if (n == 0 || x > s->xMax)
                s->xMax = x;
            if (n > 0 && !(x >= s->x[n - 1]))
                s->xAscending = false;
        }
        s->count = n + 1;
    } else {
        if (s->ringPos < 0 || s->ringPos >= s->count)
            s->ringPos = 0;
        s->y[s->ringPos] = y;
        if (advance) {
            s->xMin += s->xStep;
            s->xMax += s->xStep;
        }
        if (++s->ringPos >= s->count)
            s->ringPos = 0;
        s->windowStart += s->xStep;
        s->windowEnd += s->xStep;
    }
    dirty = true;
    return true;
}

bool CGraph::RemoveSeries(int id)
{
    GraphSeries* s = FindSeries(id);
    if (!s)
        return false;
    FreeArrays(s);
    int index = (int)(s - series);
    memmove(&series[index], &series[index + 1], sizeof(GraphSeries) * (seriesCount - index - 1));
    --seriesCount;
    memset(&series[seriesCount], 0, sizeof(GraphSeries));
    dirty = true;
    return true;
}

bool CGraph::RemoveAllSeries(bool repaint)
{
    while (seriesCount > 0)
        RemoveSeries(series[0].id);
    if (repaint)
        FitToParent();
    return true;
}

bool CGraph::SetArrowImages(HIMAGELIST* images)
{
    arrowImages = images;
    return true;
}

bool CGraph::SetAxisTitles(const char* x, const char* y)
{
    xTitle = x;
    yTitle = y;
    return true;
}

// ---------------------------------------------------------------- mouse and scrolling

bool CGraph::OnMouseWheel(int delta)
{
    if (zoomEnabled) {
        if (delta > 0)
            zoom = zoom * 0.5 < kMinZoom ? kMinZoom : zoom * 0.5;
        else
            zoom = zoom * 2.0 > 1.0 ? 1.0 : zoom * 2.0;
        Invalidate(true);
    }
    return true;
}

bool CGraph::OnDoubleClick()
{
    if (mouseKeys != MK_MBUTTON)
        return false;
    if (zoomEnabled) {
        zoom = 1.0;
        Invalidate(true);
    }
    return true;
}

bool CGraph::OnScroll(bool vertical, SCROLLINFO* info)
{
    // Bounded by the whole x range: x max itself is only the visible end while zoomed.
    if (vertical || !info || !(info->nPos < fullXMax))
        return false;
    scrollPos = info->nPos;
    Invalidate(true);
    return true;
}

bool CGraph::OnSize(int width, int height)
{
    clientWidth = width;
    clientHeight = height;
    return true;
}
