// A store with its tables bound and no window, its list files, the dynamics
// as the dynamics page keeps it, and a progress bar that records what it is
// told.
#ifndef TESTS_PLUGIN_STOREFIXTURE_H
#define TESTS_PLUGIN_STOREFIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cwin/frame/AppFrame.h"
#include "Dynamics.h"
#include "GoodsStore.h"
#include "ListFiles.h"
#include "cwin/controls/ProgBar.h"

class RecordingProgBar : public CProgBar
{
public:
    LRESULT SetRange(int minimum, int maximum, int ignored = 0) override
    {
        calls.push_back("range " + std::to_string(minimum) + ".." + std::to_string(maximum));
        return CProgBar::SetRange(minimum, maximum, ignored);
    }
    LRESULT Step() override
    {
        if (!calls.empty() && calls.back().compare(0, 5, "step ") == 0) {
            int n = std::stoi(calls.back().substr(5));
            calls.back() = "step " + std::to_string(n + 1);
        } else {
            calls.push_back("step 1");
        }
        if (onStep)
            onStep();
        return CProgBar::Step();
    }
    std::vector<std::string> calls;
    std::function<void()> onStep;
};

class StoreTest : public ::testing::Test
{
protected:
    StoreTest() : tables(store.Tables()), files(tables)
    {
        frame.SetProgressBar(&progress);
        store.SetProgressSource(&frame);
    }
    void SetUp() override { ASSERT_TRUE(tables.Bind()); }

    // The dynamics of supplier `selection` in place of the last build, as the
    // button builds it: the frame shows its progress and its message box.
    bool BuildDynamics(int selection) { return dynamics.Rebuild(store, selection, &frame, &frame); }

    CAppFrame frame;
    RecordingProgBar progress;
    CGoodsStore store;
    CStoreTables& tables;
    CListFiles files;
    CDynamics dynamics;
};

inline PackedDate D(int day, int month, int year)
{
    return MakePackedDate((uint32_t)day, (uint32_t)month, (uint32_t)year);
}

#endif
