#include "dialogs/logic/HyperLinkModel.h"

LinkRgb HyperLinkModel::TextColour() const {
    if (m_hovered) return HoverColour;
    return m_visited ? VisitedColour : LinkColour;
}

bool HyperLinkModel::Underlined() const {
    switch (m_underline) {
        case LinkUnderline::Always: return true;
        case LinkUnderline::Never: return false;
        case LinkUnderline::WhileHovered: return m_hovered;
    }
    return false;
}

bool HyperLinkModel::PointerEntered() {
    if (m_hovered) return false;
    m_hovered = true;
    return true;
}

bool HyperLinkModel::PointerLeft() {
    if (!m_hovered) return false;
    m_hovered = false;
    return true;
}

void HyperLinkModel::Clicked(bool opened) {
    m_hovered = false;
    if (opened) m_visited = true;
}
