// The list files as the host's calls leave them: every argument of the add
// operations lands in its record field bit for bit (ints between doubles,
// doubles by value, signed zero, a subnormal), and the four files can be
// copied out so that two builds' files can be compared byte for byte.
#include "OrvexHostFixture.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

uint32_t Date(int day, int month, int year)
{
    return (uint32_t)day | (uint32_t)month << 8 | (uint32_t)year << 16;
}

uint64_t Bits(const std::string& bytes, size_t offset)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | (unsigned char)bytes.at(offset + i);
    return value;
}

uint32_t Word(const std::string& bytes, size_t offset)
{
    return (uint32_t)Bits(bytes, offset);
}

// The same calls in every build, so that their files can be compared.
void FeedAwkwardValues(IOrvexPlugin* plugin)
{
    ASSERT_TRUE(plugin->AddGoods(0, "G1", "Болт", 0.1, -7, 12, "прим", 1e300));
    ASSERT_TRUE(plugin->AddGoods(0, "G2", "Гайка", -0.0, 0x7FFFFFFF, -1, "", 4.9406564584124654e-324));
    ASSERT_TRUE(plugin->AddSupplier(0, "S1", "ООО Крепёж", -2.5, 1.0 / 3.0, 6.02214076e23));
    const int32_t g1 = plugin->FindGoodsId("G1");
    const int32_t s1 = plugin->FindSupplierId("S1");
    ASSERT_TRUE(plugin->AddMove(Date(5, 3, 24), g1, s1, 0.3, 0, 0.7, 0));
    ASSERT_TRUE(plugin->AddMove(Date(6, 3, 24), g1, s1, 1.2, 0, 2.675, 0));
    ASSERT_TRUE(plugin->AddMove(Date(7, 3, 24), g1, 0, 0, 0.2, 0, 0.1));
    ASSERT_TRUE(plugin->AddBalance(Date(5, 3, 24), 0, "G1", 10.5));
    ASSERT_TRUE(plugin->RefreshLists());
    ASSERT_TRUE(plugin->SaveLists());
}

using ListImage = OrvexHost;

TEST_F(ListImage, EveryArgumentOfTheAddOperationsIsStoredBitForBit)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->ShowPlugin());
    FeedAwkwardValues(plugin);
    if (HasFatalFailure())
        return;

    const char* const* names = kListFileNames;
    std::string files[4];
    TakeListFiles(files);
    if (HasFatalFailure())
        return;
    // Copied out for the comparison of two builds' files.
    if (const char* out = getenv("ORVEX_LIST_IMAGE_DIR")) {
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(WriteBytes(std::string(out) + "\\" + names[i], files[i])) << out;
        }
    }

    const std::string& goods = files[0];
    ASSERT_EQ(2u * 672, goods.size());
    EXPECT_EQ(1u, Word(goods, 8));                              // id from the key
    EXPECT_EQ(std::string("G1\0", 3), goods.substr(12, 3));
    EXPECT_EQ(std::string("\xc1\xee\xeb\xf2\0", 5), goods.substr(44, 5));   // "Болт" in 1251
    EXPECT_EQ(0x3FB999999999999Aull, Bits(goods, 392));          // volume 0.1
    EXPECT_EQ(0xFFFFFFF9u, Word(goods, 400));                   // assortment -7
    EXPECT_EQ(12u, Word(goods, 404));
    EXPECT_EQ(std::string("\xef\xf0\xe8\xec\0", 5), goods.substr(408, 5));  // "прим"
    EXPECT_EQ(0x7E37E43C8800759Cull, Bits(goods, 664));          // 1e300
    EXPECT_EQ(0x8000000000000000ull, Bits(goods, 672 + 392));    // -0.0 keeps its sign
    EXPECT_EQ(0x7FFFFFFFu, Word(goods, 672 + 400));
    EXPECT_EQ(0xFFFFFFFFu, Word(goods, 672 + 404));
    EXPECT_EQ(0x0000000000000001ull, Bits(goods, 672 + 664));    // the smallest subnormal

    const std::string& suppliers = files[1];
    ASSERT_EQ(1112u, suppliers.size());
    EXPECT_EQ(0xC004000000000000ull, Bits(suppliers, 1072));     // -2.5
    EXPECT_EQ(0x3FD5555555555555ull, Bits(suppliers, 1080));     // 1/3
    EXPECT_EQ(0x44DFE185CA57C517ull, Bits(suppliers, 1088));     // 6.02214076e23

    const std::string& moves = files[2];
    ASSERT_EQ(3u * 80, moves.size());
    EXPECT_EQ(0x00180305u, Word(moves, 8));                     // 05.03.24
    EXPECT_EQ(1u, Word(moves, 12));
    EXPECT_EQ(1u, Word(moves, 16));
    EXPECT_EQ(0x3FD3333333333333ull, Bits(moves, 24));           // supplied 0.3
    EXPECT_EQ(0u, Bits(moves, 32));
    EXPECT_EQ(0x3FE6666666666666ull, Bits(moves, 40));           // for 0.7
    EXPECT_EQ(0x3FF3333333333333ull, Bits(moves, 80 + 24));      // 1.2
    EXPECT_EQ(0x4005666666666666ull, Bits(moves, 80 + 40));      // 2.675
    EXPECT_EQ(0u, Word(moves, 160 + 16));                       // no supplier
    EXPECT_EQ(0x3FC999999999999Aull, Bits(moves, 160 + 32));     // sold 0.2
    EXPECT_EQ(0x3FB999999999999Aull, Bits(moves, 160 + 48));     // for 0.1

    // The one balance, whole: key 1, no mark, 05.03.24, goods 1 (found by its code), 10.5.
    EXPECT_EQ(std::string("\x01\0\0\0" "\0\0\0\0" "\x05\x03\x18\0" "\x01\0\0\0" "\0\0\0\0\0\0\x25\x40", 24),
              files[3]);
}

// A list file that cannot be replaced (a folder holds the temporary name):
// SaveLists answers false, that file keeps its old bytes, the others are saved.
TEST_F(ListImage, ASaveThatCannotReplaceAFileAnswersFalseAndKeepsTheOldFile)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Attach());
    ASSERT_TRUE(plugin->AddGoods(0, "G1", "Болт", 1, 0, 0, "", 0));
    ASSERT_TRUE(plugin->AddMove(Date(5, 3, 24), 1, 0, 1, 0, 2, 0));
    ASSERT_TRUE(WriteBytes("c:\\GMList.dat", std::string(80, 'm')));
    DeleteFileA("c:\\GNList.dat");
    ASSERT_TRUE(CreateDirectoryA("c:\\GMList.dat.tmp", NULL));
    const bool saved = plugin->SaveLists();
    RemoveDirectoryA("c:\\GMList.dat.tmp");
    EXPECT_FALSE(saved);
    std::string bytes;
    ASSERT_TRUE(ReadBytes("c:\\GMList.dat", &bytes));
    EXPECT_EQ(std::string(80, 'm'), bytes);
    ASSERT_TRUE(ReadBytes("c:\\GNList.dat", &bytes));
    EXPECT_EQ(672u, bytes.size());
    // With the way clear the next save is whole.
    EXPECT_TRUE(plugin->SaveLists());
    ASSERT_TRUE(ReadBytes("c:\\GMList.dat", &bytes));
    EXPECT_EQ(80u, bytes.size());
    EXPECT_EQ(Date(5, 3, 24), Word(bytes, 8));
    for (const char* name : {"c:\\GNList.dat", "c:\\SNList.dat", "c:\\GMList.dat", "c:\\GDList.dat"})
        DeleteFileA(name);
}

}  // namespace
