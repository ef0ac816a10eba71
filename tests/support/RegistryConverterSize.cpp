// The registry of a test program that stands in for the converter.
#include "cwin/system/HeapRegistry.h"

static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_CONVERTER];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_CONVERTER);
