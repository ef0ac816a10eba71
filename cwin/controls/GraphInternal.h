// Helpers of the chart shared by its object logic (Graph.cpp) and its drawing
// (GraphDrawing.cpp); not part of the chart's interface.
#ifndef CWIN_GRAPHINTERNAL_H
#define CWIN_GRAPHINTERNAL_H

// False for infinities and NaN: such values take no part in ranges or lines.
inline bool Finite(double v)
{
    return v - v == 0.0;
}

#endif
