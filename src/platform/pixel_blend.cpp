#include "platform/pixel_blend.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "platform/vector_unit.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace emberlrn {
namespace {

// x / 255 rounded, for x up to 255 * 255 + 254.
inline uint32_t Div255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

#if defined(__x86_64__)
// Four pixels widened to 16-bit channels, put over the canvas's by their
// alpha: the picture's channels, already weighted, plus the canvas's
// weighted by what the picture leaves of it.
__attribute__((target("avx2"), always_inline)) inline __m256i BlendHalfWide(__m256i s8,
                                                                             __m256i d8) {
  __m256i a = _mm256_shufflelo_epi16(s8, _MM_SHUFFLE(3, 3, 3, 3));
  a = _mm256_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
  __m256i x = _mm256_mullo_epi16(d8, _mm256_sub_epi16(_mm256_set1_epi16(255), a));
  x = _mm256_add_epi16(x, _mm256_set1_epi16(128));
  return _mm256_add_epi16(_mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8), s8);
}

// Eight pixels at a time, in the same steps as the four-at-a-time loop;
// returns how many it did. Over a canvas of one colour (`kOver`), that
// colour stands for the canvas, which is written and never read.
template <bool kOver>
__attribute__((target("avx2"))) int BlendWide(const uint32_t* picture, uint32_t* canvas,
                                              int pixels, uint32_t colour) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i under = _mm256_set1_epi32(static_cast<int>(colour | 0xFF000000u));
  int i = 0;
  if (kOver && (colour & 0x00FFFFFFu) == 0) {
    // Over black a weighted picture is its own colours, made opaque.
    for (; i + 8 <= pixels; i += 8) {
      const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(picture + i));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(canvas + i), _mm256_or_si256(s, opaque));
    }
    return i;
  }
  for (; i + 8 <= pixels; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(picture + i));
    const __m256i alpha = _mm256_and_si256(s, opaque);
    const __m256i clear = _mm256_cmpeq_epi32(alpha, zero);
    const __m256i solid = _mm256_cmpeq_epi32(alpha, opaque);
    const uint32_t clears = static_cast<uint32_t>(_mm256_movemask_epi8(clear));
    const uint32_t solids = static_cast<uint32_t>(_mm256_movemask_epi8(solid));
    auto* at = reinterpret_cast<__m256i*>(canvas + i);
    if (clears == 0xFFFFFFFFu) {
      if (kOver) _mm256_storeu_si256(at, under);
      continue;
    }
    if (solids == 0xFFFFFFFFu) {
      _mm256_storeu_si256(at, s);
      continue;
    }
    const __m256i d = kOver ? under : _mm256_loadu_si256(at);
    if ((clears | solids) == 0xFFFFFFFFu) {
      _mm256_storeu_si256(at, _mm256_blendv_epi8(_mm256_or_si256(d, opaque), s, solid));
      continue;
    }
    // Unpacking and packing both work within each 128-bit half, so the
    // pixels come back in their order.
    const __m256i low = BlendHalfWide(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero));
    const __m256i high = BlendHalfWide(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero));
    _mm256_storeu_si256(at, _mm256_or_si256(_mm256_packus_epi16(low, high), opaque));
  }
  return i;
}
#endif

}  // namespace

void FillRow(uint32_t* canvas, int pixels, uint32_t colour) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
  for (; i + 4 <= pixels; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(canvas + i), four);
#endif
  for (; i < pixels; ++i) canvas[i] = colour;
}

uint32_t BlendPixel(uint32_t picture, uint32_t canvas) {
  const uint32_t a = picture >> 24;
  if (a == 0) return canvas | 0xFF000000u;
  if (a == 255) return picture;
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (picture >> shift) & 0xFF;
    const uint32_t d = (canvas >> shift) & 0xFF;
    out |= std::min<uint32_t>(255, s + Div255(d * (255 - a))) << shift;
  }
  return out;
}

namespace {

// BlendRow, or over a canvas of one colour (`kOver`) BlendRowOver.
template <bool kOver>
void Blend(const uint32_t* picture, uint32_t* canvas, int pixels, uint32_t colour) {
  int i = 0;
#if defined(__x86_64__)
  if (WideVectors()) i = BlendWide<kOver>(picture, canvas, pixels, colour);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i half = _mm_set1_epi16(128);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i under = _mm_set1_epi32(static_cast<int>(colour | 0xFF000000u));
  for (; i + 4 <= pixels; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(picture + i));
    // Four clear pixels leave the canvas; four solid ones replace it; clear
    // and solid ones mixed (the edge of a colour-keyed picture) choose.
    const __m128i alpha = _mm_and_si128(s, opaque);
    const __m128i clear = _mm_cmpeq_epi32(alpha, zero);
    const __m128i solid = _mm_cmpeq_epi32(alpha, opaque);
    const int clears = _mm_movemask_epi8(clear);
    const int solids = _mm_movemask_epi8(solid);
    if (clears == 0xFFFF) {
      if (kOver) _mm_storeu_si128(reinterpret_cast<__m128i*>(canvas + i), under);
      continue;
    }
    if (solids == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(canvas + i), s);
      continue;
    }
    if ((clears | solids) == 0xFFFF) {
      const __m128i kept =
          kOver ? under
                : _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(canvas + i)), opaque);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(canvas + i),
                       _mm_or_si128(_mm_and_si128(solid, s), _mm_andnot_si128(solid, kept)));
      continue;
    }
    const __m128i d = kOver ? under : _mm_loadu_si128(reinterpret_cast<const __m128i*>(canvas + i));
    const auto Half = [&](__m128i s8, __m128i d8) {
      // Each pixel's alpha in all four of its 16-bit lanes.
      __m128i a = _mm_shufflelo_epi16(s8, _MM_SHUFFLE(3, 3, 3, 3));
      a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
      __m128i x = _mm_add_epi16(_mm_mullo_epi16(d8, _mm_sub_epi16(full, a)), half);
      return _mm_add_epi16(_mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8), s8);
    };
    const __m128i low = Half(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
    const __m128i high = Half(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
    const __m128i out = _mm_or_si128(_mm_packus_epi16(low, high), opaque);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(canvas + i), out);
  }
#endif
  for (; i < pixels; ++i) canvas[i] = BlendPixel(picture[i], kOver ? colour : canvas[i]);
}

}  // namespace

void BlendRow(const uint32_t* picture, uint32_t* canvas, int pixels) {
  Blend<false>(picture, canvas, pixels, 0);
}

void BlendRowOver(const uint32_t* picture, uint32_t* canvas, int pixels, uint32_t colour) {
  Blend<true>(picture, canvas, pixels, colour);
}

namespace {

#if defined(__x86_64__)
// Four pixels' 16-bit channels each times its alpha, over 255, rounded.
__attribute__((target("avx2"), always_inline)) inline __m256i WeighHalfWide(__m256i c16,
                                                                             __m256i half) {
  __m256i a = _mm256_shufflelo_epi16(c16, _MM_SHUFFLE(3, 3, 3, 3));
  a = _mm256_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
  const __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(c16, a), half);
  return _mm256_srli_epi16(_mm256_add_epi16(x, _mm256_srli_epi16(x, 8)), 8);
}

// Eight pixels at a time, with the same sums as the loop below; returns
// how many pixels it did.
__attribute__((target("avx2"))) int PremultiplyWide(uint32_t* pixels, int count) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i half = _mm256_set1_epi16(128);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    auto* at = reinterpret_cast<__m256i*>(pixels + i);
    const __m256i p = _mm256_loadu_si256(at);
    const __m256i alpha = _mm256_and_si256(p, opaque);
    if (static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, opaque))) == 0xFFFFFFFFu) continue;
    const __m256i out = _mm256_packus_epi16(WeighHalfWide(_mm256_unpacklo_epi8(p, zero), half),
                                            WeighHalfWide(_mm256_unpackhi_epi8(p, zero), half));
    _mm256_storeu_si256(at, _mm256_or_si256(_mm256_andnot_si256(opaque, out), alpha));
  }
  return i;
}

#endif

}  // namespace

void Premultiply(uint32_t* pixels, int count) {
  int i = 0;
#if defined(__x86_64__)
  if (WideVectors()) i = PremultiplyWide(pixels, count);
#endif
  for (; i < count; ++i) {
    const uint32_t p = pixels[i];
    const uint32_t a = p >> 24;
    if (a == 255) continue;
    if (a == 0) {
      pixels[i] = 0;
      continue;
    }
    pixels[i] = a << 24 | Div255(((p >> 16) & 0xFF) * a) << 16 | Div255(((p >> 8) & 0xFF) * a) << 8 |
                Div255((p & 0xFF) * a);
  }
}


void PremultiplyRows(void* pixels, int width, int height, int pitch) {
  for (int y = 0; y < height; ++y) {
    Premultiply(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitch),
                width);
  }
}

uint32_t LightWeight(uint32_t channel, uint32_t alpha) { return (channel * alpha + 127) / 255; }

namespace {

// The strength in 256ths: level / 255.
uint32_t Strength(int level) { return static_cast<uint32_t>(level) * 258 >> 8; }

#if defined(__x86_64__)
// A light's weight times its strength in 16-bit lanes, as the table holds
// them: (colour * alpha + 127) / 255, the division exact for these sums,
// and the product within 16 bits.
__attribute__((target("avx2"), always_inline)) inline __m256i LightGainsWide(__m256i alpha,
                                                                              __m256i colour,
                                                                              __m256i strength) {
  const __m256i x = _mm256_add_epi16(_mm256_mullo_epi16(alpha, colour), _mm256_set1_epi16(127));
  const __m256i weight = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_add_epi16(x, _mm256_set1_epi16(1)), _mm256_srli_epi16(x, 8)), 8);
  return _mm256_mullo_epi16(weight, strength);
}

// Eight pixels at a time for a light of one colour, its gains worked out
// from each alpha as the table holds them; returns how many it did.
__attribute__((target("avx2"))) int LightWideByAlpha(const uint8_t* alpha, uint32_t* canvas,
                                                     int pixels, const LightOfOneColour& light) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  // Each pixel's colour channels as 16-bit lanes, blue first, nothing for alpha.
  const __m256i colour = _mm256_set1_epi64x(static_cast<int64_t>(
      (light.colour & 0xFF) | ((light.colour >> 8) & 0xFF) << 16 |
      static_cast<uint64_t>((light.colour >> 16) & 0xFF) << 32));
  const __m256i strength = _mm256_set1_epi16(static_cast<int16_t>(Strength(light.level)));
  // The alphas of pixels 0, 1 | 4, 5 and of 2, 3 | 6, 7, each in four lanes,
  // as the canvas's pixels unpack.
  const __m256i lowPixels = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 1, -1, 1, -1, 1, -1, 1, -1,
                                             4, -1, 4, -1, 4, -1, 4, -1, 5, -1, 5, -1, 5, -1, 5, -1);
  const __m256i highPixels = _mm256_setr_epi8(2, -1, 2, -1, 2, -1, 2, -1, 3, -1, 3, -1, 3, -1, 3, -1,
                                              6, -1, 6, -1, 6, -1, 6, -1, 7, -1, 7, -1, 7, -1, 7, -1);
  int x = 0;
  for (; x + 8 <= pixels; x += 8) {
    uint64_t eight;
    std::memcpy(&eight, alpha + x, sizeof eight);
    const __m256i a = _mm256_set1_epi64x(static_cast<int64_t>(eight));
    auto* at = reinterpret_cast<__m256i*>(canvas + x);
    const __m256i c = _mm256_loadu_si256(at);
    const __m256i cLow = _mm256_unpacklo_epi8(c, zero);
    const __m256i cHigh = _mm256_unpackhi_epi8(c, zero);
    const __m256i gainLow = LightGainsWide(_mm256_shuffle_epi8(a, lowPixels), colour, strength);
    const __m256i gainHigh = LightGainsWide(_mm256_shuffle_epi8(a, highPixels), colour, strength);
    const __m256i lit =
        _mm256_packus_epi16(_mm256_add_epi16(cLow, _mm256_mulhi_epu16(cLow, gainLow)),
                            _mm256_add_epi16(cHigh, _mm256_mulhi_epu16(cHigh, gainHigh)));
    _mm256_storeu_si256(at, _mm256_or_si256(lit, opaque));
  }
  return x;
}
#endif

}  // namespace

// In 16-bit lanes four pixels at a time, with the same sums on every path.
void LightRow(const uint32_t* weights, uint32_t* canvas, int pixels, int level) {
  const uint32_t strength = Strength(level);
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i lanes = _mm_set1_epi16(static_cast<int16_t>(strength));
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; x + 4 <= pixels; x += 4) {
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + x));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(canvas + x));
    const __m128i cLow = _mm_unpacklo_epi8(c, zero);
    const __m128i cHigh = _mm_unpackhi_epi8(c, zero);
    const __m128i gainLow = _mm_mullo_epi16(_mm_unpacklo_epi8(w, zero), lanes);
    const __m128i gainHigh = _mm_mullo_epi16(_mm_unpackhi_epi8(w, zero), lanes);
    const __m128i lit = _mm_packus_epi16(_mm_add_epi16(cLow, _mm_mulhi_epu16(cLow, gainLow)),
                                         _mm_add_epi16(cHigh, _mm_mulhi_epu16(cHigh, gainHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(canvas + x), _mm_or_si128(lit, opaque));
  }
#endif
  for (; x < pixels; ++x) {
    const uint32_t w = weights[x];
    const uint32_t c = canvas[x];
    const auto Lit = [&](int shift) {
      const uint32_t v = (c >> shift) & 0xFF;
      const uint32_t gain = ((w >> shift) & 0xFF) * strength;
      return std::min<uint32_t>(255, v + (v * gain >> 16)) << shift;
    };
    canvas[x] = 0xFF000000u | Lit(16) | Lit(8) | Lit(0);
  }
}

void LightOfOneColour::Set(uint32_t lightColour, int strength) {
  if (lightColour == colour && strength == level) return;
  colour = lightColour;
  level = strength;
  const uint64_t s = Strength(strength);
  for (uint32_t a = 0; a < 256; ++a) {
    gains[a] = LightWeight(colour & 0xFF, a) * s | (LightWeight((colour >> 8) & 0xFF, a) * s) << 16 |
               (LightWeight((colour >> 16) & 0xFF, a) * s) << 32;
  }
}

// Each pixel's gains looked up by its alpha, four pixels at a time.
void LightRowByAlpha(const uint8_t* alpha, uint32_t* canvas, int pixels,
                     const LightOfOneColour& light) {
  const std::array<uint64_t, 256>& gains = light.gains;
  int x = 0;
#if defined(__x86_64__)
  if (WideVectors()) x = LightWideByAlpha(alpha, canvas, pixels, light);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; x + 4 <= pixels; x += 4) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(canvas + x));
    const __m128i cLow = _mm_unpacklo_epi8(c, zero);
    const __m128i cHigh = _mm_unpackhi_epi8(c, zero);
    const __m128i gainLow = _mm_set_epi64x(static_cast<int64_t>(gains[alpha[x + 1]]),
                                           static_cast<int64_t>(gains[alpha[x]]));
    const __m128i gainHigh = _mm_set_epi64x(static_cast<int64_t>(gains[alpha[x + 3]]),
                                            static_cast<int64_t>(gains[alpha[x + 2]]));
    const __m128i lit = _mm_packus_epi16(_mm_add_epi16(cLow, _mm_mulhi_epu16(cLow, gainLow)),
                                         _mm_add_epi16(cHigh, _mm_mulhi_epu16(cHigh, gainHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(canvas + x), _mm_or_si128(lit, opaque));
  }
#endif
  for (; x < pixels; ++x) {
    const uint64_t gain = gains[alpha[x]];
    const uint32_t c = canvas[x];
    const auto Lit = [&](int shift, int lane) {
      const uint32_t v = (c >> shift) & 0xFF;
      const auto g = static_cast<uint32_t>((gain >> lane) & 0xFFFF);
      return std::min<uint32_t>(255, v + (v * g >> 16)) << shift;
    };
    canvas[x] = 0xFF000000u | Lit(16, 32) | Lit(8, 16) | Lit(0, 0);
  }
}

}  // namespace emberlrn
