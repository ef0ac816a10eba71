// The generated sample report goes through the converter: every move row the
// generator wrote under a known goods item (and every rule line) becomes a move.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>

#include "TestSupport.h"

namespace {

int NumberAfter(const std::string& text, const std::string& label)
{
    size_t at = text.find(label);
    return at == std::string::npos ? -1 : atoi(text.c_str() + at + label.size());
}

TEST(SampleReport, ConvertsWithTheCountsTheGeneratorPromises)
{
    ScratchDir dir;
    ProcessResult gen = RunProgram("\"" + ProgramDir() + "\\zorbgen.exe\" -seed 7 -positions 300 -moves 3000 -out \"" +
                                       dir.Path() + "\"",
                                   dir.Path());
    ASSERT_TRUE(gen.started);
    ASSERT_EQ(0u, gen.exitCode) << gen.output;
    int expectedMoves = NumberAfter(gen.output, "expected moves: ");
    ASSERT_GT(expectedMoves, 2900);

    ProcessResult run = RunProgram("\"" + ProgramDir() + "\\fromZORB.exe\"", dir.Path());
    ASSERT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(300, NumberAfter(run.output, "Import positions ... ("));
    EXPECT_EQ(expectedMoves, NumberAfter(run.output, "Import moves ... ("));
    EXPECT_NE(std::string::npos, run.output.find("Start date: 01.01.05\r\n")) << Escaped(run.output);
    EXPECT_NE(std::string::npos, run.output.find("\r\nProgram ended ... ")) << Escaped(run.output);

    std::string moves;
    ASSERT_TRUE(ReadBytes(dir.File("Moves.txt"), &moves));
    // Header, one line per move, then the fictive rows for the days without moves.
    int lines = 0;
    for (char c : moves)
        lines += c == '\n';
    int fictive = NumberAfter(run.output, " added ");
    EXPECT_GT(fictive, 0);   // Sundays carry no moves
    EXPECT_EQ(1 + expectedMoves + fictive, lines);

    // The same seed gives the same report.
    std::string first, second;
    ASSERT_TRUE(ReadBytes(dir.File("ZORB_MVS.txt"), &first));
    ScratchDir again;
    RunProgram("\"" + ProgramDir() + "\\zorbgen.exe\" -seed 7 -positions 300 -moves 3000 -out \"" + again.Path() + "\"",
               again.Path());
    ASSERT_TRUE(ReadBytes(again.File("ZORB_MVS.txt"), &second));
    EXPECT_TRUE(first == second);
}

}  // namespace
