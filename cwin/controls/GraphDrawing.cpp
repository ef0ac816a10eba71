// CGraph's drawing: ranges and zoom, axes, ticks, labels, grid and titles (the
// series' lines are in GraphSeriesDrawing.cpp).
#include "cwin/controls/Graph.h"
#include "cwin/controls/GraphInternal.h"
#include "cwin/window/ImageLists.h"

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <stdlib.h>

namespace {

const char kNoData[] = "Necessary data is absent ...";

// Enough for every tick the step rule can give (at most about 50 per axis).
const int kMaxTicks = 1000;

}  // namespace

// ---------------------------------------------------------------- hooks

bool CGraph::OnXTickLabel(HDC, int, int, double) { return false; }
bool CGraph::OnYTickLabel(HDC, int, int, double) { return false; }
bool CGraph::OnAfterDraw(HDC) { return false; }

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
