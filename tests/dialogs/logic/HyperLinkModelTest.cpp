#include "dialogs/logic/HyperLinkModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

TEST(HyperLinkModel, ColourAndUnderlineFollowPointerAndClicks) {
    constexpr LinkRgb Blue{0, 0, 238}, Purple{85, 26, 139}, Red{255, 0, 0};  // the web's own
    using Step = std::function<void(HyperLinkModel&)>;
    const Step enter = [](HyperLinkModel& m) { m.PointerEntered(); };
    const Step leave = [](HyperLinkModel& m) { m.PointerLeft(); };
    const Step opened = [](HyperLinkModel& m) { m.Clicked(true); };
    const Step failed = [](HyperLinkModel& m) { m.Clicked(false); };
    const struct {
        const char* what;
        std::vector<Step> steps;
        LinkRgb colour;
        bool underlined;
    } cases[] = {
        {"fresh", {}, Blue, false},
        {"hovered", {enter}, Red, true},
        {"hovered and left", {enter, leave}, Blue, false},
        {"opened", {enter, opened}, Purple, false},
        {"open failed", {enter, failed}, Blue, false},
        {"opened, then hovered again", {enter, opened, enter}, Red, true},
        {"opened, hovered and left", {enter, opened, enter, leave}, Purple, false},
        {"opened, failed later: stays visited", {enter, opened, enter, failed}, Purple, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HyperLinkModel model;
        for (const Step& step : c.steps) step(model);
        EXPECT_EQ(model.TextColour(), c.colour);
        EXPECT_EQ(model.Underlined(), c.underlined);
    }
}

TEST(HyperLinkModel, UnderlineModesAndOnlyRealChangesAskForARepaint) {
    const struct {
        LinkUnderline mode;
        bool plain;
        bool hovered;
    } cases[] = {
        {LinkUnderline::WhileHovered, false, true},
        {LinkUnderline::Always, true, true},
        {LinkUnderline::Never, false, false},
    };
    for (const auto& c : cases) {
        HyperLinkModel model;
        model.SetUnderline(c.mode);
        EXPECT_EQ(model.Underlined(), c.plain) << static_cast<int>(c.mode);
        model.PointerEntered();
        EXPECT_EQ(model.Underlined(), c.hovered) << static_cast<int>(c.mode);
    }
    HyperLinkModel model;
    EXPECT_FALSE(model.PointerLeft());
    EXPECT_TRUE(model.PointerEntered());
    EXPECT_FALSE(model.PointerEntered());
    EXPECT_TRUE(model.PointerLeft());
}
