// The ZORB report's text before its cells are read: decoded from the OEM code
// page, and its table found between the start and the end marker.
#ifndef CONVERTER_REPORTTEXT_H
#define CONVERTER_REPORTTEXT_H

#include <stddef.h>

// Turns report text from the OEM code page into the ANSI code page, in place;
// returns the new length (the same on single-byte code pages; 0 when memory
// runs out).
int DecodeOemText(char* text, int length);

// The decoded vertical line, the report's field separator.
const char kReportSeparator = '\xA6';

// The table: from the first "¦........." (a vertical line and nine dots) to
// the first "L--------+" (the bottom border's start), or to the text's end
// when that border comes before the start.
struct ReportTable
{
    char*  start;
    size_t length;
    size_t rows;   // the table's CR bytes and one: each move ends a row
};

enum ReportTableFound
{
    TableLocated,
    NoTableStart,
    NoTableEnd
};

// Finds the table in a decoded text (zero-terminated, not empty) and ends the
// text at the end marker.
ReportTableFound LocateReportTable(char* text, ReportTable* table);

#endif
