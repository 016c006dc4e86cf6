#include "app/logic/MainMenuModel.h"

#include <gtest/gtest.h>

#include <set>

#include "app/logic/CommandIds.h"

using namespace MainMenu;

TEST(MainMenuModel, TopMenusAndUniqueCommandIds) {
    const auto menus = BuildMenuModel();
    std::vector<std::string> titles;
    for (const TopMenu& m : menus) titles.push_back(m.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"&Tuner", "&Note", "&Recording", "&View", "&Help"}));

    // Every command item has its own id; the web-site command has no item.
    std::set<int> ids;
    for (const MenuEntry* entry : FlattenMenu(menus)) {
        if (entry->kind == EntryKind::Separator || entry->kind == EntryKind::Submenu) continue;
        EXPECT_NE(entry->id, 0) << entry->text;
        EXPECT_TRUE(ids.insert(entry->id).second) << "id twice: " << entry->id;
    }
    EXPECT_EQ(ids.size(), 17u);
    EXPECT_EQ(FindEntry(menus, CommandId::OpenWebSite), nullptr);
}

TEST(MainMenuModel, AcceleratorTableHoldsOnlyTheFiveCtrlShortcuts) {
    const auto table = BuildAcceleratorTable();
    EXPECT_EQ(
        table,
        (std::vector<AcceleratorEntry>{
            {true, 'T', 32799}, {true, 'N', 219}, {true, 'R', 165}, {true, 'D', 143}, {true, 'H', 32784}}));
    // Every accelerator is shown in the text of its item.
    const auto menus = BuildMenuModel();
    for (const AcceleratorEntry& a : table)
        EXPECT_EQ(AcceleratorText(FindEntry(menus, a.command)->text), std::string("Ctrl+") + a.key);
    EXPECT_EQ(AcceleratorText("&About..."), "");

    // Every other shown combination except the window system's Alt+F4
    // (Ctrl+S, F1) is listed as display-only.
    std::vector<std::string> shownOnly;
    for (const MenuEntry* entry : FlattenMenu(menus)) {
        const std::string shown = AcceleratorText(entry->text);
        bool inTable = false;
        for (const AcceleratorEntry& a : table) inTable = inTable || (a.command == entry->id);
        if (!shown.empty() && shown != "Alt+F4" && !inTable) shownOnly.push_back(shown);
    }
    EXPECT_EQ(shownOnly, DisplayOnlyShortcuts());
    EXPECT_EQ(shownOnly, (std::vector<std::string>{"Ctrl+S", "F1"}));
}
