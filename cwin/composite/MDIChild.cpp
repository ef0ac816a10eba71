#include "MDIChild.h"

CMDI_Child::CMDI_Child() { kind = KIND_MDI; }
bool CMDI_Child::Create() { return false; }
