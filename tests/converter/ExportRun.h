// The converter's tables in a scratch folder that is the current directory, fed kinds,
// goods and report text through the reader, and its exports read back.
#ifndef TESTS_CONVERTER_EXPORTRUN_H
#define TESTS_CONVERTER_EXPORTRUN_H

#include <gtest/gtest.h>

#include <string>

#include "ConverterTables.h"
#include "GoodsListReader.h"
#include "MoveKindsReader.h"
#include "ReportReader.h"
#include "TableExports.h"
#include "TestSupport.h"

struct Export
{
    ScratchDir dir;
    CurrentDir cwd{dir.Path()};
    CFileFunctions files;
    CDelimitedTextReader reader{files};
    CConverterTables tables;
    CTableExports exports{tables};
    std::string buffer;

    bool Feed(const std::string& text, char separator, ITableReceiver* receiver)
    {
        buffer = text;
        return reader.ReadDelimitedText(&buffer[0], (int)buffer.size(), separator, 0, receiver);
    }
    void Load(const std::string& kinds, const std::string& goods, const std::string& report)
    {
        CMoveKindsReader kindsReader(tables);
        kindsReader.Begin();
        ASSERT_TRUE(Feed("K|S|D|M\r\n" + kinds, '|', &kindsReader));
        CGoodsListReader goodsReader(tables);
        goodsReader.Begin();
        ASSERT_TRUE(Feed("C;N;S\r\n" + goods, ';', &goodsReader));
        CReportReader reportReader(tables);
        reportReader.Begin();
        if (!report.empty()) {
            ASSERT_TRUE(Feed(report, '\xA6', &reportReader));
        }
    }
    std::string Read(const char* name)
    {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(dir.File(name), &bytes)) << name;
        return bytes;
    }
};

#endif
