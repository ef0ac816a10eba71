// The plug-in's grids, found among a host window's descendants by their
// number of columns (goods 11, suppliers 5, moves 7, balances 3, dynamics 2):
// what the fuzzing host and the library's tests both look for.
#ifndef TOOLS_WINDOWLOOKUP_H
#define TOOLS_WINDOWLOOKUP_H

#include <windows.h>

// The first list view below the parent whose header has that many columns, or null.
HWND FindListWithColumns(HWND parent, int columns);

#endif
