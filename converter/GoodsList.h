// The goods list as spreadsheets save it: its text brought to code page 1251,
// and split into rows and cells.
//
// The report and moves_type.txt keep the framework's reader
// (CDelimitedTextReader); the goods list has a reader of its own because a
// spreadsheet writes quoted fields, LF line ends and UTF-8.
#ifndef CONVERTER_GOODSLIST_H
#define CONVERTER_GOODSLIST_H

#include "cwin/system/DelimitedText.h"
#include "cwin/system/Progress.h"

// Brings a goods list to code page 1251 in place and returns its new length
// (never more than `length`; a zero byte is put after it). A text is UTF-8
// when it begins with the byte-order mark EF BB BF (which is dropped), or when
// the whole text is valid UTF-8 and holds at least one multi-byte sequence;
// any other text is taken as code page 1251 already and left as it is. In a
// UTF-8 text every character that code page 1251 has no form for, and every
// byte that is not valid UTF-8, becomes one '?'; `unmapped` counts them.
int GoodsListTo1251(char* text, int length, int* unmapped);

// The code page 1251 byte of a Unicode character, or -1 when it has none.
int CodePage1251Byte(unsigned codePoint);

// Splits a goods list (code page 1251, a zero byte at text[length]) in place
// into rows and cells for `receiver`, which gets them as CDelimitedTextReader
// gives them: terminated, trailing spaces (0x20) removed, with the length
// before the trimming, row, column and end-of-row. The rules:
// - Cells are separated by ';'. A line ends at CR or at LF; after a line end
//   every byte below 0x20 is skipped, so CR LF, empty lines and control bytes
//   at a line's start make no rows. A line end at the very end makes no
//   further row, and a last line without one is read.
// - A cell whose first byte is a double quote is a quoted field: up to the
//   closing quote, ';', CR and LF are text, and two quotes in a row are one
//   quote. A line end inside it becomes one space (CR LF too), as a table line
//   cannot hold it. Bytes after the closing quote up to the cell's end are
//   added as they are ("ab"c reads abc). A quote anywhere else is text.
// - A quote that no closing quote follows anywhere in the text opens no field:
//   it is text, and from there on every quote is.
// True when every call of the receiver returned true and there was at least
// one; false for a length of 0 or less. `progress` (may be null) is given the
// text's length as its range and stepped over it.
bool ReadGoodsList(char* text, int length, ITableReceiver* receiver, IProgress* progress);

#endif
