#include "Bars.h"

CToolBar::CToolBar() { kind = KIND_TOOLBAR; }
bool CToolBar::Create() { return false; }

CReBar::CReBar() { kind = KIND_REBAR; }
bool CReBar::Create() { return false; }

CReSizeBar::CReSizeBar() { kind = KIND_RESIZEBAR; }
bool CReSizeBar::Create() { return false; }
