// CGraph's drawing: ranges and zoom, axes, ticks, labels, grid, titles and the series' lines.
#include "cwin/controls/Graph.h"
#include "cwin/controls/GraphInternal.h"
#include "cwin/window/ImageLists.h"

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <stdlib.h>

namespace {

const char kNoData[] = "Necessary data is absent ...";

// Far outside any client area, yet a coordinate GDI still takes.
const double kPixelLimit = 100000000.0;

// Enough for every tick the step rule can give (at most about 50 per axis).
const int kMaxTicks = 1000;

int ToInt(double v)
{
    if (!(v == v))
        return 0;
    if (v > kPixelLimit)
        return (int)kPixelLimit;
    if (v < -kPixelLimit)
        return -(int)kPixelLimit;
    return (int)v;
}

// Consecutive segments that meet end to start go out in one Polyline: the
// pixels are those of one MoveToEx/LineTo per segment (each line leaves out
// its last pixel, which the next one starts on), in a fraction of the calls.
//
// Many points in one pixel column (a long series seen whole) are up-and-down
// lines in that column. Together they cover every pixel between the lowest
// and the highest of them, the two extremes only where a line starts from
// them, and a line never covers its end pixel. So the column's points after
// its first are kept as at most three that cover the same pixels and end at
// the same one (the batch draws in one colour, so only the set of pixels counts).
class LineBatch
{
public:
    explicit LineBatch(HDC dc) : m_dc(dc), m_count(0), m_inColumn(false) {}
    ~LineBatch() { Flush(); }

    void Add(int x0, int y0, int x1, int y1)
    {
        if (m_count == 0 || m_lastX != x0 || m_lastY != y0) {
            Flush();
            Start(x0, y0);
        }
        if (x1 == x0 && y1 == y0)
            return;   // a line of no length draws nothing
        if (x1 == m_lastX) {
            // On down the column.
            if (m_lastY == m_low)
                m_lowCovered = true;
            if (m_lastY == m_high)
                m_highCovered = true;
            if (y1 < m_low) {
                m_low = y1;
                m_lowCovered = false;
            }
            if (y1 > m_high) {
                m_high = y1;
                m_highCovered = false;
            }
            m_lastY = y1;
            m_inColumn = true;
            return;
        }
        CloseColumn();
        Put(x1, y1);
        OpenColumn(x1, y1);
    }

    void Flush()
    {
        if (m_count == 0)
            return;
        CloseColumn();
        if (m_count >= 2)
            Polyline(m_dc, m_points, m_count);
        m_count = 0;
    }

private:
    void Start(int x, int y)
    {
        m_points[0].x = x;
        m_points[0].y = y;
        m_count = 1;
        OpenColumn(x, y);
    }

    void OpenColumn(int x, int y)
    {
        m_lastX = x;
        m_lastY = m_low = m_high = y;
        m_lowCovered = m_highCovered = false;
        m_inColumn = false;
    }

    void Put(int x, int y)
    {
        if (m_count == kSize) {
            // A polyline may end at any of its points and the next start there.
            POINT last = m_points[m_count - 1];
            Polyline(m_dc, m_points, m_count);
            m_points[0] = last;
            m_count = 1;
        }
        if (m_points[m_count - 1].x == x && m_points[m_count - 1].y == y)
            return;
        m_points[m_count].x = x;
        m_points[m_count].y = y;
        ++m_count;
    }

    // Writes the column's points after its first: a path from the first to the
    // last point that covers the same pixels.
    void CloseColumn()
    {
        if (!m_inColumn)
            return;
        m_inColumn = false;
        int x = m_lastX, last = m_lastY;
        if (!m_highCovered) {          // the highest is only reached at the end
            Put(x, m_low);
            Put(x, last);
        } else if (!m_lowCovered) {    // the lowest is only reached at the end
            Put(x, m_high);
            Put(x, last);
        } else if (last != m_low) {
            Put(x, m_high);
            Put(x, m_low);
            Put(x, last);
        } else {
            Put(x, m_low);
            Put(x, m_high);
            Put(x, last);
        }
        m_lastY = last;
    }

    static const int kSize = 4096;
    HDC   m_dc;
    int   m_count;
    POINT m_points[kSize];
    // The column the batch is in: its x, last, lowest and highest y.
    bool  m_inColumn;
    int   m_lastX, m_lastY, m_low, m_high;
    bool  m_lowCovered, m_highCovered;
};

// Only a solid pen one pixel wide draws a polyline exactly as its segments
// one by one (wider pens join the segments instead of capping each).
bool BatchablePen(HDC dc, HPEN pen)
{
    if (GetROP2(dc) != R2_COPYPEN)
        return false;
    if (GetObjectType(pen) != OBJ_PEN)
        return false;
    LOGPEN info;
    if (GetObjectA(pen, sizeof(info), &info) != sizeof(info))
        return false;
    return info.lopnStyle == PS_SOLID && info.lopnWidth.x <= 1;
}

enum HookState { HOOK_UNKNOWN, HOOK_DEFAULT, HOOK_OWN };

// The point sequence of one series as the drawing reads it.
struct SeriesPoints
{
    const GraphSeries* s;
    int ring;

    double X(int i) const { return s->stream ? s->xMin + i * s->xStep : s->x[i]; }
    double Y(int i) const
    {
        if (!s->stream)
            return s->y[i];
        long long k = (long long)ring + i;
        return s->y[k >= s->count ? k - s->count : k];
    }
    // The first index in [from, to) whose x passes the test, for x values that never fall.
    template <class Test> int FirstWhere(int from, int to, Test test) const
    {
        while (from < to) {
            int middle = from + (to - from) / 2;
            if (test(X(middle)))
                to = middle;
            else
                from = middle + 1;
        }
        return from;
    }
};

}  // namespace

// ---------------------------------------------------------------- hooks

bool CGraph::OnXTickLabel(HDC, int, int, double) { return false; }
bool CGraph::OnYTickLabel(HDC, int, int, double) { return false; }
bool CGraph::OnAfterDraw(HDC) { return false; }

bool CGraph::OnSegment(GraphSeries*, double, double, double, double, int, int)
{
    m_defaultHookRan = true;
    return false;
}

bool CGraph::OnPoint(GraphSeries*, double, double, int, int)
{
    m_defaultHookRan = true;
    return false;
}

// ---------------------------------------------------------------- ticks and labels

bool CGraph::TickStep(double lo, double hi, double* step, double* first)
{
    double range = hi - lo;
    if (!(range > 0) || !Finite(range) || !Finite(lo))
        return false;
    // p makes range / p a number of two digits before the point (10 to 99).
    int n = (int)floor(log10(range)) + 1;
    double p = pow(10.0, n - 2);
    // A hair above, so that 50 computed as 49.99999... is still 50.
    double g = floor(range / p + 1e-9);
    if (g >= 100) {
        p *= 10;
        g = floor(range / p + 1e-9);
    } else if (g < 10) {
        p /= 10;
        g = floor(range / p + 1e-9);
    }
    double s = g > 49 ? 10 * p : g > 24 ? 5 * p : g > 19 ? 2.5 * p : 2 * p;
    if (!(s > 0) || !Finite(s))
        return false;
    double f = floor(lo / s) * s;
    if (f < lo)
        f += s;
    if (!Finite(f) || f + s == f)   // the step is lost in the values' precision
        return false;
    *step = s;
    *first = f;
    return true;
}

void CGraph::FormatTickLabel(double value, bool wholeNumbers, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    if (value == 0)
        value = 0;   // no "-0"
    if (fabs(value) < 0.1) {
        snprintf(out, size, "%.3f", value);
        return;
    }
    char raw[512];
    snprintf(raw, sizeof(raw), wholeNumbers ? "%.0f" : "%.3f", value);
    const char* digits = raw[0] == '-' ? raw + 1 : raw;
    size_t intDigits = 0;
    while (digits[intDigits] >= '0' && digits[intDigits] <= '9')
        ++intDigits;
    size_t o = 0;
    for (const char* p = raw; *p && o + 1 < size; ++p) {
        if (p > digits && p < digits + intDigits && (size_t)(digits + intDigits - p) % 3 == 0) {
            out[o++] = ' ';
            if (o + 1 >= size)
                break;
        }
        out[o++] = *p;
    }
    out[o] = 0;
}

// ---------------------------------------------------------------- drawing

int CGraph::PixelX(double x, double sx) const
{
    return ToInt(leftMargin + (x - xMin) * sx);
}

int CGraph::PixelY(double y, double sy) const
{
    return ToInt(clientHeight - bottomMargin - (y - yMin) * sy);
}

bool CGraph::OnPaint(HDC dc, bool toBackBuffer)
{
    // The screen gets the back buffer as it is; a paint nested in a drawing
    // (when the scroll bar appears or goes) leaves the drawing to the outer one.
    if (!toBackBuffer || m_drawing || !dc)
        return true;
    m_drawing = true;
    // Pen and font are put back by hand: a saved DC state would also bring
    // back the back bitmap, which a resize during the drawing may replace.
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), chosenFont = GetCurrentObject(dc, OBJ_FONT);
    Draw(dc);
    SelectObject(dc, pen);
    SelectObject(dc, chosenFont);
    m_drawing = false;
    return true;
}

void CGraph::Draw(HDC dc)
{
    RECT area;
    GetClientRect(hwnd, &area);
    clientWidth = area.right;
    clientHeight = area.bottom;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    SetBkColor(dc, backColor);
    if (font)
        SelectObject(dc, font);
    if (seriesCount == 0) {
        SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
        TextOutA(dc, clientWidth / 2, clientHeight / 2, kNoData, (int)strlen(kNoData));
        return;
    }

    // The y title's font: the chart's font turned by 90 degrees.
    if (rotatedFont) {
        DeleteObject(rotatedFont);
        rotatedFont = NULL;
    }
    LOGFONTA turned = logFont;
    if (font)
        GetObjectA(font, sizeof(turned), &turned);
    turned.lfEscapement = turned.lfOrientation = 900;
    rotatedFont = CreateFontIndirectA(&turned);

    ChooseRanges();
    ApplyZoom(dc);
    // Widened before the scales, which would otherwise divide by zero.
    if (xMin == xMax) {
        xMin -= 1;
        xMax += 1;
    }
    if (yMin == yMax) {
        yMin -= 1;
        yMax += 1;
    }
    double sx = (clientWidth - leftMargin - rightMargin) / (xMax - xMin);
    double sy = (clientHeight - topMargin - bottomMargin) / (yMax - yMin);

    DrawAxes(dc);
    DrawXTicks(dc, sx);
    DrawYTicks(dc, sy);
    for (int i = 0; i < seriesCount; ++i)
        if (series[i].visible)
            DrawSeries(dc, &series[i], sx, sy);
    OnAfterDraw(dc);
}

void CGraph::ChooseRanges()
{
    GraphSeries* current = FindSeries(currentSeries);
    if (!current)
        current = &series[0];
    bool any = false;
    if (commonScale) {
        for (int i = 0; i < seriesCount; ++i) {
            const GraphSeries& s = series[i];
            if (!s.visible)
                continue;
            if (!any || s.xMin < xMin)
                xMin = s.xMin;
            if (!any || s.xMax > xMax)
                xMax = s.xMax;
            if (!any || s.yMin < yMin)
                yMin = s.yMin;
            if (!any || s.yMax > yMax)
                yMax = s.yMax;
            any = true;
        }
    }
    if (!any) {
        xMin = current->xMin;
        xMax = current->xMax;
        yMin = current->yMin;
        yMax = current->yMax;
    }
    fullXMin = xMin;
    fullXMax = xMax;
}

void CGraph::ApplyZoom(HDC dc)
{
    if (scrollPos < xMin)
        scrollPos = xMin;
    double visible = (xMax - xMin) * zoom;
    if (visible == 0 || !Finite(visible))
        return;
    if (zoom < 1) {
        // Negative positions are allowed here: a range below 0 scrolls as any other.
        double start = scrollPos;
        if (start + visible > xMax)
            start = xMax - visible;
        xMin = start;
        xMax = start + visible;
    }
    SCROLLINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = ToInt(fullXMin);
    info.nMax = ToInt(fullXMax - 1);
    // All of it shown: a page of the bar's whole range, so that a range of
    // fractions does not leave a bar with nothing to scroll.
    info.nPage = zoom < 1 ? (UINT)ToInt(visible) : (UINT)(info.nMax - info.nMin + 1);
    info.nPos = ToInt(xMin);
    SetScrollInfo(hwnd, SB_HORZ, &info, TRUE);
    // The bar coming or going changes the client area.
    RECT area;
    GetClientRect(hwnd, &area);
    clientWidth = area.right;
    clientHeight = area.bottom;
    FillRect(dc, &area, backBrush);
}

void CGraph::DrawAxes(HDC dc)
{
    int plotBottom = clientHeight - bottomMargin, plotRight = clientWidth - rightMargin;
    int row, column;
    if (yMin < 0 && 0 < yMax)
        row = ToInt(topMargin + (clientHeight - bottomMargin - topMargin) * yMax / (yMax - yMin));
    else if (yMax > 0 && yMin >= 0)
        row = plotBottom;
    else
        row = topMargin;
    if (xMin < 0 && 0 < xMax)
        column = ToInt(leftMargin + fabs(xMin) * (clientWidth - leftMargin - rightMargin) / (xMax - xMin));
    else if (xMax > 0 && xMin >= 0)
        column = leftMargin;
    else
        column = plotRight;

    int imageWidth = 0, imageHeight = 0;
    if (arrowImages && *arrowImages && ImageList_GetIconSize(*arrowImages, &imageWidth, &imageHeight)) {
        DrawArrowAxes(dc, column, row);
    } else {
        imageWidth = imageHeight = 0;
        SelectObject(dc, axisPen);
        MoveToEx(dc, column, topMargin, NULL);
        LineTo(dc, column, plotBottom);
        MoveToEx(dc, leftMargin, row, NULL);
        LineTo(dc, plotRight, row);
    }

    if (yTitle) {
        HGDIOBJ previous = rotatedFont ? SelectObject(dc, rotatedFont) : NULL;
        SetTextAlign(dc, TA_RIGHT | TA_BOTTOM);
        TextOutA(dc, leftMargin - imageWidth / 2 + 3, topMargin, yTitle, (int)strlen(yTitle));
        if (previous)
            SelectObject(dc, previous);
    }
    if (xTitle) {
        SetTextAlign(dc, TA_RIGHT | TA_BOTTOM);
        TextOutA(dc, plotRight, row - imageHeight / 2 + 3, xTitle, (int)strlen(xTitle));
    }
}

// Image 0 tops the vertical axis, image 1 ends the horizontal one, image 2
// marks the crossing; the axes themselves are the edge row and column of the
// arrow images, stretched.
void CGraph::DrawArrowAxes(HDC dc, int column, int row)
{
    HIMAGELIST list = *arrowImages;
    int w = 0, h = 0;
    ImageList_GetIconSize(list, &w, &h);
    int plotBottom = clientHeight - bottomMargin, plotRight = clientWidth - rightMargin;
    if (w > 0 && h > 0) {
        HDC scratch = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
        if (scratch && bitmap) {
            HGDIOBJ previous = SelectObject(scratch, bitmap);
            RECT cell = {0, 0, w, h};
            FillRect(scratch, &cell, backBrush);
            ImageList_Draw(list, 0, scratch, 0, 0, ILD_NORMAL);
            StretchBlt(dc, column - w / 2, topMargin, w, plotBottom - topMargin, scratch, 0, h - 1, w, 1, SRCCOPY);
            FillRect(scratch, &cell, backBrush);
            ImageList_Draw(list, 1, scratch, 0, 0, ILD_NORMAL);
            StretchBlt(dc, leftMargin, row - h / 2, plotRight - leftMargin, h, scratch, 0, 0, 1, h, SRCCOPY);
            SelectObject(scratch, previous);
        }
        if (bitmap)
            DeleteObject(bitmap);
        if (scratch)
            DeleteDC(scratch);
    }
    CImageLists* registry = owner ? owner->Resources().GetImageLists() : NULL;
    if (registry) {
        registry->DrawAligned(arrowImages, 0, dc, ALIGN_BOTTOM_EDGE, column, topMargin, ILD_NORMAL);
        registry->DrawAligned(arrowImages, 1, dc, ALIGN_LEFT_EDGE, plotRight, row, ILD_NORMAL);
        registry->DrawAligned(arrowImages, 2, dc, 0, column, row, ILD_NORMAL);
    }
}

void CGraph::DrawXTicks(HDC dc, double sx)
{
    double step, first;
    if (!TickStep(xMin, xMax, &step, &first))
        return;
    SIZE zero = {0, 0};
    GetTextExtentPoint32A(dc, "0", 1, &zero);
    if (!(xLabelSpacing * zero.cx < fabs(sx * step)))
        return;
    int labelY = clientHeight - bottomMargin + 2;
    double slack = step * 1e-9;   // the last tick, computed a hair above x max
    char label[CWIN_TEXT_SIZE];
    for (int k = 0; k < kMaxTicks; ++k) {
        double t = first + k * step;
        if (!(t <= xMax + slack))
            break;
        int column = PixelX(t, sx);
        if (column == leftMargin)
            continue;
        if (grid) {
            SelectObject(dc, gridPen);
            MoveToEx(dc, column, topMargin, NULL);
            LineTo(dc, column, clientHeight - bottomMargin);
        }
        FormatTickLabel(t, false, label, sizeof(label));
        snprintf(text, sizeof(text), "%s", label);
        if (!OnXTickLabel(dc, column, labelY, t)) {
            SetTextAlign(dc, TA_CENTER | TA_TOP);
            TextOutA(dc, column, labelY, label, (int)strlen(label));
        }
    }
}

void CGraph::DrawYTicks(HDC dc, double sy)
{
    double step, first;
    if (!TickStep(yMin, yMax, &step, &first))
        return;
    TEXTMETRICA metrics;
    memset(&metrics, 0, sizeof(metrics));
    GetTextMetricsA(dc, &metrics);
    if (!(metrics.tmHeight < fabs(sy * step)))
        return;
    int imageWidth = 0, imageHeight = 0;
    if (arrowImages && *arrowImages)
        ImageList_GetIconSize(*arrowImages, &imageWidth, &imageHeight);
    double slack = step * 1e-9;
    bool whole = true;
    for (int k = 0; k < kMaxTicks; ++k) {
        double t = first + k * step;
        if (!(t <= yMax + slack))
            break;
        if (floor(t) != t)
            whole = false;
    }
    int labelX = leftMargin + imageWidth / 2 + 2;
    char label[CWIN_TEXT_SIZE];
    for (int k = 0; k < kMaxTicks; ++k) {
        double t = first + k * step;
        if (!(t <= yMax + slack))
            break;
        int row = PixelY(t, sy);
        if (row == clientHeight - bottomMargin)
            continue;
        if (grid) {
            SelectObject(dc, gridPen);
            MoveToEx(dc, leftMargin, row, NULL);
            LineTo(dc, clientWidth - rightMargin, row);
        }
        FormatTickLabel(t, whole, label, sizeof(label));
        snprintf(text, sizeof(text), "%s", label);
        if (!OnYTickLabel(dc, labelX, row, t)) {
            SetTextAlign(dc, TA_LEFT | TA_BOTTOM);
            TextOutA(dc, labelX, row, label, (int)strlen(label));
        }
    }
}

// Every segment of the series, clipped to the visible area. The hooks see
// each segment and end point in order; when both hooks are the defaults here
// (they draw nothing), the lines go out in batches.
void CGraph::DrawSeries(HDC dc, GraphSeries* s, double sx, double sy)
{
    int n = s->count;
    if (n < 2 || !s->y || (!s->stream && !s->x))
        return;
    HPEN pen = s->pen ? s->pen : seriesPen;
    SelectObject(dc, pen);
    bool batchable = BatchablePen(dc, pen);

    SeriesPoints points = {s, 0};
    if (s->stream) {
        points.ring = s->ringPos % n;
        if (points.ring < 0)
            points.ring += n;
    }
    const double vxMin = xMin, vxMax = xMax, vyMin = yMin, vyMax = yMax;

    // With x values that never fall, segments ending left of the visible part
    // and those starting right of it are skipped by the rules below anyway.
    int from = 1, to = n - 1;
    bool ascending = s->stream ? (s->xStep > 0 && Finite(s->xStep)) : s->xAscending;
    if (ascending) {
        int firstIn = points.FirstWhere(0, n, [vxMin](double x) { return x >= vxMin; });
        int firstPast = points.FirstWhere(firstIn, n, [vxMax](double x) { return x > vxMax; });
        if (firstIn > from)
            from = firstIn;
        if (firstPast < to)
            to = firstPast;
    }

    HookState segmentHook = HOOK_UNKNOWN, pointHook = HOOK_UNKNOWN;
    LineBatch batch(dc);
    // The pixel of the last end point when it was not moved by clipping: the
    // next segment starts there.
    bool lastExact = false;
    int lastX = 0, lastY = 0;
    double x1 = points.X(from - 1), y1 = points.Y(from - 1);
    for (int i = from; i <= to; ++i) {
        double x0 = x1, y0 = y1;
        x1 = points.X(i);
        y1 = points.Y(i);
        double cx0 = x0, cy0 = y0, cx1 = x1, cy1 = y1;
        bool startMoved = false, endMoved = false;
        if (!(x0 >= vxMin && x0 <= vxMax && x1 >= vxMin && x1 <= vxMax && y0 >= vyMin && y0 <= vyMax &&
              y1 >= vyMin && y1 <= vyMax)) {
            lastExact = false;
            if (!(x1 >= vxMin))
                continue;   // ends left of the visible part
            if (x0 > vxMax && x1 > vxMax)
                continue;   // wholly right of it
            if (!Finite(x0) || !Finite(x1) || !Finite(y0) || !Finite(y1))
                continue;
            // Along the line through both points onto the x edges. The two x differ
            // wherever an end is moved (a vertical segment is wholly in or out).
            if (x0 < vxMin || x0 > vxMax || x1 > vxMax) {
                double slope = (y1 - y0) / (x1 - x0);
                if (x0 < vxMin) {
                    cx0 = vxMin;
                    cy0 = y0 + (vxMin - x0) * slope;
                } else if (x0 > vxMax) {
                    cx0 = vxMax;
                    cy0 = y0 + (vxMax - x0) * slope;
                }
                if (x1 > vxMax) {
                    cx1 = vxMax;
                    cy1 = y0 + (vxMax - x0) * slope;
                }
            }
            // Then onto the y edges; a segment wholly above or below is not drawn.
            if ((cy0 < vyMin && cy1 < vyMin) || (cy0 > vyMax && cy1 > vyMax))
                continue;
            if (cy0 < vyMin || cy0 > vyMax || cy1 < vyMin || cy1 > vyMax) {
                double ax = cx0, ay = cy0, inverse = (cx1 - cx0) / (cy1 - cy0);
                if (ay < vyMin) {
                    cy0 = vyMin;
                    cx0 = ax + (vyMin - ay) * inverse;
                } else if (ay > vyMax) {
                    cy0 = vyMax;
                    cx0 = ax + (vyMax - ay) * inverse;
                }
                if (cy1 < vyMin) {
                    cy1 = vyMin;
                    cx1 = ax + (vyMin - ay) * inverse;
                } else if (cy1 > vyMax) {
                    cy1 = vyMax;
                    cx1 = ax + (vyMax - ay) * inverse;
                }
            }
            startMoved = cx0 != x0 || cy0 != y0;
            endMoved = cx1 != x1 || cy1 != y1;
        }
        int px0, py0;
        if (lastExact && !startMoved) {
            px0 = lastX;
            py0 = lastY;
        } else {
            px0 = PixelX(cx0, sx);
            py0 = PixelY(cy0, sy);
        }
        int px1 = PixelX(cx1, sx), py1 = PixelY(cy1, sy);
        lastExact = !endMoved;
        lastX = px1;
        lastY = py1;

        // The defaults of the hooks do nothing: once a hook is known to be the
        // default it is not called again.
        bool suppressed = false;
        if (segmentHook != HOOK_DEFAULT) {
            batch.Flush();   // an own hook may draw: what came before is drawn first
            m_defaultHookRan = false;
            suppressed = OnSegment(s, cx0, cy0, cx1, cy1, px1, py1);
            if (segmentHook == HOOK_UNKNOWN)
                segmentHook = m_defaultHookRan ? HOOK_DEFAULT : HOOK_OWN;
        }
        if (!suppressed) {
            if (batchable && segmentHook == HOOK_DEFAULT) {
                batch.Add(px0, py0, px1, py1);
            } else {
                MoveToEx(dc, px0, py0, NULL);
                LineTo(dc, px1, py1);
            }
        }
        if (pointHook != HOOK_DEFAULT && x1 <= vxMax) {
            batch.Flush();
            m_defaultHookRan = false;
            OnPoint(s, x1, y1, endMoved ? PixelX(x1, sx) : px1, endMoved ? PixelY(y1, sy) : py1);
            if (pointHook == HOOK_UNKNOWN)
                pointHook = m_defaultHookRan ? HOOK_DEFAULT : HOOK_OWN;
        }
    }
    batch.Flush();
}
