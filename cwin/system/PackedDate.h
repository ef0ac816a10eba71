// PackedDate: day in bits 0-7, month in bits 8-15, two-digit year in bits 16-23.
// Unsigned comparison orders dates; all bits set means "unset".
#ifndef CWIN_PACKEDDATE_H
#define CWIN_PACKEDDATE_H

#include <stdint.h>

typedef uint32_t PackedDate;

static const PackedDate kUnsetDate = 0xFFFFFFFFu;

inline PackedDate MakePackedDate(uint32_t day, uint32_t month, uint32_t year)
{
    return day + 256u * month + 65536u * year;
}
inline int DayOf(PackedDate d)   { return (int)(d & 0xFF); }
inline int MonthOf(PackedDate d) { return (int)((d >> 8) & 0xFF); }
inline int YearOf(PackedDate d)  { return (int)((d >> 16) & 0xFF); }

#endif
