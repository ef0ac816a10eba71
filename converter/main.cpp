// fromZORB: converts the accounting system's movement report into four tables.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "cwin/system/HeapRegistry.h"
#include "Console.h"
#include "ReportConverter.h"

// Constructed in this order, destroyed in reverse: the tables' blocks are
// returned to the registry before the registry destroys its heap. The file
// functions and the reader hold no blocks of their own.
static CWIN_HEAP_INFO g_heapEntries[CWIN_HEAP_INFO_NUM_CONVERTER];
CHeapRegistry g_heapRegistry(g_heapEntries, CWIN_HEAP_INFO_NUM_CONVERTER);
static CFileFunctions g_files;
static CDelimitedTextReader g_reader(g_files);
static CReportConverter g_converter(g_files, g_reader);
static CConsoleProgress g_progress;

int main()
{
    // The console texts are exact bytes: no CR is to be added before LF.
    _setmode(_fileno(stdout), _O_BINARY);
    ConsolePrint("Programm started...\n");
    g_reader.SetProgress(&g_progress);   // the reader's progress shows nothing
    g_converter.Run("Номенкл.csv", "ZORB_MVS.txt");
    Sleep(3000);
    // 0 tables written, 1 an output not written, 2 an input not read, 3 no
    // table in the report: a caller must not take a failed run for a good one.
    return g_converter.LastExitCode();
}
