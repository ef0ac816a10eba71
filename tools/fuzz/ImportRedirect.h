// A host's hold on a loaded library's imports: one import pointed at a
// replacement, so that the library's message boxes, open requests or handle
// allocations reach the host instead.
#ifndef TOOLS_IMPORTREDIRECT_H
#define TOOLS_IMPORTREDIRECT_H

#include <windows.h>

// The import's slot is found by name, or by the address the loader put there;
// false when the module does not import it from that library.
bool RedirectImport(HMODULE module, const char* dll, const char* function, FARPROC replacement);

#endif
