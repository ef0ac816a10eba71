// The converter's console output: printf-formatted texts, gathered while Run works.
#include "Console.h"

#include <stdarg.h>
#include <stdio.h>

// While Run works, its texts are gathered here and written out before each
// step that takes time: under Wine each write to the console costs about half
// a millisecond, and Run has twenty texts.
static bool   g_consoleGathering = false;
static char   g_console[2048];
static size_t g_consoleUsed = 0;

void ConsolePrint(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    if (g_consoleGathering) {
        va_list copy;
        va_copy(copy, args);
        const size_t room = sizeof(g_console) - g_consoleUsed;
        const int n = vsnprintf(g_console + g_consoleUsed, room, format, copy);
        va_end(copy);
        if (n >= 0 && (size_t)n < room) {
            g_consoleUsed += (size_t)n;
            va_end(args);
            return;
        }
        ConsoleShow();   // a text that does not fit goes out as before, after those gathered
    }
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

void ConsoleShow()
{
    if (g_consoleUsed)
        fwrite(g_console, 1, g_consoleUsed, stdout);
    g_consoleUsed = 0;
    fflush(stdout);
}

CConsoleGathering::CConsoleGathering()
{
    g_consoleGathering = true;
}

CConsoleGathering::~CConsoleGathering()
{
    ConsoleShow();
    g_consoleGathering = false;
}
