// Every input the fuzzing command ever found failing, run again through the
// same target: the behaviour its rules allow, and no crash or hang.
#include <gtest/gtest.h>

#include <string>

#include "FuzzTargets.h"
#include "TestSupport.h"

namespace {

using namespace fuzz;

const std::string kRegressDir = ORVEX_FUZZ_REGRESS_DIR;

void RunCases(const char* target, Verdict (*run)(const FuzzInput&))
{
    std::vector<FuzzInput> cases = LoadSeeds(kRegressDir + "\\" + target);
    ASSERT_FALSE(cases.empty()) << "no cases under " << kRegressDir << "\\" << target;
    for (size_t i = 0; i < cases.size(); ++i) {
        ScratchDir scratch;
        CurrentDir folder(scratch.Path());
        Verdict v = run(cases[i]);
        EXPECT_TRUE(v.ok) << target << " case " << i << ": " << v.why;
    }
}

#ifdef FUZZ_REGRESS_LISTS
TEST(FuzzRegress, ListFiles) { RunCases("lists", RunListsInput); }
#else
TEST(FuzzRegress, Converter) { RunCases("converter", RunConverterInput); }
#ifdef FUZZ_REGRESS_READER
TEST(FuzzRegress, Reader) { RunCases("reader", RunReaderInput); }
#endif
#endif

}  // namespace
