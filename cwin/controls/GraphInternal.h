// Helpers of the chart shared by its object logic (Graph.cpp) and its drawing
// (GraphDrawing.cpp, GraphSeriesDrawing.cpp); not part of the chart's interface.
#ifndef CWIN_GRAPHINTERNAL_H
#define CWIN_GRAPHINTERNAL_H

#include "cwin/controls/Graph.h"

// False for infinities and NaN: such values take no part in ranges or lines.
inline bool Finite(double v)
{
    return v - v == 0.0;
}

// Far outside any client area, yet a coordinate GDI still takes.
const double kPixelLimit = 100000000.0;

inline int ToInt(double v)
{
    if (!(v == v))
        return 0;
    if (v > kPixelLimit)
        return (int)kPixelLimit;
    if (v < -kPixelLimit)
        return -(int)kPixelLimit;
    return (int)v;
}

// Here rather than in a source of their own: the series' lines call them for
// every segment.
inline int CGraph::PixelX(double x, double sx) const
{
    return ToInt(leftMargin + (x - xMin) * sx);
}

inline int CGraph::PixelY(double y, double sy) const
{
    return ToInt(clientHeight - bottomMargin - (y - yMin) * sy);
}

#endif
