// When the walk's helper threads work: only while the walk goes faster with
// them, measured afresh now and then.
#include "filelist/HelperPacer.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

using std::chrono::milliseconds;

struct PacerCase {
    const char* label;
    std::size_t alone;  // work done in the first period, on one thread
    std::size_t helped; // and in the probe with the helpers
    bool keepsHelping;
};

TEST(HelperPacer, HelpersWorkOnlyWhileTheyPay) {
    const PacerCase cases[] = {
        {"a free core: twice as fast", 1000, 2000, true},
        {"no free core: no faster", 1000, 1000, false},
        {"no free core: slower", 1000, 600, false},
        {"barely faster is not worth it", 1000, 1100, false},
        {"nothing done alone, some with help", 0, 10, true},
    };
    for (const PacerCase& c : cases) {
        HelperPacer pacer;
        HelperPacer::Period period = pacer.First();
        EXPECT_FALSE(period.helping) << c.label;
        period = pacer.Next(period, c.alone, period.length);
        ASSERT_TRUE(period.helping) << c.label; // the probe
        const HelperPacer::Period probe = period;
        period = pacer.Next(period, c.helped, period.length);
        EXPECT_EQ(period.helping, c.keepsHelping) << c.label;
        EXPECT_GT(period.length, probe.length) << c.label;
        // After the long period, a short one of the other kind measures it again.
        const HelperPacer::Period again =
            pacer.Next(period, c.keepsHelping ? c.helped * 16 : c.alone * 8, period.length);
        EXPECT_NE(again.helping, period.helping) << c.label;
        EXPECT_EQ(again.length, probe.length) << c.label;
    }
}

} // namespace
} // namespace quorvane
