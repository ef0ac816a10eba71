// Bars: CToolBar ("ToolBar"), CReBar ("ReBar") and the framework's own
// splitter CReSizeBar ("ReSizeBar").
#ifndef CWIN_BARS_H
#define CWIN_BARS_H

#include "BaseWindow.h"

class CToolBar : public CBaseWindow
{
public:
    CToolBar();
    bool Create() override;
};

class CReBar : public CBaseWindow
{
public:
    CReBar();
    bool Create() override;
};

class CReSizeBar : public CBaseWindow
{
public:
    CReSizeBar();
    bool Create() override;
};

#endif
