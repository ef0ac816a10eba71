// The converter's number reading and writing give exactly what atoi, atof and
// printf give: the cells are read "by the atof rules" and the tables written
// with "%d", "%.2d" and "%.5f". Besides, a number read from a cell may have a
// decimal comma and digit groups: it reads as its form with a point.
#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "Numbers.h"
#include "TestSupport.h"
#include "ZorbRows.h"

namespace {

std::string Printed(const char* format, double value)
{
    char text[512];
    snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Fixed5(double value)
{
    char text[512];
    size_t n = FormatFixed5(value, text);
    EXPECT_EQ(strlen(text), n);
    return text;
}

TEST(Numbers, Fixed5RoundsHalfwayValuesAsPrintfDoes)
{
    // Exact binary values halfway between two fifth decimals: printf rounds
    // them to the even digit.
    EXPECT_EQ("0.01562", Fixed5(0.015625));
    EXPECT_EQ("0.04688", Fixed5(0.046875));
    EXPECT_EQ("-0.01562", Fixed5(-0.015625));
    EXPECT_EQ("1.00000", Fixed5(0.999995117187500));   // just above 0.999995 in binary
    EXPECT_EQ("-0.00000", Fixed5(-0.0));
    EXPECT_EQ("-0.00000", Fixed5(-0.000001));
    EXPECT_EQ("0.00000", Fixed5(4.9e-324));
    EXPECT_EQ("10.00000", Fixed5(10.0));
    EXPECT_EQ("2.50000", Fixed5(2.5));
    for (double v : { 0.015625, 0.046875, 0.999995117187500, -0.000001, 123456.789, 89999999999999.9, 1e300,
                      -1e20, 1.0 / 3.0, 45.5 * 0.1 })
        EXPECT_EQ(Printed("%.5f", v), Fixed5(v)) << v;
}

TEST(Numbers, Fixed5EqualsPrintfOverManyValues)
{
    zorb::Random rnd{ 99 };
    for (int i = 0; i < 200000; ++i) {
        double v;
        switch (i % 5) {
        case 0: v = (double)rnd.Below(5000000) / 1000.0 * (rnd.Below(2) ? 1 : -1); break;   // report quantities
        case 1: v = (double)rnd.Below(200000) / 64.0 / (1 + rnd.Below(4)); break;           // near-halfway values
        case 2: v = ldexp((double)(rnd.Next() >> 11), -(int)rnd.Below(100)); break;         // any bits
        case 4: v = (double)(rnd.Below(100000000) * 10 + 5) / 1000000.0; break;   // a sixth decimal 5, a hair off half
        default: v = (double)rnd.Below(50000) / 100.0 * ((double)rnd.Below(200000) / 1000.0); break;   // cost x quantity
        }
        ASSERT_EQ(Printed("%.5f", v), Fixed5(v)) << i;
    }
}

TEST(Numbers, IntegersAreWrittenAsPrintfWritesThem)
{
    char text[16];
    for (int v : { 0, 7, -7, 10, 99, 100, -100, 255, 2147483647, (int)-2147483647 - 1 }) {
        char expected[32];
        FormatInt(v, text);
        snprintf(expected, sizeof(expected), "%d", v);
        EXPECT_STREQ(expected, text) << v;
        FormatTwoDigits(v, text);
        snprintf(expected, sizeof(expected), "%.2d", v);
        EXPECT_STREQ(expected, text) << v;
    }
}

TEST(Numbers, CellsReadAsAtoiAndAtofReadThem)
{
    const char* const cells[] = { "", "0", "12", "-3", "+4", "  17", "05.03.05", "03.05", "2147483647", "99999999999",
                                  "-2147483648", "1.5", "   12.500", "-0", "-0.000", "0.000", "1e3", "1d2", "  .5",
                                  "5.", "-.25", "12abc", "\t7", "1 2", "123456789012345", "1234567890123456",
                                  "0.1", "0.3", "8.675309", "inf", "nan", "- 5", "--5", "7.0.1" };
    for (const char* cell : cells) {
        EXPECT_EQ(atoi(cell), ReadInt(cell)) << cell;
        const double a = atof(cell), b = ReadNumber(cell);
        EXPECT_TRUE(memcmp(&a, &b, sizeof(a)) == 0 || (a != a && b != b)) << cell << ": " << a << " " << b;
    }
}

TEST(Numbers, ReportNumbersReadAsAtofReadsThem)
{
    zorb::Random rnd{ 7 };
    char cell[64];
    for (int i = 0; i < 200000; ++i) {
        const int decimals = rnd.Below(6);
        const unsigned long long whole = rnd.Next() % (i % 3 == 0 ? 1000000000ull : 100000ull);
        unsigned long long fraction = rnd.Next() % 1000000ull;
        const char* spaces = rnd.Below(3) == 0 ? "   " : "";
        const char* sign = rnd.Below(4) == 0 ? "-" : "";
        if (decimals == 0)
            snprintf(cell, sizeof(cell), "%s%s%llu", spaces, sign, whole);
        else
            snprintf(cell, sizeof(cell), "%s%s%llu.%0*llu", spaces, sign, whole, decimals,
                     fraction % (unsigned long long)pow(10, decimals));
        const double a = atof(cell), b = ReadNumber(cell);
        ASSERT_TRUE(memcmp(&a, &b, sizeof(a)) == 0) << cell;
        ASSERT_EQ(atoi(cell), ReadInt(cell)) << cell;
    }
}

bool SameBits(double a, double b)
{
    return memcmp(&a, &b, sizeof(a)) == 0;
}

TEST(Numbers, DecimalCommasAndDigitGroupsReadAsTheirPointForm)
{
    struct Case
    {
        const char* text;
        double value;
    };
    const Case cases[] = {
        { "198,06", 198.06 },
        { "1234,5", 1234.5 },
        { "1 234,50", 1234.5 },
        { "1 234.50", 1234.5 },
        { "1\xA0" "234,50", 1234.5 },
        { "  3,75", 3.75 },
        { "-1 234 567,891", -1234567.891 },
        { "+1 000", 1000.0 },
        { "12 345 678", 12345678.0 },
        { "1\xA0" "000\xA0" "000", 1000000.0 },
        { "999 999,999", 999999.999 },
        { ",5", 0.5 },
        { "-,25", -0.25 },
        { "-0,0", -0.0 },
        { "1,5e3", 1500.0 },
        { "1 234,5 руб.", 1234.5 },
        { "12345678901234567,5", 12345678901234567.5 },   // past the short path's 15 digits
        // A group needs exactly three digits after it: the reading stops before
        // the space that has none, as atof's stops at any space.
        { "1 234 5678", 1234.0 },
        { "1 234 56,7", 1234.0 },
    };
    for (const Case& c : cases)
        EXPECT_TRUE(SameBits(c.value, ReadNumber(c.text))) << c.text << ": " << ReadNumber(c.text);
}

TEST(Numbers, TextsOfNeitherFormKeepAtofsReading)
{
    // Near the new forms, but none: the first space is no group separator
    // (a lead of four digits, a group of two or four, two spaces, a tab), or
    // the comma follows a decimal point.
    const char* const cells[] = { "1 23", "1 2345", "1234 567", "1  234", "12 3456", "1\t234", "1 2",
                                  "- 1 234", "1.234,5", "1.5,3", "1.5 000", "a 123", "1 abc", "1e5 000",
                                  "0x1A", " ", "1\xA0" "23", "\xA0" "1 234", "12.5", "  -7.25" };
    for (const char* cell : cells) {
        const double a = atof(cell), b = ReadNumber(cell);
        EXPECT_TRUE(SameBits(a, b) || (a != a && b != b)) << cell << ": " << a << " " << b;
    }
}

// Random amounts written as a Russian-locale spreadsheet writes them read as
// atof reads the same amounts with a point.
TEST(Numbers, WrittenAmountsReadAsAtofReadsTheirPointForm)
{
    zorb::Random rnd{ 28 };
    for (int i = 0; i < 50000; ++i) {
        const unsigned long long whole = rnd.Next() % (i % 2 ? 1000000000000ull : 100000ull);
        const int decimals = rnd.Below(4);
        const unsigned long long fraction = rnd.Next() % 1000ull % (unsigned long long)pow(10, decimals);
        const bool negative = rnd.Below(4) == 0;
        const char separator = rnd.Below(2) ? ' ' : '\xA0';
        char point[64];
        if (decimals)
            snprintf(point, sizeof(point), "%s%llu.%0*llu", negative ? "-" : "", whole, decimals, fraction);
        else
            snprintf(point, sizeof(point), "%s%llu", negative ? "-" : "", whole);
        // The same digits, grouped by three from the point leftwards, with a comma.
        std::string digits = std::to_string(whole);
        std::string written;
        for (size_t k = 0; k < digits.size(); ++k) {
            if (k > 0 && (digits.size() - k) % 3 == 0)
                written += separator;
            written += digits[k];
        }
        if (decimals)
            written += "," + std::string(strchr(point, '.') + 1);
        if (negative)
            written = "-" + written;
        const double a = atof(point), b = ReadNumber(written.c_str());
        ASSERT_TRUE(SameBits(a, b)) << Escaped(written) << " against " << point;
    }
}

}  // namespace
