// CopyText, FormatInto: a text into a fixed-size field, cut to fit and always terminated.
#ifndef CWIN_TEXT_H
#define CWIN_TEXT_H

#include <stdarg.h>
#include <stddef.h>

// Copies at most size - 1 characters of text into field and terminates it, the
// way "%s" with the field size as the limit does; a null text reads "(null)".
// The text is read no further than the field can hold, so it need not be
// terminated beyond that, and it may lie inside the field itself. A field of
// size 0 is left as it is.
void CopyText(char* field, size_t size, const char* text);

// printf-style formatting into field, cut at its size and always terminated
// (whatever the C runtime's vsnprintf does with a cut text). Returns field.
// The one formatting step of the framework's variadic text operations.
const char* FormatInto(char* field, size_t size, const char* format, va_list args);

#endif
