// The two windows under a window manager: activating either brings both to
// the front, the activated one on top, and the stacking settles instead of
// the two raising each other for ever. Skipped without a window manager.

#include <string>
#include <vector>

#include <wx/frame.h>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "harmonics/HarmonicsDialog.h"

// Last: Xlib defines names (Status, None) that the headers above use.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// The titles of the managed windows, bottom to top, as the window manager
// stacks them.
std::vector<std::string> StackedTitles() {
    std::vector<std::string> titles;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return titles;
    const Atom stacking = XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), stacking, 0, 1024, False, XA_WINDOW, &type,
                           &format, &count, &remaining, &data) == Success &&
        data) {
        const auto* windows = reinterpret_cast<const Window*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            char* name = nullptr;
            if (XFetchName(display, windows[i], &name) && name) {
                titles.emplace_back(name);
                XFree(name);
            }
        }
        XFree(data);
    }
    XCloseDisplay(display);
    return titles;
}

class HarmonicsStacking : public WindowTest {
protected:
    void SetUp() override {
        const char* manager = std::getenv("ZELVO_TEST_WINDOW_MANAGER");
        if (!manager || !*manager) GTEST_SKIP() << "no window manager on this X server";
    }
};

}  // namespace

TEST_F(HarmonicsStacking, ActivatingEitherWindowBringsBothToTheFront) {
    Start();
    Command(CommandId::HarmonicsGraph);
    CHarmonicsDialog* dialog = w->HarmonicsDialog();
    ASSERT_NE(dialog, nullptr);
    auto* other = new wxFrame(nullptr, wxID_ANY, "Another Program");
    other->Show();
    PumpFor(300ms);

    int activations = 0;
    auto count = [&activations](wxActivateEvent& e) {
        if (e.GetActive()) ++activations;
        e.Skip();
    };
    w->Bind(wxEVT_ACTIVATE, count);
    dialog->Bind(wxEVT_ACTIVATE, count);

    struct Case {
        wxTopLevelWindow* activated;
        std::vector<std::string> topTwo;  // below, on top
    };
    for (const Case& c : std::vector<Case>{{w, {"Harmonics Graph", "Zelvo Tuner 1"}},
                                           {dialog, {"Zelvo Tuner 1", "Harmonics Graph"}}}) {
        other->Raise();
        PumpFor(300ms);
        ASSERT_EQ(StackedTitles().back(), "Another Program");
        activations = 0;
        c.activated->Raise();  // the toolkit's Raise presents, that is activates
        ASSERT_TRUE(PumpUntil(
            [&] {
                const auto titles = StackedTitles();
                return titles.size() >= 3 &&
                       std::vector<std::string>(titles.end() - 2, titles.end()) == c.topTwo;
            },
            2000ms))
            << c.topTwo.back();
        // Settled: no further activations once both are up.
        PumpFor(500ms);
        EXPECT_LE(activations, 2) << c.topTwo.back();
        const auto titles = StackedTitles();
        EXPECT_EQ(std::vector<std::string>(titles.end() - 2, titles.end()), c.topTwo);
    }
    other->Destroy();
}

TEST_F(HarmonicsStacking, ARestartOpensTheWindowWhereItWas) {
    Start();
    Command(CommandId::HarmonicsGraph);
    ASSERT_NE(w->HarmonicsDialog(), nullptr);
    PumpFor(500ms);
    w->HarmonicsDialog()->Move(400, 300);
    PumpFor(500ms);
    const wxRect before = w->HarmonicsDialog()->GetRect();
    CloseWindow();
    Start();
    ASSERT_NE(w->HarmonicsDialog(), nullptr);
    PumpFor(800ms);
    // The window manager's frame is not added on every start.
    EXPECT_EQ(w->HarmonicsDialog()->GetRect(), before);
}
