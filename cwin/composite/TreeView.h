// CTreeView ("TreeView"): the common tree view with its indented text format.
#ifndef CWIN_TREEVIEW_H
#define CWIN_TREEVIEW_H

#include "BaseWindow.h"

class CTreeView : public CBaseWindow
{
public:
    CTreeView();
    bool Create() override;
};

#endif
