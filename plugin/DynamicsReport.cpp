#include "DynamicsReport.h"

#include <stdarg.h>
#include <stdio.h>

#include <shellapi.h>

#include "GoodsStore.h"

namespace {

const char kReportFile[] = "GoodsDinamic.html";

ShellOpenFunction g_shellOpen = ShellExecuteA;

// Each piece is formatted into 1024 characters and written without its NUL.
void WritePiece(HANDLE file, const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (n < 0)
        return;
    if (n > (int)sizeof(buffer) - 1)
        n = (int)sizeof(buffer) - 1;
    DWORD written = 0;
    WriteFile(file, buffer, (DWORD)n, &written, NULL);
}

}  // namespace

void SetShellOpenFunction(ShellOpenFunction function)
{
    g_shellOpen = function ? function : ShellExecuteA;
}

bool WriteDynamicsReport(CGoodsStore& store, int row)
{
    const DynamicsSeries* series = store.Series(row);
    if (!series)
        return false;
    HANDLE file = CreateFileA(kReportFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;

    WritePiece(file, "<html><body>\r\n");
    WritePiece(file, "\r\n<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" width=\"90%%\" align=\"center\" >\r\n");
    WritePiece(file, "<tr align=\"center\">\r\n");
    const char* headers[] = {"дата", "остаток (нач.)", "приход", "расход", "остаток (кон.)"};
    for (const char* header : headers)
        WritePiece(file, "<th>%s</th>", header);
    WritePiece(file, "</tr>\r\n");

    DayCell* cells = series->cells;
    double opening = 0;
    for (int k = 0; cells && k < series->dayCount; ++k) {
        DayCell& day = cells[k];
        if (k == 0)
            opening = day.adjustment;
        else
            opening = ((opening + cells[k - 1].receipt) - cells[k - 1].expense) + day.adjustment;
        day.opening = opening;
        double closing = (day.receipt + opening) - day.expense;
        PackedDate date = day.entry ? day.entry->date : 0;
        WritePiece(file, "<tr align=\"center\">\r\n");
        WritePiece(file, "<td>%.2d.%.2d.%.2d</td>", DayOf(date), MonthOf(date), YearOf(date));
        WritePiece(file, "<td>%.2f</td>", opening);
        WritePiece(file, "<td>%.2f</td>", day.receipt);
        WritePiece(file, "<td>%.2f</td>", day.expense);
        WritePiece(file, "<td>%.2f</td>", closing);
        WritePiece(file, "</tr>\r\n");
    }
    WritePiece(file, "</table>\r\n</body></html>\r\n");
    CloseHandle(file);

    g_shellOpen(NULL, "open", kReportFile, NULL, NULL, SW_SHOW);
    return true;
}
