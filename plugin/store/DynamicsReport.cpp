// Writes one goods item's dynamics to "GoodsDinamic.html" and opens it.
#include "DynamicsReport.h"

#include <shellapi.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "cwin/system/FileChooser.h"
#include "cwin/system/FileOps.h"
#include "Dynamics.h"

namespace {

const char kReportFile[] = "GoodsDinamic.html";

// Each piece is formatted on its own into 1024 characters (cut at 1023, as a
// formatted file write is) and the pieces go to the file in a few large
// writes, not in one write each. Write errors are ignored, as they always were.
class CReportWriter
{
public:
    explicit CReportWriter(HANDLE file) : m_file(file), m_used(0) {}
    ~CReportWriter() { Flush(); }

    void Put(const char* format, ...)
    {
        char piece[1024];
        va_list args;
        va_start(args, format);
        int n = vsnprintf(piece, sizeof(piece), format, args);
        va_end(args);
        if (n < 0)
            return;
        if (n > 1023)
            n = 1023;
        if (m_used + (size_t)n > sizeof(m_buffer))
            Flush();
        memcpy(m_buffer + m_used, piece, (size_t)n);
        m_used += (size_t)n;
    }

    void Flush()
    {
        if (m_used == 0)
            return;
        DWORD written = 0;
        g_fileOps.write(m_file, m_buffer, (DWORD)m_used, &written, NULL);
        m_used = 0;
    }

private:
    HANDLE m_file;
    size_t m_used;
    char   m_buffer[32 * 1024];
};

ShellOpenFunction g_shellOpen = ShellExecuteA;

}  // namespace

void SetShellOpenFunction(ShellOpenFunction function)
{
    g_shellOpen = function ? function : ShellExecuteA;
}

bool WriteDynamicsReport(CDynamics& dynamics, int row)
{
    const DynamicsSeries* series = dynamics.Series(row);
    if (!series)
        return false;
    HANDLE file = CreateTextFile(kReportFile);
    if (!file)
        return false;

    {
        CReportWriter out(file);
        out.Put("<html><body>\r\n");
        out.Put("\r\n<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" width=\"90%%\" align=\"center\" >\r\n");
        out.Put("<tr align=\"center\">\r\n");
        const char* headers[] = {"дата", "остаток (нач.)", "приход", "расход", "остаток (кон.)"};
        for (const char* header : headers)
            out.Put("<th>%s</th>", header);
        out.Put("</tr>\r\n");

        DayCell* cells = dynamics.DayCells(row);
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
            out.Put("<tr align=\"center\">\r\n");
            out.Put("<td>%.2d.%.2d.%.2d</td>", DayOf(date), MonthOf(date), YearOf(date));
            out.Put("<td>%.2f</td>", opening);
            out.Put("<td>%.2f</td>", day.receipt);
            out.Put("<td>%.2f</td>", day.expense);
            out.Put("<td>%.2f</td>", closing);
            out.Put("</tr>\r\n");
        }
        out.Put("</table>\r\n</body></html>\r\n");
    }
    CloseHandle(file);

    g_shellOpen(NULL, "open", kReportFile, NULL, NULL, SW_SHOW);
    return true;
}
