// The gallery's views of the chart, the tree view, the bars and the MDI client.
#ifndef GALLERY_VIEWS_H
#define GALLERY_VIEWS_H

#include <windows.h>

class CAppFrame;
class CBaseWindow;

// The tool bar's first command identifier, and its bitmap's resource identifier.
#define GALLERY_TOOLBAR_FIRST 500

// A chart with a data series and a stream series fed by a timer.
CBaseWindow* MakeGalleryChart(CAppFrame& frame, HWND parent);
// A tree loaded from a file in its text format, expanded.
CBaseWindow* MakeGalleryTree(CAppFrame& frame, HWND parent);
void BuildBarsView(CAppFrame& frame, HWND main);
void BuildMdiView(CAppFrame& frame, HWND main);

#endif
