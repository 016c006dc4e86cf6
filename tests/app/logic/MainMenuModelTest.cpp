#include "app/logic/MainMenuModel.h"

#include <gtest/gtest.h>

#include <set>

#include "app/logic/CommandIds.h"

using namespace MainMenu;

namespace {

std::vector<std::string> Texts(const std::vector<MenuEntry>& entries) {
    std::vector<std::string> texts;
    for (const MenuEntry& e : entries)
        texts.push_back(e.kind == EntryKind::Separator ? "-" : e.text);
    return texts;
}

}  // namespace

TEST(MainMenuModel, TopMenusInOrder) {
    const auto menus = BuildMenuModel();
    ASSERT_EQ(menus.size(), 5u);
    EXPECT_EQ(menus[0].title, "&Tuner");
    EXPECT_EQ(menus[NoteMenuIndex].title, "&Note");
    EXPECT_EQ(menus[2].title, "&Recording");
    EXPECT_EQ(menus[3].title, "&View");
    EXPECT_EQ(menus[4].title, "&Help");
}

TEST(MainMenuModel, ItemTextsAndOrder) {
    const auto menus = BuildMenuModel();
    EXPECT_EQ(Texts(menus[0].entries), (std::vector<std::string>{"E&xit\tAlt+F4"}));
    // The Note Preset submenu is inserted at position 3 at run time, after
    // these three entries.
    EXPECT_EQ(Texts(menus[1].entries),
              (std::vector<std::string>{"&Tuning Settings...\tCtrl+T", "-",
                                        "Edit &Note Presets...\tCtrl+N"}));
    EXPECT_EQ(Texts(menus[2].entries),
              (std::vector<std::string>{"Analysis Quality", "-",
                                        "Recording &Device and Calibration...\tCtrl+D",
                                        "Windows &Recording Control\tCtrl+R"}));
    EXPECT_EQ(Texts(menus[2].entries[0].children),
              (std::vector<std::string>{"Normal", "Fast (less accurate)"}));
    EXPECT_EQ(Texts(menus[3].entries),
              (std::vector<std::string>{"Pixel &Smoothing\tCtrl+S", "&Display Rate", "Cents Label",
                                        "Always on &Top", "-", "&Harmonics Graph\tCtrl+H"}));
    EXPECT_EQ(Texts(menus[3].entries[1].children),
              (std::vector<std::string>{"&Slow", "&Medium", "&Fast"}));
    EXPECT_EQ(Texts(menus[3].entries[2].children),
              (std::vector<std::string>{"Round to 1/10th of a cent", "Round to 1 cent"}));
    EXPECT_EQ(Texts(menus[4].entries),
              (std::vector<std::string>{"&Contents\tF1", "-", "&About..."}));
}

TEST(MainMenuModel, IdsKindsAndPrompts) {
    const auto menus = BuildMenuModel();
    struct Expect {
        int id;
        EntryKind kind;
        const char* help;
    };
    const Expect expected[] = {
        {141, EntryKind::Command, "Exit the tuner application"},
        {142, EntryKind::Command, "Learn more about Zelvo Tuner"},
        {143, EntryKind::Command, "Select the recording device to use"},
        {165, EntryKind::Command, "Start the windows recording control panel"},
        {169, EntryKind::Check, "Toggle smooth graphics on/off"},
        {32790, EntryKind::Radio, "Analyzes tone with nominal settings"},
        {32791, EntryKind::Radio, "Analyzes tone with less latency, but with worse accuracy"},
        {177, EntryKind::Check, ""},
        {178, EntryKind::Check, ""},
        {179, EntryKind::Check, ""},
        {32796, EntryKind::Radio, ""},
        {32797, EntryKind::Radio, ""},
        {32784, EntryKind::Check, ""},
        {32799, EntryKind::Command, ""},
        {219, EntryKind::Command, ""},
        {182, EntryKind::Command, ""},
        {32805, EntryKind::Check, "Keep the tuner above other windows"},
    };
    std::set<int> seen;
    for (const Expect& e : expected) {
        const MenuEntry* entry = FindEntry(menus, e.id);
        ASSERT_NE(entry, nullptr) << e.id;
        EXPECT_EQ(entry->kind, e.kind) << e.id;
        EXPECT_EQ(entry->help, e.help) << e.id;
        seen.insert(e.id);
    }
    // No other command items, and no id twice.
    int commands = 0;
    for (const MenuEntry* entry : FlattenMenu(menus)) {
        if (entry->kind == EntryKind::Separator || entry->kind == EntryKind::Submenu)
            continue;
        ++commands;
        EXPECT_TRUE(seen.count(entry->id)) << entry->text;
    }
    EXPECT_EQ(commands, static_cast<int>(seen.size()));
    // The web-site command has no menu item.
    EXPECT_EQ(FindEntry(menus, CommandId::OpenWebSite), nullptr);
}

TEST(MainMenuModel, ItemsOfLaterDialogsAreShownButNotOffered) {
    const auto menus = BuildMenuModel();
    for (int id : {32799, 219, 143, 32784, 182, 142})
        EXPECT_FALSE(FindEntry(menus, id)->available) << id;
    for (int id : {141, 165, 169, 177, 178, 179, 32790, 32791, 32796, 32797, 32805})
        EXPECT_TRUE(FindEntry(menus, id)->available) << id;
}

TEST(MainMenuModel, AcceleratorTableHoldsOnlyTheFiveCtrlShortcuts) {
    const auto table = BuildAcceleratorTable();
    EXPECT_EQ(table, (std::vector<AcceleratorEntry>{{true, 'T', 32799},
                                                   {true, 'N', 219},
                                                   {true, 'R', 165},
                                                   {true, 'D', 143},
                                                   {true, 'H', 32784}}));
    // Every accelerator is also shown in the text of its item; Ctrl+S and
    // F1 are shown but have no entry.
    const auto menus = BuildMenuModel();
    for (const AcceleratorEntry& a : table)
        EXPECT_EQ(AcceleratorText(FindEntry(menus, a.command)->text), std::string("Ctrl+") + a.key);
    for (const AcceleratorEntry& a : table) {
        EXPECT_NE(a.command, CommandId::PixelSmoothing);
        EXPECT_NE(a.command, CommandId::HelpContents);
    }
    EXPECT_EQ(AcceleratorText("&About..."), "");

    // Every other shown combination except the window system's Alt+F4 is
    // listed as display-only.
    std::vector<std::string> shownOnly;
    for (const MenuEntry* entry : FlattenMenu(menus)) {
        const std::string shown = AcceleratorText(entry->text);
        if (shown.empty() || shown == "Alt+F4")
            continue;
        bool inTable = false;
        for (const AcceleratorEntry& a : table)
            inTable = inTable || (a.command == entry->id);
        if (!inTable)
            shownOnly.push_back(shown);
    }
    EXPECT_EQ(shownOnly, DisplayOnlyShortcuts());
}
