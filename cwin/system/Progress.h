// IProgress: what long operations advance, with or without a window behind it.
// The progress bar control implements it; a console program has its own.
#ifndef CWIN_PROGRESS_H
#define CWIN_PROGRESS_H

#include <windows.h>

class IProgress
{
public:
    virtual LRESULT SetRange(int minimum, int maximum, int ignored = 0) = 0;
    virtual LRESULT SetPos(int position) = 0;
    virtual LRESULT Step() = 0;
    // The same final state as `steps` calls of Step(), at the cost of one.
    virtual LRESULT StepBy(int steps) = 0;
};

// Where a part without windows finds the progress of the moment: the frame's
// bar may be made, replaced or taken away after the part was bound to it.
class IProgressSource
{
public:
    // Null when nothing shows progress.
    virtual IProgress* GetProgress() = 0;
};

#endif
