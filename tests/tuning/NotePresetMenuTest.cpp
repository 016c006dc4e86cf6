#include <gtest/gtest.h>

#include "tuning/NotePresetMenu.h"

namespace {

PresetList ThreePresets(int selected)
{
    PresetList list;
    list.entries = {Preset{"Guitar", {}}, Preset{"Bass & Cello", {}}, Preset{"Vi\xC3\xB6la", {}}};
    list.SelectedIndex = selected;
    return list;
}

} // namespace

TEST(NotePresetMenu, EmptyListGivesOneGrayedItem)
{
    const NotePresetMenu fresh;
    NotePresetMenu rebuilt;
    rebuilt.Rebuild(ThreePresets(0));
    rebuilt.Rebuild(PresetList{});  // rebuilding clears the old ids
    for (const NotePresetMenu* menu : {&fresh, static_cast<const NotePresetMenu*>(&rebuilt)}) {
        ASSERT_EQ(menu->Items().size(), 1u);
        const NotePresetMenuItem& item = menu->Items()[0];
        EXPECT_EQ(item.text, "(empty)");
        EXPECT_TRUE(!item.enabled && item.grayed && !item.checked);
        EXPECT_TRUE(menu->CommandMap().empty());
        PresetList list;
        EXPECT_FALSE(menu->Choose(3000, list));
        EXPECT_EQ(list.SelectedIndex, 0);
        EXPECT_FALSE(menu->Update(3000, list).enabled);
    }
}

TEST(NotePresetMenu, ItemsIdsUpdateAndChoose)
{
    NotePresetMenu menu;
    PresetList list = ThreePresets(1);
    menu.Rebuild(list);
    ASSERT_EQ(menu.Items().size(), 3u);
    const char* names[] = {"Guitar", "Bass & Cello", "Vi\xC3\xB6la"};
    for (int i = 0; i < 3; ++i) {
        const NotePresetMenuItem& item = menu.Items()[i];
        EXPECT_EQ(item.text, names[i]);
        EXPECT_EQ(item.id, 3000 + i);
        EXPECT_TRUE(item.enabled && !item.grayed);
        EXPECT_EQ(item.checked, i == 1);
        EXPECT_EQ(menu.IndexForCommand(3000 + i), i);
        EXPECT_TRUE(menu.Update(3000 + i, list).enabled);
        EXPECT_EQ(menu.Update(3000 + i, list).checked, i == 1);
    }
    EXPECT_FALSE(menu.IndexForCommand(2999).has_value());
    EXPECT_FALSE(menu.Update(3003, list).enabled);  // in the routed range, not mapped

    EXPECT_TRUE(menu.Choose(3002, list));
    EXPECT_EQ(list.SelectedIndex, 2);
    EXPECT_TRUE(menu.Update(3002, list).checked);
    EXPECT_FALSE(menu.Choose(3005, list));
    EXPECT_FALSE(menu.Choose(13000, list));
    EXPECT_EQ(list.SelectedIndex, 2);

    // A selection outside the list checks nothing and leaves every item usable.
    list.SelectedIndex = -4;
    menu.Rebuild(list);
    for (int id = 3000; id < 3003; ++id) {
        EXPECT_FALSE(menu.Items()[id - 3000].checked);
        EXPECT_TRUE(menu.Update(id, list).enabled);
        EXPECT_FALSE(menu.Update(id, list).checked);
    }
}

TEST(NotePresetMenu, IdsStayInsideTheRoutedRange)
{
    PresetList list;
    list.entries.resize(10005);
    NotePresetMenu menu;
    menu.Rebuild(list);
    EXPECT_EQ(menu.Items().size(), 10001u);
    EXPECT_EQ(menu.Items().back().id, NotePresetLastCommandId);
    EXPECT_EQ(menu.IndexForCommand(13000), 10000);
    EXPECT_FALSE(menu.IndexForCommand(13001).has_value());
}
