// CopyText, FormatInto: the framework's bounded texts in fixed-size fields.
#include "cwin/system/Text.h"

#include <stdio.h>
#include <string.h>

void CopyText(char* field, size_t size, const char* text)
{
    if (size == 0)
        return;
    if (!text)
        text = "(null)";
    size_t length = strnlen(text, size - 1);
    memmove(field, text, length);
    field[length] = 0;
}

const char* FormatInto(char* field, size_t size, const char* format, va_list args)
{
    if (size == 0)
        return field;
    vsnprintf(field, size, format, args);
    field[size - 1] = 0;
    return field;
}
