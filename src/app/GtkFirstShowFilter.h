#pragma once
// Keeps one known, harmless GTK complaint off standard error while a
// top-level window is shown for the first time.
//
// Under an X11 window manager, wxGTK holds back the first show of a top-level
// window until the manager has told it the size of the frame, and meanwhile
// keeps the window at a placeholder width of one or two pixels. When the
// window is then shown, GTK lays the menu bar out once at that placeholder
// width (less than its five titles need) before the window gets its real size,
// and reports "gtk_distribute_natural_allocation: assertion 'extra_space >= 0'
// failed". Every window with a menu bar does this; the layout at the real size
// that follows is right. The filter drops exactly that message, passes every
// other message on to GLib's default handler, and is removed once the window
// is on screen. It does nothing outside GTK.

class GtkFirstShowFilter {
public:
    GtkFirstShowFilter();
    ~GtkFirstShowFilter();

    GtkFirstShowFilter(const GtkFirstShowFilter&) = delete;
    GtkFirstShowFilter& operator=(const GtkFirstShowFilter&) = delete;

    // The message the filter drops.
    static constexpr const char* DroppedMessage =
        "gtk_distribute_natural_allocation: assertion 'extra_space >= 0' failed";

private:
    unsigned int m_handlerId = 0;  // 0: not installed
};
