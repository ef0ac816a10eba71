// The text of an identifier cell in each identifier display, with the codes
// the store finds for it.
#include "../store/StoreFixture.h"

#include <string.h>

#include "IdText.h"

namespace {

class FormatIdentifier : public StoreTest
{
protected:
    FormatIdentifier() : idMode(IdModeHex) {}
    int idMode;   // the identifier display of the lists, hexadecimal at start
};

TEST_F(FormatIdentifier, HexadecimalAtStartDecimalAndCodesOnRequest)
{
    store.AddGoods(255, NULL, "no code", 0, 0, 0, "", 0);
    store.AddGoods(0, "G-7", "coded", 0, 0, 0, "", 0);       // id 2
    store.AddSupplier(0, "S-1", "supplier", 0, 0, 0);        // id 1
    char buffer[64];

    FormatId(store, idMode, buffer, sizeof(buffer), 255, NULL, true);
    EXPECT_STREQ(buffer, "000000FF");
    FormatId(store, idMode, buffer, sizeof(buffer), 42, "X", true);
    EXPECT_STREQ(buffer, "0000002A");
    FormatId(store, idMode, buffer, sizeof(buffer), -1, NULL, false);
    EXPECT_STREQ(buffer, "FFFFFFFF");

    idMode = IdModeDecimal;
    FormatId(store, idMode, buffer, sizeof(buffer), 255, "X", true);
    EXPECT_STREQ(buffer, "255");

    idMode = IdModeCode;
    FormatId(store, idMode, buffer, sizeof(buffer), 255, "G-255", true);
    EXPECT_STREQ(buffer, "G-255");
    FormatId(store, idMode, buffer, sizeof(buffer), 255, "", true);
    EXPECT_STREQ(buffer, "000000FF");
    FormatId(store, idMode, buffer, sizeof(buffer), 2, NULL, true);
    EXPECT_STREQ(buffer, "G-7");
    FormatId(store, idMode, buffer, sizeof(buffer), 255, NULL, true);   // found, empty code
    EXPECT_STREQ(buffer, "000000FF");
    FormatId(store, idMode, buffer, sizeof(buffer), 1, NULL, false);
    EXPECT_STREQ(buffer, "S-1");
    strcpy(buffer, "stale");
    FormatId(store, idMode, buffer, sizeof(buffer), 3, NULL, true);     // no such goods
    EXPECT_STREQ(buffer, "");
    FormatId(store, idMode, buffer, sizeof(buffer), 2, NULL, false);    // no such supplier
    EXPECT_STREQ(buffer, "");
}

TEST_F(FormatIdentifier, NeverWritesPastTheBuffer)
{
    char buffer[8];
    memset(buffer, '#', sizeof(buffer));
    FormatId(store, idMode, buffer, 5, 255, NULL, true);
    EXPECT_STREQ(buffer, "0000");
    EXPECT_EQ(buffer[5], '#');
    buffer[0] = '#';
    FormatId(store, idMode, buffer, 0, 255, NULL, true);
    EXPECT_EQ(buffer[0], '#');
}

}  // namespace
