// A converter in a scratch folder that is the current directory, fed kinds,
// goods and report text through the reader, and its exports read back.
#ifndef TESTS_CONVERTER_EXPORTRUN_H
#define TESTS_CONVERTER_EXPORTRUN_H

#include <gtest/gtest.h>

#include <string>

#include "ReportConverter.h"
#include "TestSupport.h"

struct Export
{
    ScratchDir dir;
    CurrentDir cwd{dir.Path()};
    CFileFunctions files;
    CDelimitedTextReader reader{files};
    CReportConverter conv{files, reader};
    std::string buffer;

    bool Feed(const std::string& text, char separator)
    {
        buffer = text;
        return reader.ReadDelimitedText(&buffer[0], (int)buffer.size(), separator, 0, &conv);
    }
    void Load(const std::string& kinds, const std::string& goods, const std::string& report)
    {
        conv.BeginMoveTypes();
        ASSERT_TRUE(Feed("K|S|D|M\r\n" + kinds, '|'));
        conv.BeginPositions();
        ASSERT_TRUE(Feed("C;N;S\r\n" + goods, ';'));
        conv.BeginMoves();
        if (!report.empty()) {
            ASSERT_TRUE(Feed(report, '\xA6'));
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
