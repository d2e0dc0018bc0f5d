#pragma once
// The touches a plug-in test expects, checked against what the host's sink recorded.

#include "host/RecordingTouchSink.h"

#include <gtest/gtest.h>
#include <vector>

namespace passthrough_tests {

struct Touch {
    bool down;
    GfPoint raw;
};

inline void expectTouches(const std::vector<host::TouchReport>& reports, const std::vector<Touch>& expected)
{
    ASSERT_EQ(reports.size(), expected.size());
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].down, expected[i].down) << "touch " << i;
        EXPECT_EQ(reports[i].raw, expected[i].raw) << "touch " << i;
    }
}

} // namespace passthrough_tests
