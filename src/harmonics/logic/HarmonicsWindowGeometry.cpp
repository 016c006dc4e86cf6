#include "harmonics/logic/HarmonicsWindowGeometry.h"

#include <algorithm>

namespace HarmonicsDialog {

ZelvoLayout::WindowRect PlaceWindow(ZelvoLayout::WindowRect saved, ZelvoLayout::WindowSize initialSize,
                                    const std::vector<ZelvoLayout::WindowRect>& workAreas, int primary) {
    if (saved.Width() <= 0 || saved.Height() <= 0) {
        saved.right = saved.left + initialSize.width;
        saved.bottom = saved.top + initialSize.height;
    }
    saved.right = saved.left + std::max(saved.Width(), MinimumWidth);
    saved.bottom = saved.top + std::max(saved.Height(), MinimumHeight);
    if (workAreas.empty()) return saved;
    const int chosen = ZelvoLayout::ChooseDisplay(saved, workAreas, primary);
    const int index = chosen >= 0 && chosen < static_cast<int>(workAreas.size()) ? chosen : 0;
    return ZelvoLayout::KeepOnDesktop(saved, workAreas[static_cast<std::size_t>(index)]);
}

GraphRect GraphPlacement(int clientWidth, int clientHeight, double dpiScale) {
    // Truncated, not rounded: the lists' column ends at this pixel.
    const int x = static_cast<int>(dpiScale * 158.0);
    return {x, 4, std::max(0, clientWidth - x - 4), std::max(0, clientHeight - 26)};
}

}  // namespace HarmonicsDialog
