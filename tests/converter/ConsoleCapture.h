// The converter's console lines in a test: standard output goes to a file of
// the current folder while an object lives, and Text gives what was written.
#ifndef TESTS_CONVERTER_CONSOLECAPTURE_H
#define TESTS_CONVERTER_CONSOLECAPTURE_H

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <string>

#include "TestSupport.h"

class ConsoleCapture
{
public:
    ConsoleCapture()
    {
        fflush(stdout);
        m_saved = _dup(_fileno(stdout));
        // Binary: the lines' CR LF and lone LF are compared as bytes.
        int fd = _open(kName, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
        if (fd >= 0) {
            _dup2(fd, _fileno(stdout));
            _close(fd);
        }
    }
    ~ConsoleCapture() { Text(); }
    // What was written so far; standard output is given back on the first call.
    std::string Text()
    {
        if (m_saved >= 0) {
            fflush(stdout);
            _dup2(m_saved, _fileno(stdout));
            _close(m_saved);
            m_saved = -1;
            ReadBytes(kName, &m_text);
            DeleteFileA(kName);
        }
        return m_text;
    }

private:
    static constexpr const char* kName = "console.captured";
    int m_saved = -1;
    std::string m_text;
};

#endif
