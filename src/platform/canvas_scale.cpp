#include "platform/canvas_scale.h"

#include <algorithm>
#include <cmath>
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

// Two pixels mixed, each channel as (a * (256 - w) + b * w) / 256: red and
// blue, then alpha and green, side by side in one 32-bit multiply each.
inline uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
  const uint32_t keep = 256 - w;
  const uint32_t rb = (((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
  const uint32_t ag = (((a >> 8) & 0xFF00FFu) * keep + ((b >> 8) & 0xFF00FFu) * w) & 0xFF00FF00u;
  return rb | ag;
}

#if defined(__x86_64__)
__attribute__((target("avx2"), always_inline)) inline __m256i MixHalfWide(__m256i a16, __m256i b16,
                                                                           __m256i keeps,
                                                                           __m256i takes) {
  return _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(a16, keeps), _mm256_mullo_epi16(b16, takes)), 8);
}

// MixRows's sums 32 bytes at a time; returns how many bytes it did.
__attribute__((target("avx2"))) size_t MixWide(const uint8_t* pa, const uint8_t* pb,
                                               uint8_t* po, size_t bytes, uint16_t keep,
                                               uint16_t take) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i keeps = _mm256_set1_epi16(static_cast<short>(keep));
  const __m256i takes = _mm256_set1_epi16(static_cast<short>(take));
  size_t i = 0;
  for (; i + 32 <= bytes; i += 32) {
    const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pa + i));
    const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pb + i));
    const __m256i low = MixHalfWide(_mm256_unpacklo_epi8(va, zero), _mm256_unpacklo_epi8(vb, zero),
                                    keeps, takes);
    const __m256i high = MixHalfWide(_mm256_unpackhi_epi8(va, zero),
                                     _mm256_unpackhi_epi8(vb, zero), keeps, takes);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(po + i), _mm256_packus_epi16(low, high));
  }
  return i;
}
#endif

// Whole rows mixed byte by byte, the same sums as Mix; written so that the
// compiler does it many bytes at a time.
void MixRows(const uint32_t* a, const uint32_t* b, uint32_t* out, int pixels, uint32_t w) {
  if (w == 0) {
    std::memcpy(out, a, sizeof(uint32_t) * static_cast<size_t>(pixels));
    return;
  }
  const auto* pa = reinterpret_cast<const uint8_t*>(a);
  const auto* pb = reinterpret_cast<const uint8_t*>(b);
  auto* po = reinterpret_cast<uint8_t*>(out);
  const uint16_t keep = static_cast<uint16_t>(256 - w);
  const uint16_t take = static_cast<uint16_t>(w);
  const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(pixels);
  size_t i = 0;
#if defined(__x86_64__)
  if (WideVectors()) i = MixWide(pa, pb, po, bytes, keep, take);
#endif
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i keeps = _mm_set1_epi16(static_cast<short>(keep));
  const __m128i takes = _mm_set1_epi16(static_cast<short>(take));
  for (; i + 16 <= bytes; i += 16) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pa + i));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb + i));
    const auto Half = [&](__m128i a16, __m128i b16) {
      return _mm_srli_epi16(
          _mm_add_epi16(_mm_mullo_epi16(a16, keeps), _mm_mullo_epi16(b16, takes)), 8);
    };
    const __m128i low = Half(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero));
    const __m128i high = Half(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(po + i), _mm_packus_epi16(low, high));
  }
#endif
  for (; i < bytes; ++i) {
    po[i] = static_cast<uint8_t>((pa[i] * keep + pb[i] * take) >> 8);
  }
}

#if defined(__x86_64__)
// Two window pixels, each from its two canvas neighbours at `a` and `b`
// weighted by its lanes, as 16-bit channels in the low half of each 128 bits.
__attribute__((target("avx2"), always_inline)) inline __m256i FilteredPairWide(
    const uint32_t* row, int a, int b, const uint16_t* lanesA, const uint16_t* lanesB) {
  const __m256i pairs = _mm256_cvtepu8_epi16(
      _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + a)),
                         _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + b))));
  const __m256i lanes = _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(lanesA))),
      _mm_load_si128(reinterpret_cast<const __m128i*>(lanesB)), 1);
  const __m256i w = _mm256_mullo_epi16(pairs, lanes);
  return _mm256_srli_epi16(_mm256_add_epi16(w, _mm256_srli_si256(w, 8)), 8);
}

// Four canvas pixels from `at` as 16-bit channels.
__attribute__((target("avx2"), always_inline)) inline __m256i Widened(const uint32_t* row, int at) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at)));
}

// A canvas row doubled: window pixels 2k and 2k + 1 for four k at a time
// from `k` up to `end`, each three quarters of canvas pixel k and a quarter
// of its neighbour on that side, the same sums as Mix with weights 192 and
// 64. It reads pixels k - 1 to end; returns the k it reached.
__attribute__((target("avx2"))) int DoubleWide(const uint32_t* row, int k, int end,
                                               uint32_t* out) {
  const __m256i three = _mm256_set1_epi16(192);
  const __m256i one = _mm256_set1_epi16(64);
  for (; k + 4 <= end; k += 4, out += 8) {
    const __m256i middle = _mm256_mullo_epi16(Widened(row, k), three);
    const __m256i even =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(Widened(row, k - 1), one), middle), 8);
    const __m256i odd =
        _mm256_srli_epi16(_mm256_add_epi16(middle, _mm256_mullo_epi16(Widened(row, k + 1), one)), 8);
    // Packed, each half holds two even pixels and then two odd ones.
    const __m256i packed =
        _mm256_shuffle_epi32(_mm256_packus_epi16(even, odd), _MM_SHUFFLE(3, 1, 2, 0));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), packed);
  }
  return k;
}

// FilterRow's sums four window pixels at a time, each tap's pair widened to
// one 128-bit half; returns how many pixels it did.
template <typename Tap>
__attribute__((target("avx2"))) int FilterWide(const uint32_t* row, const Tap* tap, int width,
                                               uint32_t* out) {
  // Packed, the four pixels stand as 0, 2 | 1, 3; put them in order.
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 0, 0, 0, 0);
  int i = 0;
  for (; i + 4 <= width; i += 4, tap += 4) {
    const __m256i first = FilteredPairWide(row, tap[0].pair, tap[1].pair, tap[0].lanes, tap[1].lanes);
    const __m256i second = FilteredPairWide(row, tap[2].pair, tap[3].pair, tap[2].lanes, tap[3].lanes);
    const __m256i both = _mm256_unpacklo_epi64(first, second);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(both, both), order);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(packed));
  }
  return i;
}
#endif

}  // namespace

int ZoomedEdge(int at, double zoom) {
  // A hair below the half, so that a whole zoom's edges stay where they are.
  return static_cast<int>(std::ceil(at * zoom - 0.5 - 1e-9));
}

std::vector<CanvasScale::Tap> CanvasScale::Taps(int canvasSize, int fitSize, double across,
                                                double over, double offset) {
  std::vector<Tap> taps(static_cast<size_t>(std::max(fitSize, 0)));
  for (int i = 0; i < fitSize; ++i) {
    // The centre of window pixel i, in canvas pixels, measured from the
    // centre of the first canvas pixel; the edges repeat the edge pixels.
    const double at = (i + 0.5) * across / over + offset - 0.5;
    const double clamped = std::clamp(at, 0.0, static_cast<double>(canvasSize - 1));
    const int first = static_cast<int>(std::floor(clamped));
    Tap& tap = taps[static_cast<size_t>(i)];
    tap.first = first;
    tap.second = std::min(first + 1, canvasSize - 1);
    tap.weight = static_cast<uint32_t>(std::lround((clamped - first) * 256.0));
    if (tap.weight >= 256) {
      tap.first = tap.second;
      tap.weight = 0;
    }
    if (tap.weight == 0) tap.second = tap.first;
    // A pixel taken whole is read beside its right neighbour, or at the
    // row's end beside its left one, with a weight of nothing on the other.
    uint32_t pairWeight = tap.weight;
    tap.pair = tap.first;
    if (tap.second == tap.first && tap.first + 1 >= canvasSize) {
      tap.pair = std::max(tap.first - 1, 0);
      pairWeight = tap.first > 0 ? 256 : 0;
    }
    for (int lane = 0; lane < 4; ++lane) {
      tap.lanes[lane] = static_cast<uint16_t>(256 - pairWeight);
      tap.lanes[lane + 4] = static_cast<uint16_t>(pairWeight);
    }
  }
  return taps;
}

void CanvasScale::SetSizes(int canvasWidth, int canvasHeight, int windowWidth, int windowHeight) {
  canvasWidth_ = canvasWidth;
  canvasHeight_ = canvasHeight;
  windowWidth_ = windowWidth;
  windowHeight_ = windowHeight;
  fit_ = {};
  copies_ = false;
  doubles_ = false;
  columns_.clear();
  rows_.clear();
  filteredRow_[0] = filteredRow_[1] = -1;
  if (canvasWidth <= 0 || canvasHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return;
  // The larger of the two sizes that fit, rounded to whole pixels.
  const double scale = std::min(static_cast<double>(windowWidth) / canvasWidth,
                                static_cast<double>(windowHeight) / canvasHeight);
  const int w = std::clamp(static_cast<int>(std::lround(canvasWidth * scale)), 1, windowWidth);
  const int h = std::clamp(static_cast<int>(std::lround(canvasHeight * scale)), 1, windowHeight);
  fit_ = {(windowWidth - w) / 2, (windowHeight - h) / 2, w, h};
  columns_ = Taps(canvasWidth, w, canvasWidth, w, 0.0);
  rows_ = Taps(canvasHeight, h, canvasHeight, h, 0.0);
  copies_ = w == canvasWidth && h == canvasHeight;
  doubles_ = w == 2 * canvasWidth;
}

void CanvasScale::SetZoom(int pictureWidth, int pictureHeight, int originX, int originY,
                          double zoom) {
  SetSizes(0, 0, 0, 0);
  if (pictureWidth <= 0 || pictureHeight <= 0 || zoom <= 0.0) return;
  const int left = ZoomedEdge(originX, zoom);
  const int top = ZoomedEdge(originY, zoom);
  const int w = ZoomedEdge(originX + pictureWidth, zoom) - left;
  const int h = ZoomedEdge(originY + pictureHeight, zoom) - top;
  if (w <= 0 || h <= 0) return;
  canvasWidth_ = pictureWidth;
  canvasHeight_ = pictureHeight;
  windowWidth_ = w;
  windowHeight_ = h;
  fit_ = {0, 0, w, h};
  // Output pixel i is canvas pixel left + i, whose centre lies at
  // (left + i + 0.5) / zoom on the picture's grid, less the picture's origin.
  columns_ = Taps(pictureWidth, w, 1.0, zoom, left / zoom - originX);
  rows_ = Taps(pictureHeight, h, 1.0, zoom, top / zoom - originY);
  const auto Whole = [](const std::vector<Tap>& taps) {
    for (size_t i = 0; i < taps.size(); ++i) {
      if (taps[i].weight != 0 || taps[i].first != static_cast<int>(i)) return false;
    }
    return true;
  };
  copies_ = w == pictureWidth && h == pictureHeight && Whole(columns_) && Whole(rows_);
}

PixelRect CanvasScale::WindowRect(const PixelRect& canvas) const {
  const PixelRect inside = Intersection(canvas, {0, 0, canvasWidth_, canvasHeight_});
  if (inside.Empty() || fit_.Empty()) return {};
  // Copied one to one, a canvas pixel is the window pixel it lands on.
  if (Copies()) return {fit_.x + inside.x, fit_.y + inside.y, inside.w, inside.h};
  // The taps run in order, so the pixels that read the rectangle are one run
  // each way: from the first whose second neighbour reaches it to the last
  // whose first neighbour does.
  const auto Span = [](const std::vector<Tap>& taps, int from, int to, int& begin, int& end) {
    const auto first = std::partition_point(taps.begin(), taps.end(),
                                            [from](const Tap& t) { return t.second < from; });
    const auto last = std::partition_point(taps.begin(), taps.end(),
                                           [to](const Tap& t) { return t.first < to; });
    begin = static_cast<int>(first - taps.begin());
    end = static_cast<int>(last - taps.begin());
  };
  int left = 0, right = 0, top = 0, bottom = 0;
  Span(columns_, inside.x, inside.x + inside.w, left, right);
  Span(rows_, inside.y, inside.y + inside.h, top, bottom);
  if (right <= left || bottom <= top) return {};
  return {fit_.x + left, fit_.y + top, right - left, bottom - top};
}

PointerPosition CanvasScale::ToCanvas(PointerPosition window) const {
  if (fit_.Empty()) return {};
  const auto Map = [](int at, int start, int fitSize, int canvasSize) {
    const int inside = static_cast<int>(std::floor((at - start) * static_cast<double>(canvasSize) /
                                                   fitSize));
    return std::clamp(inside, 0, canvasSize - 1);
  };
  return {Map(window.x, fit_.x, fit_.w, canvasWidth_), Map(window.y, fit_.y, fit_.h, canvasHeight_)};
}

void CanvasScale::FilterRow(const uint32_t* row, int left, int width, uint32_t* out) const {
  const Tap* tap = columns_.data() + left;
  int i = 0;
#if defined(__x86_64__)
  if (doubles_ && WideVectors()) {
    // Column by column up to the first even one with a left neighbour,
    // then pairs of columns from one canvas pixel each.
    for (; i < width && ((left + i) % 2 != 0 || left + i < 2); ++i, ++tap) {
      out[i] = Mix(row[tap->first], row[tap->second], tap->weight);
    }
    const int k = (left + i) / 2;
    const int end = std::min(canvasWidth_ - 1, (left + width) / 2);
    const int done = 2 * (DoubleWide(row, k, end, out + i) - k);
    i += done;
    tap += done;
  } else if (WideVectors() && canvasWidth_ > 1) {
    i = FilterWide(row, tap, width, out);
    tap += i;
  }
#endif
#if defined(__SSE2__)
  // Two window pixels at a time: each one's two canvas neighbours read
  // together and widened to 16-bit channels, weighted, and the halves added;
  // the same sums as Mix. A row of one pixel has no pair to read.
  const __m128i zero = _mm_setzero_si128();
  const auto Pair = [row](const Tap& t) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + t.pair)),
                             _mm_setzero_si128());
  };
  for (; canvasWidth_ > 1 && i + 2 <= width; i += 2, tap += 2) {
    __m128i wa = _mm_mullo_epi16(Pair(tap[0]),
                                 _mm_load_si128(reinterpret_cast<const __m128i*>(tap[0].lanes)));
    __m128i wb = _mm_mullo_epi16(Pair(tap[1]),
                                 _mm_load_si128(reinterpret_cast<const __m128i*>(tap[1].lanes)));
    wa = _mm_srli_epi16(_mm_add_epi16(wa, _mm_srli_si128(wa, 8)), 8);
    wb = _mm_srli_epi16(_mm_add_epi16(wb, _mm_srli_si128(wb, 8)), 8);
    const __m128i both = _mm_packus_epi16(_mm_unpacklo_epi64(wa, wb), zero);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), both);
  }
#endif
  for (; i < width; ++i, ++tap) out[i] = Mix(row[tap->first], row[tap->second], tap->weight);
}

void CanvasScale::Scale(const uint32_t* canvas, int canvasPitch, uint32_t* out, int outPitch,
                        const PixelRect& window, int outX, int outY) {
  const PixelRect target = Intersection(window, fit_);
  if (target.Empty()) return;
  const int left = target.x - fit_.x;
  const auto At = [&](int y) {
    return out + static_cast<std::ptrdiff_t>(y - outY) * outPitch + (target.x - outX);
  };
  if (copies_) {
    // A canvas composed at the window's own size is copied.
    for (int y = target.y; y < target.y + target.h; ++y) {
      std::memcpy(At(y), canvas + static_cast<std::ptrdiff_t>(y - fit_.y) * canvasPitch + left,
                  sizeof(uint32_t) * static_cast<size_t>(target.w));
    }
    return;
  }
  for (auto& buffer : filtered_) {
    if (buffer.size() < static_cast<size_t>(target.w)) buffer.resize(static_cast<size_t>(fit_.w));
  }
  // Rows filtered for another span of columns cannot be used again.
  filteredRow_[0] = filteredRow_[1] = -1;
  const auto Filtered = [&](int row) -> const uint32_t* {
    for (int k = 0; k < 2; ++k) {
      if (filteredRow_[k] == row) return filtered_[k].data();
    }
    // Replace the row that is not needed next: the lower one.
    const int k = filteredRow_[0] < filteredRow_[1] ? 0 : 1;
    FilterRow(canvas + static_cast<std::ptrdiff_t>(row) * canvasPitch, left, target.w,
              filtered_[k].data());
    filteredRow_[k] = row;
    return filtered_[k].data();
  };
  for (int y = target.y; y < target.y + target.h; ++y) {
    const Tap& tap = rows_[static_cast<size_t>(y - fit_.y)];
    const uint32_t* first = Filtered(tap.first);
    const uint32_t* second = tap.second == tap.first ? first : Filtered(tap.second);
    // Filtering the second row may have replaced the first; ask again.
    first = Filtered(tap.first);
    MixRows(first, second, At(y), target.w, tap.weight);
  }
}

}  // namespace emberlrn
