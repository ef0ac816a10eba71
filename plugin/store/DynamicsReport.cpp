// Writes one goods item's dynamics to "GoodsDinamic.html" and opens it.
#include "DynamicsReport.h"

#include <shellapi.h>

#include "cwin/system/FileChooser.h"
#include "GoodsStore.h"

namespace {

const char kReportFile[] = "GoodsDinamic.html";

ShellOpenFunction g_shellOpen = ShellExecuteA;

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
    HANDLE file = CreateTextFile(kReportFile);
    if (!file)
        return false;

    WriteFormatted(file, "<html><body>\r\n");
    WriteFormatted(file, "\r\n<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" width=\"90%%\" align=\"center\" >\r\n");
    WriteFormatted(file, "<tr align=\"center\">\r\n");
    const char* headers[] = {"дата", "остаток (нач.)", "приход", "расход", "остаток (кон.)"};
    for (const char* header : headers)
        WriteFormatted(file, "<th>%s</th>", header);
    WriteFormatted(file, "</tr>\r\n");

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
        WriteFormatted(file, "<tr align=\"center\">\r\n");
        WriteFormatted(file, "<td>%.2d.%.2d.%.2d</td>", DayOf(date), MonthOf(date), YearOf(date));
        WriteFormatted(file, "<td>%.2f</td>", opening);
        WriteFormatted(file, "<td>%.2f</td>", day.receipt);
        WriteFormatted(file, "<td>%.2f</td>", day.expense);
        WriteFormatted(file, "<td>%.2f</td>", closing);
        WriteFormatted(file, "</tr>\r\n");
    }
    WriteFormatted(file, "</table>\r\n</body></html>\r\n");
    CloseHandle(file);

    g_shellOpen(NULL, "open", kReportFile, NULL, NULL, SW_SHOW);
    return true;
}
