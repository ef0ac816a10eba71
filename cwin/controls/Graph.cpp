#include "Graph.h"

CGraph::CGraph()
{
    kind = KIND_GRAPH;
}
