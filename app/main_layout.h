#pragma once

#include <array>

#include "twips.h"

// Where the main window's list and six buttons stand, in twips of the client area: the designed
// layout of the normal window, and the layout of a maximized window, computed from the window's
// outer width and height.
struct MainLayout {
    Twips::Rect list;
    // In the order of the two rows: Add, Edit, Delete; Reports, Sample data, Help.
    std::array<Twips::Rect, 6> buttons;

    static MainLayout designed();
    // smallestListHeight: the list never gets less than this (its header and one row).
    static MainLayout maximized(float width, float height, float smallestListHeight);
};
