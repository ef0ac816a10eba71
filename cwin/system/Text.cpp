// CopyText: the framework's bounded copy of a text into a fixed-size field.
#include "cwin/system/Text.h"

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
