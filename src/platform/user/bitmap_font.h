// Bitmap faces: the strikes of a .fon file (Windows FNT resources, read by FreeType), as
// the platform serves MS Sans Serif from sserife.fon. A request takes one strike, enlarged by
// a whole factor for heights well beyond the tallest; bold is synthesized from the regular
// strikes.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "platform/user/font.h"

typedef struct FT_FaceRec_* FT_Face;

namespace orvex {

// A strike's cell height and internal leading in pixels (its em height is the difference).
struct StrikeHeight {
  int height = 0;
  int internalLeading = 0;
};

struct StrikeChoice {
  size_t strike = 0;  // index into the strikes given
  int scale = 1;      // whole factor the strike is enlarged by
};

// The strike and factor the platform takes for a request's height (negative: em height,
// positive: cell height, 0: the smallest strike). `strikes` is not empty.
StrikeChoice ChooseStrike(std::span<const StrikeHeight> strikes, int requestHeight);

// The font over `strikes`, the faces of one .fon file (each holding one FNT strike), or null
// when none of them is a FNT strike. The faces are read here only.
std::shared_ptr<const Font> MakeBitmapFont(std::string path, std::span<const FT_Face> strikes,
                                           const FontRequest& request);

}  // namespace orvex
