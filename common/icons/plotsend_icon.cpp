#include "common/icons/plotsend_icon.h"

namespace icons {
namespace {

// . transparent, g sheet edge, w sheet, r the cut line, k blade edge,
// s blade, n holder edge, b holder.
// clang-format off
constexpr PaletteEntry kPalette[] = {
    {'.', {0, 0, 0, 0}},         {'g', {120, 124, 132, 255}}, {'w', {250, 250, 246, 255}},
    {'r', {214, 40, 40, 255}},   {'k', {40, 40, 48, 255}},    {'s', {212, 216, 226, 255}},
    {'n', {22, 44, 100, 255}},   {'b', {46, 104, 200, 255}},
};
// clang-format on

// clang-format off
constexpr std::string_view k16[] = {
    ".............nn.",
    "............nbbn",
    "...........nbbbn",
    "..........nbbbn.",
    ".ggggggggnkbbn..",
    ".gwwwwwwwkskn...",
    ".gwwwwwwwkkng...",
    ".gwwwwrrkwwwg...",
    ".gwwwrrrwwwwg...",
    ".gwwwrwwwwwwg...",
    ".gwwwrwwwwwwg...",
    ".gwwrwwwwwwwg...",
    ".gwwrwwwwwwwg...",
    ".grrwwwwwwwwg...",
    ".gggggggggggg...",
    "................",
};
// clang-format on

// clang-format off
constexpr std::string_view k24[] = {
    "....................nnn.",
    "...................nbbbn",
    "..................nbbbbn",
    ".................nbbbbbn",
    "................nbbbbbn.",
    "...............nbbbbbn..",
    ".gggggggggggggnkbbbbn...",
    ".gwwwwwwwwwwwwkskbbn....",
    ".gwwwwwwwwwwwwksskn.....",
    ".gwwwwwwwwwwwkskkng.....",
    ".gwwwwwwwwwwwkkwwwg.....",
    ".gwwwwwwwrrrkwwwwwg.....",
    ".gwwwwwwrrrrwwwwwwg.....",
    ".gwwwwwwrwwwwwwwwwg.....",
    ".gwwwwwrrwwwwwwwwwg.....",
    ".gwwwwwrrwwwwwwwwwg.....",
    ".gwwwwrrwwwwwwwwwwg.....",
    ".gwwwwrrwwwwwwwwwwg.....",
    ".gwwwwrrwwwwwwwwwwg.....",
    ".gwrwrrwwwwwwwwwwwg.....",
    ".gwrrrrwwwwwwwwwwwg.....",
    ".gwwrrwwwwwwwwwwwwg.....",
    ".gggggggggggggggggg.....",
    "........................",
};
// clang-format on

// clang-format off
constexpr std::string_view k32[] = {
    "................................",
    "...........................nnnn.",
    "..........................nbbbbn",
    ".........................nbbbbbn",
    "........................nbbbbbbn",
    ".......................nbbbbbbbn",
    "......................nbbbbbbbn.",
    ".....................nbbbbbbbn..",
    "....................nbbbbbbbn...",
    "..gggggggggggggggggnkbbbbbbn....",
    "..gwwwwwwwwwwwwwwwwkskbbbbn.....",
    "..gwwwwwwwwwwwwwwwwksskbbn......",
    "..gwwwwwwwwwwwwwwwksssskng......",
    "..gwwwwwwwwwwwwwwwksskknwg......",
    "..gwwwwwwwwwwwwwwkskkwwwwg......",
    "..gwwwwwwwwwwrwwwkkwwwwwwg......",
    "..gwwwwwwwwwrrrrkwwwwwwwwg......",
    "..gwwwwwwwwrrrrrwwwwwwwwwg......",
    "..gwwwwwwwrrrwwrwwwwwwwwwg......",
    "..gwwwwwwwrrwwwwwwwwwwwwwg......",
    "..gwwwwwwwrrwwwwwwwwwwwwwg......",
    "..gwwwwwwrrrwwwwwwwwwwwwwg......",
    "..gwwwwwwrrwwwwwwwwwwwwwwg......",
    "..gwwwwwrrrwwwwwwwwwwwwwwg......",
    "..gwwwwwrrwwwwwwwwwwwwwwwg......",
    "..gwwwwwrrwwwwwwwwwwwwwwwg......",
    "..gwwwwrrrwwwwwwwwwwwwwwwg......",
    "..grrrwrrwwwwwwwwwwwwwwwwg......",
    "..gwrrrrrwwwwwwwwwwwwwwwwg......",
    "..gwwrrrwwwwwwwwwwwwwwwwwg......",
    "..gggggggggggggggggggggggg......",
    "................................",
};
// clang-format on

// clang-format off
constexpr std::string_view k48[] = {
    "................................................",
    ".........................................nnnn...",
    "........................................nbbbbnn.",
    ".......................................nbbbbbbn.",
    "......................................nbbbbbbbbn",
    ".....................................nbbbbbbbbbn",
    "....................................nbbbbbbbbbbn",
    "...................................nbbbbbbbbbbbn",
    "..................................nbbbbbbbbbbbn.",
    ".................................nbbbbbbbbbbbn..",
    "................................nbbbbbbbbbbbn...",
    "...............................nbbbbbbbbbbbn....",
    "..............................nbbbbbbbbbbbn.....",
    "..gggggggggggggggggggggggggggnkbbbbbbbbbbn......",
    "..gwwwwwwwwwwwwwwwwwwwwwwwwwnkskbbbbbbbbn.......",
    "..gwwwwwwwwwwwwwwwwwwwwwwwwwnksskbbbbbbn........",
    "..gwwwwwwwwwwwwwwwwwwwwwwwwwksssskbbbbn.........",
    "..gwwwwwwwwwwwwwwwwwwwwwwwwwkssssskbbn..........",
    "..gwwwwwwwwwwwwwwwwwwwwwwwwkssssssskng..........",
    "..gwwwwwwwwwwwwwwwwwwwwwwwwkssssskknwg..........",
    "..gwwwwwwwwwwwwwwwwwwwwwwwksssskknnwwg..........",
    "..gwwwwwwwwwwwwwwwwwwwwwwwksskkwwwwwwg..........",
    "..gwwwwwwwwwwwwwwwwwwwwwwkskkwwwwwwwwg..........",
    "..gwwwwwwwwwwwwwwwrrrrrwkskwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwwwwrrrrrrrkkwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwwwrrrrrrrkrwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwwwrrrrwrrrrwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwwrrrrwwwrrwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwwrrrrwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwwrrrwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwrrrrwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwrrrwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwrrrwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwrrrrwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwrrrwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwrrrrwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwrrrrwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwrrrwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwrrrrwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwrrrwwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwrrrwwrrrrwwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwrrrrrrrrwwwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwrrrrrrrwwwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwrrrrrwwwwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwrwwwwwwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwg..........",
    "..gggggggggggggggggggggggggggggggggggg..........",
    "................................................",
};
// clang-format on
}  // namespace

std::vector<CharPicture> PlotsendIcon() { return {{kPalette, k16}, {kPalette, k24}, {kPalette, k32}, {kPalette, k48}}; }

}  // namespace icons
