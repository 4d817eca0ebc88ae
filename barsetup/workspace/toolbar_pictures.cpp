#include "workspace/toolbar_pictures.h"

namespace barsetup {

// '.' background, K black, W white, R red, B blue, G green, g grey. A
// registration mark is black, an addition has a green plus, the cutter is
// grey with a white feed and a black blade line. Small pictures are 16 x 16,
// large ones 24 x 24.

// "AddHandMark": a mark placed with the pointer.
// clang-format off
constexpr std::string_view kAddHandMarkSmallRows[] = {
    "KKKKK.......GG..",
    "KKKKK.......GG..",
    "KKKKK.....GGGGGG",
    "KKKKK.....GGGGGG",
    "KKKKK.K.....GG..",
    "......KK....GG..",
    "......KWK.......",
    "......KWWK......",
    "......KWWWK.....",
    "......KWWWWK....",
    "......KWWWWWK...",
    "......KWWKKKK...",
    "......KKWK......",
    "......K.KWK.....",
    ".........KWK....",
    "..........K.....",
};
// clang-format on
constexpr CharPicture kAddHandMarkSmall{kButtonPalette, kAddHandMarkSmallRows};
static_assert(IsButtonPicture(kAddHandMarkSmall));

// clang-format off
constexpr std::string_view kAddHandMarkLargeRows[] = {
    "KKKKKKKK..........GGG...",
    "KKKKKKKK..........GGG...",
    "KKKKKKKK..........GGG...",
    "KKKKKKKK.......GGGGGGGGG",
    "KKKKKKKK.......GGGGGGGGG",
    "KKKKKKKK.......GGGGGGGGG",
    "KKKKKKKK.K........GGG...",
    "KKKKKKKK.KK.......GGG...",
    ".........KWK......GGG...",
    ".........KWWK...........",
    ".........KWWWK..........",
    ".........KWWWWK.........",
    ".........KWWWWWK........",
    ".........KWWWWWWK.......",
    ".........KWWWWWWWK......",
    ".........KWWWWWWWWK.....",
    ".........KWWWWWKKKKK....",
    ".........KWWKWWK........",
    ".........KWK.KWWK.......",
    ".........KK..KWWK.......",
    ".........K....KWWK......",
    "..............KWWK......",
    "...............KWWK.....",
    "................KK......",
};
// clang-format on
constexpr CharPicture kAddHandMarkLarge{kButtonPalette, kAddHandMarkLargeRows};
static_assert(IsButtonPicture(kAddHandMarkLarge));

// "AddAutoMark": marks at the four corners, placed automatically.
// clang-format off
constexpr std::string_view kAddAutoMarkSmallRows[] = {
    "KKK..........KKK",
    "KKK..........KKK",
    "KKK..........KKK",
    "......BBBB......",
    ".....BB..BB.....",
    ".....BB..BB.....",
    ".....BBBBBB.....",
    ".....BB..BB.....",
    ".....BB..BB.....",
    ".....BB..BB.....",
    "................",
    "................",
    "................",
    "KKK..........KKK",
    "KKK..........KKK",
    "KKK..........KKK",
};
// clang-format on
constexpr CharPicture kAddAutoMarkSmall{kButtonPalette, kAddAutoMarkSmallRows};
static_assert(IsButtonPicture(kAddAutoMarkSmall));

// clang-format off
constexpr std::string_view kAddAutoMarkLargeRows[] = {
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
    ".........BBBBBB.........",
    "........BBBBBBBB........",
    ".......BBB....BBB.......",
    ".......BBB....BBB.......",
    ".......BBB....BBB.......",
    ".......BBBBBBBBBB.......",
    ".......BBBBBBBBBB.......",
    ".......BBB....BBB.......",
    ".......BBB....BBB.......",
    ".......BBB....BBB.......",
    ".......BBB....BBB.......",
    ".......BBB....BBB.......",
    "........................",
    "........................",
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
    "KKKKK..............KKKKK",
};
// clang-format on
constexpr CharPicture kAddAutoMarkLarge{kButtonPalette, kAddAutoMarkLargeRows};
static_assert(IsButtonPicture(kAddAutoMarkLarge));

// "AddCircleMark": a round mark.
// clang-format off
constexpr std::string_view kAddCircleMarkSmallRows[] = {
    "............GG..",
    "............GG..",
    "..........GGGGGG",
    "..........GGGGGG",
    "....KKKKK...GG..",
    "...KKKKKKK..GG..",
    "..KKKKKKKKK.....",
    ".KKKKKKKKKKK....",
    ".KKKKKKKKKKK....",
    ".KKKKKKKKKKK....",
    ".KKKKKKKKKKK....",
    ".KKKKKKKKKKK....",
    "..KKKKKKKKK.....",
    "...KKKKKKK......",
    "....KKKKK.......",
    "................",
};
// clang-format on
constexpr CharPicture kAddCircleMarkSmall{kButtonPalette, kAddCircleMarkSmallRows};
static_assert(IsButtonPicture(kAddCircleMarkSmall));

// "Delete Mark" (both variants): a mark struck out.
// clang-format off
constexpr std::string_view kDeleteMarkSmallRows[] = {
    "RR............RR",
    ".RR..........RR.",
    "..RR........RR..",
    "...RR......RR...",
    "....RRKKKKRR....",
    "....KRRKKRRK....",
    "....KKRRRRKK....",
    "....KKKRRKKK....",
    "....KKRRRRKK....",
    "....KRRKKRRK....",
    "....RRKKKKRR....",
    "...RRKKKKKKRR...",
    "..RR........RR..",
    ".RR..........RR.",
    "RR............RR",
    "R..............R",
};
// clang-format on
constexpr CharPicture kDeleteMarkSmall{kButtonPalette, kDeleteMarkSmallRows};
static_assert(IsButtonPicture(kDeleteMarkSmall));

// "Output" (both variants): the job goes down into the cutter.
// clang-format off
constexpr std::string_view kOutputSmallRows[] = {
    "......BBBB......",
    "......BBBB......",
    "......BBBB......",
    "......BBBB......",
    "...BBBBBBBBBB...",
    "....BBBBBBBB....",
    ".....BBBBBB.....",
    "......BBBB......",
    ".......BB.......",
    "gggggggggggggggg",
    "gWWWWWWWWWWWWWWg",
    "gWKKKKKKKKKKKKWg",
    "gWWWWWWWWWWWWWWg",
    "gggggggggggggggg",
    ".gg..........gg.",
    ".gg..........gg.",
};
// clang-format on
constexpr CharPicture kOutputSmall{kButtonPalette, kOutputSmallRows};
static_assert(IsButtonPicture(kOutputSmall));

// clang-format off
constexpr std::string_view kOutputLargeRows[] = {
    ".........BBBBBB.........",
    ".........BBBBBB.........",
    ".........BBBBBB.........",
    ".........BBBBBB.........",
    ".........BBBBBB.........",
    ".........BBBBBB.........",
    "....BBBBBBBBBBBBBBBB....",
    ".....BBBBBBBBBBBBBB.....",
    "......BBBBBBBBBBBB......",
    ".......BBBBBBBBBB.......",
    "........BBBBBBBB........",
    ".........BBBBBB.........",
    "..........BBBB..........",
    "........................",
    "gggggggggggggggggggggggg",
    "gWWWWWWWWWWWWWWWWGGGGWWg",
    "gWWWWWWWWWWWWWWWWWWWWWWg",
    "gWKKKKKKKKKKKKKKKKKKKKWg",
    "gWWWWWWWWWWWWWWWWWWWWWWg",
    "gWWWWWWWWWWWWWWWWWWWWWWg",
    "gggggggggggggggggggggggg",
    "..ggg..............ggg..",
    "..ggg..............ggg..",
    "..ggg..............ggg..",
};
// clang-format on
constexpr CharPicture kOutputLarge{kButtonPalette, kOutputLargeRows};
static_assert(IsButtonPicture(kOutputLarge));

// "OutputOutline" (both variants): an outline goes to the cutter.
// clang-format off
constexpr std::string_view kOutputOutlineSmallRows[] = {
    "RRRRRRRRRRRRRRRR",
    "R......BB......R",
    "R......BB......R",
    "R....BBBBBB....R",
    "R.....BBBB.....R",
    "R......BB......R",
    "R..............R",
    "RRRRRRRRRRRRRRRR",
    "................",
    "gggggggggggggggg",
    "gWWWWWWWWWWWWWWg",
    "gWKKKKKKKKKKKKWg",
    "gWWWWWWWWWWWWWWg",
    "gggggggggggggggg",
    ".gg..........gg.",
    ".gg..........gg.",
};
// clang-format on
constexpr CharPicture kOutputOutlineSmall{kButtonPalette, kOutputOutlineSmallRows};
static_assert(IsButtonPicture(kOutputOutlineSmall));

// clang-format off
constexpr std::string_view kOutputOutlineLargeRows[] = {
    "RRRRRRRRRRRRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRRRRRRRRRRR",
    "RR........BBBB........RR",
    "RR........BBBB........RR",
    "RR........BBBB........RR",
    "RR.....BBBBBBBBBB.....RR",
    "RR......BBBBBBBB......RR",
    "RR.......BBBBBB.......RR",
    "RR........BBBB........RR",
    "RR.........BB.........RR",
    "RRRRRRRRRRRRRRRRRRRRRRRR",
    "RRRRRRRRRRRRRRRRRRRRRRRR",
    "........................",
    "........................",
    "gggggggggggggggggggggggg",
    "gWWWWWWWWWWWWWWWWGGGGWWg",
    "gWWWWWWWWWWWWWWWWWWWWWWg",
    "gWKKKKKKKKKKKKKKKKKKKKWg",
    "gWWWWWWWWWWWWWWWWWWWWWWg",
    "gWWWWWWWWWWWWWWWWWWWWWWg",
    "gggggggggggggggggggggggg",
    "..ggg..............ggg..",
    "..ggg..............ggg..",
    "..ggg..............ggg..",
};
// clang-format on
constexpr CharPicture kOutputOutlineLarge{kButtonPalette, kOutputOutlineLargeRows};
static_assert(IsButtonPicture(kOutputOutlineLarge));

// "AddBoundaryLine" (Q5): a boundary line round the work.
// clang-format off
constexpr std::string_view kAddBoundaryLineSmallRows[] = {
    "................",
    ".RRRRRRRRRRRR...",
    ".RRRRRRRRRRRR...",
    ".RR........RR...",
    ".RR........RR...",
    ".RR........RR...",
    ".RR........RR...",
    ".RR........RR...",
    ".RR........RR...",
    ".RR........RR...",
    ".RR........RGG..",
    ".RRRRRRRRRRRGG..",
    ".RRRRRRRRRGGGGGG",
    "..........GGGGGG",
    "............GG..",
    "............GG..",
};
// clang-format on
constexpr CharPicture kAddBoundaryLineSmall{kButtonPalette, kAddBoundaryLineSmallRows};
static_assert(IsButtonPicture(kAddBoundaryLineSmall));

// "AddFourLMark2" (Q5): four L-shaped corner marks.
// clang-format off
constexpr std::string_view kAddFourLMark2SmallRows[] = {
    "KKKKKK....KKKKKK",
    "KKKKKK....KKKKKK",
    "KK............KK",
    "KK............KK",
    "KK............KK",
    "KK............KK",
    "................",
    "................",
    "................",
    "................",
    "KK............KK",
    "KK............KK",
    "KK............KK",
    "KK............KK",
    "KKKKKK....KKKKKK",
    "KKKKKK....KKKKKK",
};
// clang-format on
constexpr CharPicture kAddFourLMark2Small{kButtonPalette, kAddFourLMark2SmallRows};
static_assert(IsButtonPicture(kAddFourLMark2Small));

// "AddCircleMarkQ5" (Q5): a ring mark with its centre dot.
// clang-format off
constexpr std::string_view kAddCircleMarkQ5SmallRows[] = {
    "............GG..",
    "............GG..",
    "..........GGGGGG",
    "..........GGGGGG",
    "....KKKKK...GG..",
    "...KKKKKKK..GG..",
    "..KKK...KKK.....",
    ".KKK.....KKK....",
    ".KK..KKK..KK....",
    ".KK..KKK..KK....",
    ".KK..KKK..KK....",
    ".KKK.....KKK....",
    "..KKK...KKK.....",
    "...KKKKKKK......",
    "....KKKKK.......",
    "................",
};
// clang-format on
constexpr CharPicture kAddCircleMarkQ5Small{kButtonPalette, kAddCircleMarkQ5SmallRows};
static_assert(IsButtonPicture(kAddCircleMarkQ5Small));
std::array<const CharPicture*, 13> AllPictures() {
  return {&kAddHandMarkSmall,    &kAddHandMarkLarge,   &kAddAutoMarkSmall,     &kAddAutoMarkLarge,
          &kAddCircleMarkSmall,  &kDeleteMarkSmall,    &kOutputSmall,          &kOutputLarge,
          &kOutputOutlineSmall,  &kOutputOutlineLarge, &kAddBoundaryLineSmall, &kAddFourLMark2Small,
          &kAddCircleMarkQ5Small};
}

}  // namespace barsetup
