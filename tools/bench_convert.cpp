// bench_convert: times the converter on a report in a folder (made by zorbgen).
// Figures go to standard error; the converter's own console lines to standard output.
// Usage: bench_convert DIR
#include <windows.h>
#include <psapi.h>

#include <stdio.h>

#include "AppFrame.h"
#include "HeapRegistry.h"
#include "ProgBar.h"
#include "ReportConverter.h"

static CAppFrame g_frame;
static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_CONVERTER];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_CONVERTER);
static CReportConverter g_converter(g_frame);
static CProgBar g_bar;

static double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

int main(int argc, char** argv)
{
    if (argc < 2 || !SetCurrentDirectoryA(argv[1])) {
        fprintf(stderr, "usage: bench_convert DIR\n");
        return 2;
    }
    g_frame.SetProgressBar(&g_bar);

    // Reading and decoding alone, best of three.
    double decode = 1e9;
    int length = 0;
    for (int i = 0; i < 3; ++i) {
        char* text = NULL;
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        length = g_frame.GetFileDialog()->ReadWholeFile("ZORB_MVS.txt", &text, -1);
        DecodeOemText(text, length);
        QueryPerformanceCounter(&t1);
        g_heapRegistry.Free(&text);
        if (Seconds(t0, t1) < decode)
            decode = Seconds(t0, t1);
    }
    if (length <= 0) {
        fprintf(stderr, "bench_convert: no ZORB_MVS.txt in %s\n", argv[1]);
        return 1;
    }

    // The whole conversion, best of three.
    double whole = 1e9;
    for (int i = 0; i < 3; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        g_converter.Run("Номенкл.csv", "ZORB_MVS.txt");
        QueryPerformanceCounter(&t1);
        if (Seconds(t0, t1) < whole)
            whole = Seconds(t0, t1);
    }
    // Where the time goes: the move export alone, after the run.
    LARGE_INTEGER e0, e1;
    QueryPerformanceCounter(&e0);
    g_converter.ExportMoves();
    QueryPerformanceCounter(&e1);
    double exportMoves = Seconds(e0, e1);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));

    int moves = g_converter.MoveCount();
    fprintf(stderr, "report: %d bytes, %d positions, %d moves\n", length, g_converter.PositionCount(), moves);
    fprintf(stderr, "read and decode alone: %.3f s\n", decode);
    fprintf(stderr, "whole conversion:      %.3f s (%.2f x the read and decode)\n", whole, whole / decode);
    fprintf(stderr, "  of it Moves.txt:     %.3f s\n", exportMoves);
    fprintf(stderr, "rows per second:       %.0f\n", moves / whole);
    fprintf(stderr, "peak memory:           %.1f MB working set, %.1f MB committed\n",
            memory.PeakWorkingSetSize / 1048576.0, memory.PeakPagefileUsage / 1048576.0);
    return 0;
}
