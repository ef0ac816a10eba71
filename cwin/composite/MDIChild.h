// CMDI_Child ("MDI"): an MDI client in the frame's main window and the class
// of its child windows.
#ifndef CWIN_MDICHILD_H
#define CWIN_MDICHILD_H

#include "BaseWindow.h"

class CMDI_Child : public CBaseWindow
{
public:
    CMDI_Child();
    bool Create() override;
};

#endif
