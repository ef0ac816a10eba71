// CGraph's series: the lines of every series, clipped to the visible part and
// drawn in batches when no hook of its own looks at the segments.
#include "cwin/controls/Graph.h"
#include "cwin/controls/GraphInternal.h"

namespace {

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

// ---------------------------------------------------------------- lines

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
