#include <gtest/gtest.h>

#include "tuning/NoteNames.h"

TEST(NoteNames, FormatsBasicNames)
{
    EXPECT_EQ(FormatNoteName(69, 0), "A4");
    EXPECT_EQ(ParseNoteName("A4"), 69);
}
