// Numbers of the report and the tables: reading as atoi and atof do, and
// writing as "%d", "%.2d" and "%.5f" do, byte for byte.
//
// A million-row report has millions of numbers; the C library's conversions
// (locale look-ups, arbitrary-precision arithmetic) then take longer than the
// rest of the conversion. The plain forms every report prints take a short
// path here whose result is provably the library's; anything else is handed
// to the library itself.
#ifndef CONVERTER_NUMBERS_H
#define CONVERTER_NUMBERS_H

#include <stddef.h>

// atoi(text).
int ReadInt(const char* text);
// A number as the business's files write it: what atof(text) reads, except
// that a decimal comma is a decimal point and digit groups may be set apart:
// after the white space and sign that atof skips, one to three digits, then
// any number of groups of exactly three digits each behind one space (0x20)
// or no-break space (0xA0) and followed by no further digit. "1 234,50",
// "1\xA0234.50" and "1234,5" are 1234.5; "1 23", "1234 567" and "12 3456"
// keep atof's reading (1, 1234, 12). A text without such a comma or group
// reads exactly as atof reads it.
double ReadNumber(const char* text);

// Each writes the text printf would write and returns its length; `out` has
// room for 16 bytes ("%d", "%.2d") or 512 bytes ("%.5f").
size_t FormatInt(int value, char* out);
size_t FormatTwoDigits(int value, char* out);
size_t FormatFixed5(double value, char* out);

// "00" to "99", two characters each.
extern const char kDigitPairs[201];

#endif
