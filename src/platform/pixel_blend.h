#pragma once
// Putting a 0xAARRGGBB picture or a light on an opaque canvas row by row: a
// picture blended by its alpha, or copied; a light brightening what is under
// it. The canvas stays opaque. Written for
// the processor's vector unit where it has one, with the same sums
// everywhere, so every machine draws the same pixels.
//
// A blended picture's colours are kept weighted by its alpha (as Premultiply
// makes them): blending then costs one product a channel, and over black a
// picture is its own colours.

#include <array>
#include <cstdint>

namespace emberlrn {

// Each channel becomes picture + canvas * (255 - a) / 255, rounded, for a
// picture whose colours are weighted by its alpha; the canvas's alpha stays
// 255.
void BlendRow(const uint32_t* picture, uint32_t* canvas, int pixels);

// FillRow with `colour` and then BlendRow, in one pass that never reads the
// canvas: a picture put first where nothing else is drawn.
void BlendRowOver(const uint32_t* picture, uint32_t* canvas, int pixels, uint32_t colour);

// The same as BlendRow for one pixel.
uint32_t BlendPixel(uint32_t picture, uint32_t canvas);

// Sets a canvas row to one colour, with stores that keep it in the cache
// for the drawings blended onto it next.
void FillRow(uint32_t* canvas, int pixels, uint32_t colour);

// Each pixel's colour multiplied by its alpha, over 255, rounded: how a
// blended picture is kept, and so made smaller without the colour of a
// clear pixel bleeding into its neighbours.
void Premultiply(uint32_t* pixels, int count);
// The same for a picture of `height` rows, `pitch` bytes apart.
void PremultiplyRows(void* pixels, int width, int height, int pitch);

// A light brightens what is under it: each channel c becomes
// c + c * weight * level / 255², for the light's weight on that channel and
// a strength from 0 to 255, held at 255. A light is kept as its weights,
// colour times alpha, or, when it is all of one colour, as its alpha alone.

// The weight of a light's colour channel at an alpha, from 0 to 255.
uint32_t LightWeight(uint32_t channel, uint32_t alpha);

// Brightens `pixels` canvas pixels by a light's weights (0xAARRGGBB).
void LightRow(const uint32_t* weights, uint32_t* canvas, int pixels, int level);

// A light of one colour (0x00RRGGBB) at a strength, with the gains each of
// its alphas gives the canvas's channels, made when either changes.
struct LightOfOneColour {
  uint32_t colour = 0;
  int level = -1;
  // By alpha, four 16-bit lanes, blue first: weight times strength in 256ths.
  std::array<uint64_t, 256> gains{};
  void Set(uint32_t lightColour, int strength);
};

// LightRow for a light of one colour kept as its alpha, with the same sums.
void LightRowByAlpha(const uint8_t* alpha, uint32_t* canvas, int pixels,
                     const LightOfOneColour& light);

}  // namespace emberlrn
