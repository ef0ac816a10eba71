// The framework's line chart.
//
//   GraphSeries   one series of points: a data series (x and y arrays) or a
//                 stream series (evenly spaced x, y fed point by point, ring)
//   IGraph        what client code holds of a chart (extends ICustom)
//   CGraph        ("Graph", kind 17) up to 32 series drawn as polylines into
//                 CCustom's back buffer, with axes, round-step ticks, grid,
//                 titles, wheel zoom and horizontal scrolling of the x axis
#ifndef CWIN_GRAPH_H
#define CWIN_GRAPH_H

#include "cwin/controls/Custom.h"

#define CWIN_GRAPH_SERIES 32

struct GraphSeries
{
    int     id;
    double* x;          // heap registry; data series only
    double* y;          // heap registry
    int     count;
    HPEN    pen;        // null: the chart's series pen
    double  xMin, xMax, yMin, yMax;
    bool    visible;
    bool    stream;
    double  windowStart, windowEnd;
    double  xStep;
    int     ringPos;    // index of the oldest point in ring mode
    // Kept by the chart for drawing: the x values never fall, so only the
    // visible stretch needs to be walked.
    bool    xAscending;
};

class IGraph : public virtual ICustom
{
public:
    // elementType: 1 unsigned 8-bit, 2 unsigned 16-bit, 4 signed 32-bit, 8 double.
    virtual bool SetSeriesData(int id, int elementType, const void* xValues, const void* yValues, int count,
                               HPEN pen) = 0;
    virtual bool DefineStreamSeries(int id, double xFrom, double xStep, double xTo, HPEN pen) = 0;
    virtual bool AddPoint(int id, double y, bool ringMode, bool advance) = 0;
    virtual GraphSeries* FindSeries(int id) = 0;
    virtual bool RemoveSeries(int id) = 0;
    virtual bool RemoveAllSeries(bool repaint) = 0;
    virtual bool SetArrowImages(HIMAGELIST* images) = 0;
    // Both texts are kept by reference.
    virtual bool SetAxisTitles(const char* xTitle, const char* yTitle) = 0;
};

class CGraph : public CCustom, public IGraph
{
public:
    static constexpr int Kind = KIND_GRAPH;
    CGraph();
    ~CGraph() override;

    // IGraph
    bool SetSeriesData(int id, int elementType, const void* xValues, const void* yValues, int count,
                       HPEN pen) override;
    bool DefineStreamSeries(int id, double xFrom, double xStep, double xTo, HPEN pen) override;
    bool AddPoint(int id, double y, bool ringMode, bool advance) override;
    GraphSeries* FindSeries(int id) override;
    bool RemoveSeries(int id) override;
    bool RemoveAllSeries(bool repaint) override;
    bool SetArrowImages(HIMAGELIST* images) override;
    bool SetAxisTitles(const char* xTitle, const char* yTitle) override;

    bool Create() override;
    bool Release() override;

    // The chart's own pens and rotated font, each freed once (fields nulled):
    // when the object goes, or when its frame goes after its window.
    void FreeChartObjects();
    void FreeOwnObjects() override;

    // CCustom operations the chart takes over.
    bool OnPaint(HDC dc, bool toBackBuffer) override;
    bool OnMouseWheel(int delta) override;
    bool OnDoubleClick() override;
    bool OnSize(int width, int height) override;
    bool OnScroll(bool vertical, SCROLLINFO* info) override;

    // Hooks for derived charts, after CCustom's twenty. The defaults draw
    // nothing and return false, which keeps the default drawing. While a tick
    // label hook runs, the label's text is in `text`. x and y are the label's
    // anchor (the x label's top centre, the y label's bottom left).
    virtual bool OnXTickLabel(HDC dc, int x, int y, double value);
    virtual bool OnYTickLabel(HDC dc, int x, int y, double value);
    virtual bool OnAfterDraw(HDC dc);
    // The segment as clipped to the visible area, and its end's pixel; true
    // suppresses the line.
    virtual bool OnSegment(GraphSeries* series, double x0, double y0, double x1, double y1, int pixelX,
                           int pixelY);
    // The segment's end point as given (not clipped) and its pixel.
    virtual bool OnPoint(GraphSeries* series, double x, double y, int pixelX, int pixelY);

    // The round tick step over lo..hi and the first tick at or above lo;
    // false (nothing set) for an empty or unusable range.
    static bool TickStep(double lo, double hi, double* step, double* first);
    // A tick label: "%.0f" or "%.3f", digits of the integer part grouped by three.
    static void FormatTickLabel(double value, bool wholeNumbers, char* out, size_t size);

    int         clientWidth, clientHeight;
    bool        commonScale;
    int         currentSeries;
    double      xMax, xMin, yMax, yMin;
    int         leftMargin, topMargin, rightMargin, bottomMargin;
    int         xLabelSpacing;
    HPEN        seriesPen;
    HPEN        axisPen;
    HPEN        gridPen;
    bool        grid;
    const char* xTitle;
    const char* yTitle;
    GraphSeries series[CWIN_GRAPH_SERIES];
    int         seriesCount;
    HIMAGELIST* arrowImages;
    HFONT       rotatedFont;
    double      scrollPos;
    bool        zoomEnabled;
    double      zoom;

    // The x range of all the data at the last drawing (x min and x max hold the
    // visible part of it while zoomed); scrolling is bounded by it.
    double      fullXMin, fullXMax;

private:
    GraphSeries* NewSeries(int id);
    void FreeArrays(GraphSeries* s);
    // The drawing (GraphDrawing.cpp).
    void Draw(HDC dc);
    void ChooseRanges();
    void ApplyZoom(HDC dc);
    void DrawAxes(HDC dc);
    void DrawArrowAxes(HDC dc, int axisColumn, int axisRow);
    void DrawXTicks(HDC dc, double sx);
    void DrawYTicks(HDC dc, double sy);
    void DrawSeries(HDC dc, GraphSeries* s, double sx, double sy);
    int  PixelX(double x, double sx) const;
    int  PixelY(double y, double sy) const;

    bool m_drawing;         // a nested paint (the scroll bar appearing resizes the window) draws nothing
    bool m_defaultHookRan;  // set by the default OnSegment / OnPoint
};

#endif
