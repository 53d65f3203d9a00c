// The two option groups of the Options menu, Time per Move and Max Search Depth: each item's
// command identifier, the value it selects and its menu text.
//
// Both lists are in selection order, which is also the order of the command state table; the
// "no limit" item (-1) comes last there, while the menu shows it first, above a separator.
// Constant data, read on the user-interface thread.
#pragma once

#include <array>

namespace wintarvo {

struct OptionItem {
    int id;
    int value;  // seconds or plies; -1 for no limit
    const char* text;
};

inline constexpr std::array<OptionItem, 12> TIME_OPTIONS{{
    {32783, 1, "1 second"},
    {32797, 2, "2 seconds"},
    {32810, 3, "3 seconds"},
    {32784, 5, "5 seconds"},
    {32785, 10, "10 seconds"},
    {32798, 15, "15 seconds"},
    {32795, 20, "20 seconds"},
    {32787, 30, "30 seconds"},
    {32786, 60, "1 minute"},
    {32796, 120, "2 minutes"},
    {32794, 300, "5 minutes"},
    {32789, -1, "Unlimited Time"},
}};

inline constexpr std::array<OptionItem, 9> DEPTH_OPTIONS{{
    {32780, 1, "1 Ply (no search)"},
    {32781, 2, "2 Plies"},
    {32782, 3, "3 Plies"},
    {32791, 4, "4 Plies"},
    {32793, 5, "5 Plies"},
    {32799, 6, "6 Plies"},
    {32803, 7, "7 Plies"},
    {32804, 8, "8 Plies"},
    {32790, -1, "Unlimited Depth"},
}};

}  // namespace wintarvo
