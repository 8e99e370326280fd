#include "engine/drawing/color.h"

namespace zq {

namespace {

// Classic Windows scheme, indexed by system colour number.
constexpr platform::Rgb kSystemColors[31] = {
    0xC8D0D4,  // scroll bar
    0xA56E3A,  // background
    0x6A240A,  // active caption
    0x808080,  // inactive caption
    0xC8D0D4,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC8D0D4,  // active border
    0xC8D0D4,  // inactive border
    0x808080,  // app workspace
    0x6A240A,  // highlight
    0xFFFFFF,  // highlight text
    0xC8D0D4,  // button face
    0x808080,  // button shadow
    0x808080,  // gray text
    0x000000,  // button text
    0xC8D0D4,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x404040,  // 3D dark shadow
    0xC8D0D4,  // 3D light
    0x000000,  // info text
    0xE1FFFF,  // info background
    0xB5B5B5,  // (unused index 25)
    0x800000,  // hot light
    0xF0CAA6,  // gradient active caption
    0xC0C0C0,  // gradient inactive caption
    0x6A240A,  // menu highlight
    0xC8D0D4,  // menu bar
};

constexpr TColor kPalette[kDefaultPaletteSize] = {
    clRed,    clGreen, clYellow, clBlue,   clWhite, clGray,   clFuchsia, clTeal,
    clNavy,   clMaroon, clLime,  clOlive,  clPurple, clSilver, clAqua,   clBlack};

}  // namespace

platform::Rgb ColorToRGB(TColor color) {
  if ((color & 0xFF000000u) == kSystemColorBase) {
    uint32_t index = color & 0xFF;
    return index < 31 ? kSystemColors[index] : 0;
  }
  if (color == clNone || color == clDefault) return 0;
  return color & 0xFFFFFF;
}

TColor DarkenColor(TColor color, int32_t amount) {
  platform::Rgb rgb = ColorToRGB(color);
  auto down = [amount](int32_t channel) { return channel > amount ? channel - amount : 0; };
  return platform::MakeRgb(uint8_t(down(platform::RedOf(rgb))),
                           uint8_t(down(platform::GreenOf(rgb))),
                           uint8_t(down(platform::BlueOf(rgb))));
}

TColor DefaultPaletteColor(int32_t index) {
  int32_t i = index % kDefaultPaletteSize;
  if (i < 0) i += kDefaultPaletteSize;
  return kPalette[i];
}

}  // namespace zq
