// CPluginApp: owns the store and the pages, and builds the plug-in's window in the host window.
#include "PluginWindow.h"

#include "cwin/frame/AppFrame.h"
#include "cwin/composite/ListView.h"
#include "OrvexResources.h"
#include "cwin/composite/TControl.h"

static const COLORREF kMaskColour = RGB(255, 0, 255);

CPluginApp::CPluginApp()
    : tabImages(NULL), sortArrows(NULL), selectedPage(-1), tabControl(NULL)
{
    listPages.SetStore(&store);
    dynamicsPage.SetStore(&store, &listPages);
}

// The pages and then the store give their blocks back to the registry, which
// is destroyed after this object; the lists keep only pointers to the tables.
CPluginApp::~CPluginApp() {}

bool CPluginApp::BuildWindow(CAppFrame* frame, HWND parent)
{
    if (!frame)
        return true;
    CImageLists* images = frame->GetImageLists();
    store.SetProgressSource(frame);

    tabImages = images->LoadStrip(3, IDB_TAB_IMAGES, IMAGE_BITMAP, ILC_COLOR32 | ILC_MASK, 16, 16, 3, kMaskColour);

    tabControl = frame->Create<CTControl>(
        ControlArgs().Parent(parent).Place(100, 100, 250, 250).ExStyle(WS_EX_STATICEDGE));
    if (tabControl) {
        tabControl->AnchorSide(SideAnchor(ANCHOR_LEFT, 1));
        tabControl->AnchorSide(SideAnchor(ANCHOR_TOP, 1));
        tabControl->AnchorSide(SideAnchor(ANCHOR_RIGHT, 1));
        tabControl->AnchorSide(SideAnchor(ANCHOR_BOTTOM, 1));
        tabControl->SetFont(15, 0, 0, "MS Sans Serif");
        tabControl->SetUserData(this);
        tabControl->AddHandler(NULL, EV_SELECTION_CHANGED, 0, this);
        if (tabImages)
            tabControl->SetImageList(tabImages);
        const char* titles[5] = {"Товары", "Поставщики", "Проводки", "Остатки", "Динамика"};
        for (int i = 0; i < 5; ++i)
            tabControl->InsertTab(i, titles[i], i);
        tabControl->FitToParent();
    }

    images->LoadStrip(7, IDB_MARKS, IMAGE_BITMAP, ILC_COLOR32 | ILC_MASK, 13, 13, 7, kMaskColour);
    sortArrows = images->LoadStrip(8, IDB_SORT_ARROWS, IMAGE_BITMAP, ILC_COLOR32 | ILC_MASK, 13, 13, 2,
                                   kMaskColour);

    listPages.Build(frame, parent, tabControl, sortArrows);
    dynamicsPage.Build(frame, parent, tabControl);
    dynamicsPage.EnableSorting(sortArrows);
    selectedPage = 0;
    return true;
}
