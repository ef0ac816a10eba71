// CProgressSteps: the progress of one pass over the moves. The bar is asked
// for once, when the pass sets its range: a step per move is a million steps
// a year.
#ifndef ORVEX_PROGRESSSTEPS_H
#define ORVEX_PROGRESSSTEPS_H

#include "cwin/system/Progress.h"

class CProgressSteps
{
public:
    // Sets the range 0 .. maximum on the bar of the moment, if there is one.
    CProgressSteps(IProgressSource* source, int maximum) : m_bar(source ? source->GetProgress() : 0)
    {
        if (m_bar)
            m_bar->SetRange(0, maximum);
    }
    void Step() const
    {
        if (m_bar)
            m_bar->Step();
    }

private:
    IProgress* m_bar;
};

#endif
