// bench_convert: times the converter on a report in a folder (made by zorbgen).
// Figures go to standard error; the converter's own console lines to standard output.
// Usage: bench_convert DIR
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <string.h>

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "cwin/system/HeapRegistry.h"
#include "Console.h"
#include "ReportConverter.h"
#include "ReportReader.h"
#include "ReportText.h"
#include "BenchClock.h"

static CWIN_HEAP_INFO g_entries[CWIN_HEAP_INFO_NUM_CONVERTER];
CHeapRegistry g_heapRegistry(g_entries, CWIN_HEAP_INFO_NUM_CONVERTER);
static CFileFunctions g_files;
static CDelimitedTextReader g_reader(g_files);
static CReportConverter g_converter(g_files, g_reader);
static CConsoleProgress g_bar;

static PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    return memory;
}

// Takes the cells the converter reads and does nothing: what splitting the
// report costs alone.
struct NullReceiver : ITableReceiver
{
    bool OnTableCell(char*, int, int, int, bool) override { return true; }
    unsigned CellColumns() override { return CReportReader::kReportColumns; }
};

static double MB(double bytes)
{
    return bytes / 1048576.0;
}

int main(int argc, char** argv)
{
    const double base = (double)Memory().WorkingSetSize;
    if (argc < 2 || !SetCurrentDirectoryA(argv[1])) {
        fprintf(stderr, "usage: bench_convert DIR\n");
        return 2;
    }
    g_reader.SetProgress(&g_bar);

    // Reading and decoding alone, best of three; then the decoded table split
    // into cells by the reader with a receiver that does nothing.
    double decode = 1e9, split = 1e9;
    int length = 0;
    for (int i = 0; i < 3; ++i) {
        char* text = NULL;
        double t0 = Now();
        length = g_files.ReadWholeFile("ZORB_MVS.txt", &text, -1);
        DecodeOemText(text, length);
        double t1 = Now();
        if (t1 - t0 < decode)
            decode = t1 - t0;
        char* start = length > 0 ? strstr(text, "\xA6.........") : NULL;
        char* end = start ? strstr(start, "L--------+") : NULL;
        if (end) {
            *end = 0;
            NullReceiver none;
            double s0 = Now();
            g_reader.ReadDelimitedText(start, (int)(end - start), '\xA6', 0, &none);
            double s1 = Now();
            if (s1 - s0 < split)
                split = s1 - s0;
        }
        g_heapRegistry.Free(&text);
    }
    if (length <= 0) {
        fprintf(stderr, "bench_convert: no ZORB_MVS.txt in %s\n", argv[1]);
        return 1;
    }

    // The whole conversion, best of three.
    double whole = 1e9;
    for (int i = 0; i < 3; ++i) {
        double t0 = Now();
        g_converter.Run("Номенкл.csv", "ZORB_MVS.txt");
        double t1 = Now();
        if (t1 - t0 < whole)
            whole = t1 - t0;
    }
    const PROCESS_MEMORY_COUNTERS memory = Memory();

    // Where the time goes: the exports alone, after the run.
    const CConverterTables& tables = g_converter.Tables();
    CTableExports exports(tables);
    double e0 = Now();
    exports.ExportSuppliers();
    exports.ExportBuyers();
    exports.ExportPositions();
    double e1 = Now();
    exports.ExportMoves();
    double e2 = Now();

    const int moves = tables.MoveCount();
    const double peak = (double)memory.PeakWorkingSetSize;
    const double tableBytes = (double)tables.TableBytes();
    // The 32-bit build: the same record layouts (checked when it compiles), the
    // registry's entries at half the size (4-byte handle, address and sizes).
    const double entries64 = sizeof(CWIN_HEAP_INFO) * (double)CWIN_HEAP_INFO_NUM_CONVERTER;
    const double entries32 = 5 * 4 * (double)CWIN_HEAP_INFO_NUM_CONVERTER;
    const double peak32 = peak - entries64 + entries32;
    fprintf(stderr, "report:                %d bytes (%.1f MB), %d positions, %d moves\n", length, MB(length),
            tables.PositionCount(), moves);
    fprintf(stderr, "read and decode alone: %.3f s\n", decode);
    fprintf(stderr, "conversion:            %.3f s = %.2f x the read and decode\n", whole, whole / decode);
    fprintf(stderr, "  reading and decoding %.3f s, splitting into cells %.3f s, Moves.txt %.3f s,\n", decode, split,
            e2 - e1);
    fprintf(stderr, "  the other three tables %.3f s, the cells' values and the records the rest (%.3f s)\n",
            e1 - e0, whole - decode - split - (e2 - e0));
    fprintf(stderr, "rows per second:       %.0f\n", moves / whole);
    fprintf(stderr, "peak working set:      %.1f MB = %.2f x the report (process at start %.1f MB; tables and pools %.1f MB)\n",
            MB(peak), peak / length, MB(base), MB(tableBytes));
    fprintf(stderr, "i686 build, computed:  %.1f MB = %.2f x the report (this peak with the heap registry's entries at\n"
                    "                       %d bytes instead of %d; records %d and %d bytes in both builds)\n",
            MB(peak32), peak32 / length, 20, (int)sizeof(CWIN_HEAP_INFO), (int)sizeof(Position), (int)sizeof(Move));
    return 0;
}
