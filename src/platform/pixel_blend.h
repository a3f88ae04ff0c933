#pragma once
// Putting one 0xAARRGGBB picture over an opaque canvas row by row: blended
// by the picture's alpha, or copied. The canvas stays opaque. Written for
// the processor's vector unit where it has one, with the same sums
// everywhere, so every machine draws the same pixels.
//
// A blended picture's colours are kept weighted by its alpha (as Premultiply
// makes them): blending then costs one product a channel, and over black a
// picture is its own colours.

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

}  // namespace emberlrn
