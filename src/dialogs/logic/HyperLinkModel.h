#pragma once
// What a hyperlink shows and when it changes, apart from drawing: its text
// colour, whether it is underlined, and the pointer-over and visited flags
// that decide both.

#include <cstdint>

struct LinkRgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const LinkRgb&) const = default;
};

enum class LinkUnderline {
    WhileHovered = -1,  // underlined only while the pointer is over the link
    Never = 0,
    Always = 1,
};

class HyperLinkModel {
public:
    static constexpr LinkRgb LinkColour{0, 0, 238};
    static constexpr LinkRgb VisitedColour{85, 26, 139};
    static constexpr LinkRgb HoverColour{255, 0, 0};

    // Hover wins over visited, visited over the plain link colour.
    LinkRgb TextColour() const;
    bool Underlined() const;

    bool Hovered() const { return m_hovered; }
    bool Visited() const { return m_visited; }
    LinkUnderline Underline() const { return m_underline; }
    void SetUnderline(LinkUnderline mode) { m_underline = mode; }

    // The pointer entered or left the control. True when the look changed.
    bool PointerEntered();
    bool PointerLeft();

    // A click: the pointer is treated as gone (the browser takes over), and
    // only an address that opened marks the link visited.
    void Clicked(bool opened);

private:
    LinkUnderline m_underline = LinkUnderline::WhileHovered;
    bool m_hovered = false;
    bool m_visited = false;
};
