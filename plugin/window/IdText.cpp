// FormatId: the identifier cells of the lists.
#include "IdText.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include "GoodsStore.h"

void FormatId(const CGoodsStore& store, int mode, char* buffer, int bufferSize, int32_t id, const char* code,
              bool isGoods)
{
    if (!buffer || bufferSize <= 0)
        return;
    buffer[0] = 0;
    if (mode == IdModeDecimal) {
        snprintf(buffer, (size_t)bufferSize, "%d", (int)id);
        return;
    }
    if (mode == IdModeCode) {
        char found[32];
        if (!code) {
            // The store finds the first record with the identifier through its index.
            const CStoreTables& tables = store.Tables();
            int i = isGoods ? store.FirstGoodsIndex(id) : store.FirstSupplierIndex(id);
            if (i < 0)
                return;
            memcpy(found, isGoods ? tables.Goods()[i].code : tables.Suppliers()[i].code, sizeof(found));
            found[sizeof(found) - 1] = 0;
            code = found;
        }
        if (code[0]) {
            snprintf(buffer, (size_t)bufferSize, "%s", code);
            return;
        }
    }
    snprintf(buffer, (size_t)bufferSize, "%.8x", (unsigned)id);
    for (char* p = buffer; *p; ++p)
        *p = (char)toupper((unsigned char)*p);
}
