// How the lists show an identifier: the identifier display mode and FormatId.
#ifndef ORVEX_IDTEXT_H
#define ORVEX_IDTEXT_H

#include <stdint.h>

class CGoodsStore;

// The identifier display: hexadecimal at start, decimal or the records' codes
// on the host's request.
enum IdMode
{
    IdModeHex = 0,
    IdModeDecimal = 1,
    IdModeCode = 2
};

// Writes the text of identifier `id` as `mode` shows it into `buffer` (at
// most bufferSize - 1 characters, always ended): decimal; the code (`code`,
// or without one that of the first goods or supplier record of the store
// with the identifier, nothing when there is none), or hexadecimal when the
// code is empty; otherwise eight upper-case hexadecimal digits.
void FormatId(const CGoodsStore& store, int mode, char* buffer, int bufferSize, int32_t id, const char* code,
              bool isGoods);

#endif
