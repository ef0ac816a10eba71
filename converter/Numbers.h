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
// atof(text).
double ReadNumber(const char* text);

// Each writes the text printf would write and returns its length; `out` has
// room for 16 bytes ("%d", "%.2d") or 512 bytes ("%.5f").
size_t FormatInt(int value, char* out);
size_t FormatTwoDigits(int value, char* out);
size_t FormatFixed5(double value, char* out);

// "00" to "99", two characters each.
extern const char kDigitPairs[201];

#endif
