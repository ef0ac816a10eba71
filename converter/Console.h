// The converter's console: output gathered while Run works, and the
// progress of the reader, which shows nothing.
#ifndef CONVERTER_CONSOLE_H
#define CONVERTER_CONSOLE_H

#include "cwin/system/Progress.h"

// Console output of the converter: printf-formatted, flushed at once; while
// Run works, gathered and written out by ConsoleShow, which Run calls before
// each step that takes time and when it returns.
void ConsolePrint(const char* format, ...);
void ConsoleShow();

// Run's texts are gathered from its start and all written out when it ends.
class CConsoleGathering
{
public:
    CConsoleGathering();
    ~CConsoleGathering();
};

// The console program's progress: nothing is shown, and the reader steps it
// once per byte of every input (many bytes in one StepBy): a step only counts.
class CConsoleProgress : public IProgress
{
public:
    LRESULT SetRange(int, int, int = 0) override { return 0; }
    LRESULT SetPos(int) override { return 0; }
    LRESULT Step() override
    {
        ++m_steps;
        return 0;
    }
    LRESULT StepBy(int steps) override
    {
        if (steps > 0)
            m_steps += (unsigned)steps;
        return 0;
    }
    unsigned Steps() const { return m_steps; }

private:
    unsigned m_steps = 0;
};

#endif
