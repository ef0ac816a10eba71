#include "TreeView.h"

CTreeView::CTreeView()
{
    kind = KIND_TREEVIEW;
}

bool CTreeView::Create()
{
    return false;
}
