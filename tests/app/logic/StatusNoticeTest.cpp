#include "app/logic/StatusNotice.h"

#include <gtest/gtest.h>

TEST(StatusNotice, ShowsANoticeForItsTimeThenTheUsualText) {
    const struct {
        std::uint32_t postedAt, now;
        bool shown;
    } cases[] = {
        {1000, 1000, true},
        {1000, 1000 + StatusNotice::ShowMs - 1, true},
        {1000, 1000 + StatusNotice::ShowMs, false},
        {0xFFFFFF00u, 0x100u, true},  // across the tick counter's wrap
        {0xFFFFFF00u, StatusNotice::ShowMs, false},
    };
    for (const auto& c : cases) {
        StatusNotice notice;
        EXPECT_EQ(notice.Text("A4: 440.000", c.now), "A4: 440.000");
        notice.Post("input overrun: 5 frames dropped", c.postedAt);
        notice.Post("", c.postedAt + 1);  // nothing new: the notice stays
        EXPECT_EQ(notice.Text("A4: 440.000", c.now),
                  c.shown ? "input overrun: 5 frames dropped" : "A4: 440.000")
            << c.postedAt << " " << c.now;
    }
}
