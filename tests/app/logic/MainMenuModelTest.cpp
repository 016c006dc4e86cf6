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
    EXPECT_EQ(ids.size(), 18u);
    EXPECT_EQ(FindEntry(menus, CommandId::OpenWebSite), nullptr);
    for (const int id : {CommandId::HelpContents, CommandId::About})
        EXPECT_TRUE(FindEntry(menus, id)->available);
}

TEST(MainMenuModel, EveryShownShortcutIsAnAcceleratorOrWaitsForItsCommand) {
    const auto table = BuildAcceleratorTable();
    EXPECT_EQ(table, (std::vector<AcceleratorEntry>{{true, 'T', 32799},
                                                    {true, 'N', 219},
                                                    {true, 'R', 165},
                                                    {true, 'D', 143},
                                                    {true, 'H', 32784},
                                                    {true, 'S', 169}}));
    // Every accelerator is shown in the text of its item.
    const auto menus = BuildMenuModel();
    for (const AcceleratorEntry& a : table)
        EXPECT_EQ(AcceleratorText(FindEntry(menus, a.command)->text), std::string("Ctrl+") + a.key);
    EXPECT_EQ(AcceleratorText("&About..."), "");

    // Every other shown combination is the window system's Alt+F4 or the F1
    // of the help item, which the toolkit takes from the item's text: none is
    // shown without its command.
    std::vector<int> shownWithoutAccelerator;
    for (const MenuEntry* entry : FlattenMenu(menus)) {
        const std::string shown = AcceleratorText(entry->text);
        bool inTable = false;
        for (const AcceleratorEntry& a : table) inTable = inTable || (a.command == entry->id);
        if (!shown.empty() && shown != "Alt+F4" && !inTable) shownWithoutAccelerator.push_back(entry->id);
    }
    EXPECT_EQ(shownWithoutAccelerator, (std::vector<int>{CommandId::HelpContents}));
    EXPECT_EQ(AcceleratorText(FindEntry(menus, CommandId::HelpContents)->text), "F1");
    EXPECT_TRUE(DisplayOnlyShortcuts().empty());
}

TEST(MainMenuModel, OnlyWindowsNamesWindowsForTheRecordingControl) {
    using MainWindowRules::Platform;
    const struct {
        Platform platform;
        const char* text;
        const char* help;
        const char* failure;
    } cases[] = {
        {Platform::Windows, "Windows &Recording Control\tCtrl+R", "Start the windows recording control panel",
         "Unable to launch the Windows Recording Control Panel."},
        {Platform::Linux, "System &Recording Control\tCtrl+R", "Start the system's recording control",
         "Unable to launch the system's recording control (pavucontrol or the desktop's sound settings)."},
    };
    for (const auto& c : cases) {
        const auto menus = BuildMenuModel(c.platform);
        const MenuEntry* item = FindEntry(menus, CommandId::RecordingControl);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text, c.text);
        EXPECT_EQ(item->help, c.help);
        EXPECT_STREQ(MainWindowRules::RecordingControlFailedMessage(c.platform), c.failure);
    }
}
