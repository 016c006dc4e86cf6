#include <gtest/gtest.h>

#include "app/logic/NotePresetMenu.h"

TEST(NotePresetMenu, EmptyListGivesOneGrayedItem) {
    const NotePresetMenu fresh;
    NotePresetMenu rebuilt;
    rebuilt.Rebuild(PresetList{{Preset{"Guitar", {}}}, 0});
    rebuilt.Rebuild(PresetList{});  // rebuilding clears the old ids
    for (const NotePresetMenu* menu : {&fresh, static_cast<const NotePresetMenu*>(&rebuilt)}) {
        ASSERT_EQ(menu->Items().size(), 1u);
        const NotePresetMenuItem& item = menu->Items()[0];
        EXPECT_TRUE(item.text == "(empty)" && !item.enabled && item.grayed && !item.checked);
        EXPECT_TRUE(menu->CommandMap().empty());
        PresetList list;
        EXPECT_FALSE(menu->Choose(3000, list));
        EXPECT_EQ(list.SelectedIndex, 0);
        EXPECT_FALSE(menu->Update(3000, list).enabled);
    }
}

TEST(NotePresetMenu, ItemsIdsUpdateAndChoose) {
    PresetList list{{Preset{"Guitar", {}}, Preset{"Bass & Cello", {}}, Preset{"Vi\xC3\xB6la", {}}}, 1};
    NotePresetMenu menu;
    menu.Rebuild(list);
    ASSERT_EQ(menu.Items().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const NotePresetMenuItem& item = menu.Items()[i];
        EXPECT_TRUE(item.text == list.entries[i].name && item.id == 3000 + i && item.enabled && !item.grayed)
            << i;
        EXPECT_EQ(item.checked, i == 1);
        EXPECT_EQ(menu.IndexForCommand(3000 + i), i);
        EXPECT_TRUE(menu.Update(3000 + i, list).enabled);
        EXPECT_EQ(menu.Update(3000 + i, list).checked, i == 1);
    }
    EXPECT_FALSE(menu.IndexForCommand(2999).has_value());
    EXPECT_FALSE(menu.Update(3003, list).enabled);  // in the routed range, not mapped
    EXPECT_TRUE(menu.Choose(3002, list));
    EXPECT_TRUE(menu.Update(3002, list).checked);
    EXPECT_FALSE(menu.Choose(3005, list) || menu.Choose(13000, list));
    EXPECT_EQ(list.SelectedIndex, 2);

    // A selection outside the list checks nothing and leaves every item usable.
    list.SelectedIndex = -4;
    menu.Rebuild(list);
    for (int id = 3000; id < 3003; ++id) {
        EXPECT_FALSE(menu.Items()[id - 3000].checked || menu.Update(id, list).checked);
        EXPECT_TRUE(menu.Update(id, list).enabled);
    }

    // Ids stay inside the routed range however long the list.
    list.entries.resize(10005);
    menu.Rebuild(list);
    EXPECT_EQ(menu.Items().size(), 10001u);
    EXPECT_EQ(menu.Items().back().id, NotePresetLastCommandId);
    EXPECT_EQ(menu.IndexForCommand(13000), 10000);
    EXPECT_FALSE(menu.IndexForCommand(13001).has_value());
}
