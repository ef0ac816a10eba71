// The viewer's own reading of the converter's tables: numbers (the quick
// reading gives exactly strtod's value, the same forms are taken or refused),
// dates, and the map from a code's full text to the identifier it was given.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>

#include "HostTables.h"

namespace {

uint64_t Bits(double value)
{
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct FormCase
{
    const char* text;
    bool taken;
    double value;
};

TEST(HostNumbers, TakeAndRefuseTheSameForms)
{
    const FormCase cases[] = {
        {"", true, 0.0},          {"0", true, 0.0},           {"12.50000", true, 12.5},
        {"-2.00000", true, -2.0}, {"+3", true, 3.0},          {".5", true, 0.5},
        {"5.", true, 5.0},        {"1e3", true, 1000.0},      {"2.5E-1", true, 0.25},
        {"1e", false, 0.0},       {"1x", false, 0.0},         {"--1", false, 0.0},
        {" 1", false, 0.0},       {"1 ", false, 0.0},         {"1,5", false, 0.0},
        {".", false, 0.0},        {"-", false, 0.0},          {"nan", false, 0.0},
        {"inf", false, 0.0},      {"1e400", false, 0.0},      {"0x10", false, 0.0},
    };
    for (const FormCase& c : cases) {
        double value = -1.0;
        EXPECT_EQ(c.taken, host::ParseNumber(c.text, value)) << '"' << c.text << '"';
        if (c.taken) {
            EXPECT_EQ(c.value, value) << '"' << c.text << '"';
        }
    }
    double value = 1.0;
    ASSERT_TRUE(host::ParseNumber("-0.00000", value));
    EXPECT_EQ(Bits(-0.0), Bits(value));        // a negated zero keeps its sign
}

// Random numbers in the forms the converter writes ("%.5f", integers) and
// longer ones, each read both ways: the bits must be the same.
TEST(HostNumbers, TheQuickReadingGivesStrtodsBits)
{
    std::mt19937_64 random(20260101);
    char text[128];
    int compared = 0;
    for (int i = 0; i < 300000; ++i) {
        double magnitude = std::ldexp((double)(random() >> 11), -(int)(random() % 70));
        switch (i % 6) {
        case 0: snprintf(text, sizeof text, "%.5f", magnitude); break;
        case 1: snprintf(text, sizeof text, "-%.5f", magnitude); break;
        case 2: snprintf(text, sizeof text, "%llu", (unsigned long long)(random() % 100000000000ull)); break;
        case 3: snprintf(text, sizeof text, "%.17g", magnitude); break;                 // up to 17 digits, exponents
        case 4: snprintf(text, sizeof text, "%.22f", magnitude / 1e6); break;           // more digits than exact
        default: snprintf(text, sizeof text, "%llu.%05llu", (unsigned long long)(random() % 10000000000ull),
                          (unsigned long long)(random() % 100000)); break;
        }
        double quick = 0.0;
        if (!host::ParseNumber(text, quick))
            continue;
        ++compared;
        ASSERT_EQ(Bits(strtod(text, NULL)), Bits(quick)) << text;
    }
    EXPECT_GT(compared, 290000);
}

struct DateCase
{
    const char* text;
    bool taken;
    uint32_t date;
};

TEST(HostDates, TakeDayMonthYearAsTheConverterWritesThem)
{
    const DateCase cases[] = {
        {"01.03.05", true, 0x050301},  {"31.12.99", true, 0x630C1F},  {"1.3.5", true, 0x050301},
        {"29.02.104", true, 0x68021D}, {"00.00.00", false, 0},            {"32.03.05", false, 0},
        {"01.13.05", false, 0},        {"01.03.256", false, 0},           {"01.03", false, 0},
        {"01-03-05", false, 0},        {"001.03.05", false, 0},           {"01.03.05 ", false, 0},
    };
    for (const DateCase& c : cases) {
        uint32_t date = 0;
        EXPECT_EQ(c.taken, host::ParseDate(c.text, date)) << c.text;
        if (c.taken) {
            EXPECT_EQ(c.date, date) << c.text;
        }
    }
}

// Full texts, however long, each keep the identifier they were added with; the
// first of equal texts wins; texts that share their start stay apart.
TEST(HostCodeIds, KeepEveryFullTextApartAndTheFirstOfEqualTexts)
{
    host::CodeIds ids;
    EXPECT_EQ(0, ids.Find("A1"));
    const std::string longA(40, 'x'), longB = std::string(39, 'x') + "y";
    ids.Insert(longA, 7);
    ids.Insert(longB, 8);
    ids.Insert("", 9);                 // an empty code is a code like any other
    ids.Insert("A1", 10);
    ids.Insert("A1", 11);              // the first one stays
    ids.Insert("B2", 0);               // a record the plug-in refused
    ids.Insert("B2", 12);
    EXPECT_EQ(7, ids.Find(longA));
    EXPECT_EQ(8, ids.Find(longB));
    EXPECT_EQ(0, ids.Find(longA.substr(0, 31)));
    EXPECT_EQ(9, ids.Find(""));
    EXPECT_EQ(10, ids.Find("A1"));
    EXPECT_EQ(0, ids.Find("B2"));
    EXPECT_EQ(0, ids.Find("A"));
    EXPECT_EQ(5u, ids.Size());             // longA, longB, "", A1, B2
    // Ten thousand codes, as a year's goods: found after every growth.
    host::CodeIds many;
    char code[16];
    for (int k = 0; k < 10000; ++k) {
        snprintf(code, sizeof code, "G%05d", k);
        many.Insert(code, k + 1);
    }
    for (int k = 0; k < 10000; ++k) {
        snprintf(code, sizeof code, "G%05d", k);
        ASSERT_EQ(k + 1, many.Find(code)) << code;
    }
    EXPECT_EQ(0, many.Find("G10000"));
}

}  // namespace
