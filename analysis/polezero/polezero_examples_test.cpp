// The examples' pole and zero files: every entry is accepted as a true pole
// or zero of its circuit, and the deviation tables stored beside them are
// what the computation writes today.
#include <gtest/gtest.h>

#include "analysis/polezero/polezero_run.h"
#include "analysis/polezero/polezero_testing.h"
#include "common/textfile.h"

namespace analysis {
namespace {

struct ExampleSet {
    const char* name;
    int output_node;
    bool poles;
    const char* observer;  // empty: the last element; "auto": the automatic observer
};

const ExampleSet example_sets[] = {
    {"elliptic-ladder", 4, true, ""},
    {"elliptic-ladder", 4, false, ""},
    {"lc-notch", 1, true, ""},
    {"lc-notch", 1, false, ""},
    {"tow-thomas-notch", 9, true, "C1"},
    {"tow-thomas-notch", 9, false, ""},
    {"tow-thomas-biquad", 3, true, "C1"},
    {"gyrator-bandpass", 2, true, ""},
    {"butterworth6-cascade", 10, true, "auto"},
    {"highpass4-twin-sections", 7, true, "auto"},
};

TEST(PoleZeroExamples, EveryEntryIsAcceptedAndTheStoredTableIsReproduced) {
    const std::string examples = std::string(SUITE_SOURCE_DIR) + "/examples/";
    for (const ExampleSet& x : example_sets) {
        SCOPED_TRACE(std::string(x.name) + (x.poles ? " poles" : " zeros"));
        testing::PoleZeroBench b(suite::read_text(examples + x.name + ".net"), x.output_node,
                                 std::string("example_") + x.name);
        const bool automatic = std::string(x.observer) == "auto";
        if (*x.observer && !automatic) b.engine->observer_element = b.element(x.observer);
        const std::string stem = examples + x.name;
        b.answer = x.poles ? stem + ".r" : stem + ".z" + std::to_string(x.output_node);
        PoleZeroContext run = b.context();
        run.auto_observer = automatic;
        ASSERT_TRUE(run_pole_zero(run, x.poles, b.chooser(), b.to_memo()));
        ASSERT_GT(b.set->entry_count, 0);
        for (int k = 1; k <= b.set->entry_count; ++k) EXPECT_TRUE(b.set->entries[k].valid) << "entry " << k;

        const std::string table = (b.dir / "table").string();
        b.answer = table;
        PoleZeroContext c = b.context();
        c.auto_observer = automatic;
        ASSERT_TRUE(save_pole_zero_deviations(c, x.poles, b.chooser(), b.chooser(), b.to_memo()));
        EXPECT_EQ(suite::read_file_bytes(table), suite::read_file_bytes(stem + (x.poles ? ".tsp" : ".tsz")));
    }
}

}  // namespace
}  // namespace analysis
