// CGraph ("Graph"): the framework's line chart, drawn into CCustom's back buffer.
#ifndef CWIN_GRAPH_H
#define CWIN_GRAPH_H

#include "Custom.h"

class CGraph : public CCustom
{
public:
    CGraph();
};

#endif
