// Now: the benchmarks' clock.
#ifndef ORVEX_BENCHCLOCK_H
#define ORVEX_BENCHCLOCK_H

#include <windows.h>

// Seconds on the performance counter: only differences mean anything.
inline double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)f.QuadPart;
}

#endif
