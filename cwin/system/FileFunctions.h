// CFileFunctions: whole-file reading into registry blocks and the existence
// test, without any dialog or window;
// CreateTextFile / WriteFormatted: formatted text output for reports and tables.
#ifndef CWIN_FILEFUNCTIONS_H
#define CWIN_FILEFUNCTIONS_H

#include <windows.h>
#include <stdarg.h>

class CFileFunctions
{
public:
    CFileFunctions();

    // The whole file (or `size` bytes of it) into a terminated block; the block
    // the variable held before is released first. The bytes read, or -1.
    int  ReadWholeFile(const char* name, char** buffer, int size = -1);
    bool FreeBuffer(char** buffer);
    // The formatted path can be opened for reading.
    bool FileExists(const char* format, ...);
    bool FileExistsV(const char* format, va_list args);

    enum { PathSize = 4096 };

protected:
    char m_path[PathSize];   // work buffer for formatted paths and names
};

// Creates or truncates a file for writing; null on failure or for a null name.
HANDLE CreateTextFile(const char* name);

// Writes one printf-formatted piece of at most 1023 bytes; false for a null file or format.
bool WriteFormatted(HANDLE file, const char* format, ...);

#endif
