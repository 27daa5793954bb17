#include "main_layout.h"

#include <algorithm>

namespace {

constexpr float kButtonWidth = 3840;
constexpr float kButtonHeight = 405;

// The two rows of three buttons: 120 apart within a row, the second row 105 below the first.
std::array<Twips::Rect, 6> buttonRows(float firstLeft, float firstTop) {
    const float secondTop = kButtonHeight + firstTop + 105;
    std::array<Twips::Rect, 6> buttons{};
    float left = firstLeft;
    for (size_t column = 0; column < 3; ++column) {
        buttons[column] = {left, firstTop, kButtonWidth, kButtonHeight};
        buttons[column + 3] = {left, secondTop, kButtonWidth, kButtonHeight};
        left = kButtonWidth + left + 120;
    }
    return buttons;
}

}  // namespace

MainLayout MainLayout::designed() {
    return {{120, 120, 11760, 5475}, buttonRows(120, 5680)};
}

MainLayout MainLayout::maximized(float width, float height, float smallestListHeight) {
    const float listWidth = width - 330;
    const float listHeight =
        std::max(height - 2 * kButtonHeight - 315 - 120 - 465, smallestListHeight);
    const float firstLeft = width / 2 - kButtonWidth * 3 / 2 - 480;
    const float firstTop = listHeight + 105 + 120;
    return {{120, 120, listWidth, listHeight}, buttonRows(firstLeft, firstTop)};
}
