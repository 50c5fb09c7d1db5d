#include "resources/icon_file.h"

#include <algorithm>
#include <map>
#include <utility>

#include "image/pixel.h"

namespace tessaro::resources {

namespace {

constexpr uint16_t kIconType = 1, kCursorType = 2;
constexpr size_t kDirectoryBytes = 6, kEntryBytes = 16, kBitmapHeaderBytes = 40;
constexpr int kLargestSide = 256;  // the directory keeps a side in one byte, 0 meaning 256

class ByteWriter {
 public:
  void U8(uint32_t v) { bytes_.push_back(uint8_t(v)); }
  void U16(uint32_t v) {
    U8(v & 0xFFu);
    U8(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFFu);
    U16(v >> 16);
  }
  void Append(const std::vector<uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

// Bitmap rows are padded to whole 32-bit words.
size_t RowBytes(int width, int bitCount) { return (size_t(width) * size_t(bitCount) + 31) / 32 * 4; }

bool Usable(const IconForm& form) {
  if (form.picture == nullptr) return false;
  const int w = form.picture->Width(), h = form.picture->Height();
  return w > 0 && h > 0 && w <= kLargestSide && h <= kLargestSide &&
         (form.bitCount == kPaletteBitCount || form.bitCount == kAlphaBitCount);
}

bool ShownInPalette(uint32_t pixel) { return PixelAlpha(pixel) >= kPaletteMaskBelowAlpha; }

// The mask rows, bottom row first.
std::vector<uint8_t> MaskRows(const CDib& picture, uint32_t belowAlpha) {
  const int w = picture.Width(), h = picture.Height();
  const size_t stride = RowBytes(w, 1);
  std::vector<uint8_t> rows(stride * size_t(h), 0);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = rows.data() + size_t(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x)
      if (PixelAlpha(picture.PixelAt(x, y)) < belowAlpha) row[x / 8] |= uint8_t(0x80u >> (x % 8));
  }
  return rows;
}

// Colour table and rows of the palette form.  Index 0 is black: the colour
// bits under a set mask bit are combined with the screen, and only black
// leaves it unchanged.
std::vector<uint8_t> PaletteImage(const CDib& picture) {
  std::vector<uint32_t> palette = {0};
  const std::vector<uint32_t> reduced = ReducePalette(picture, kPaletteSize - 1);
  palette.insert(palette.end(), reduced.begin(), reduced.end());
  ByteWriter out;
  for (size_t i = 0; i < kPaletteSize; ++i) {
    const uint32_t c = i < palette.size() ? palette[i] : 0;
    out.U32(PixelColour(c));  // blue, green, red, then a zero byte
  }
  const int w = picture.Width(), h = picture.Height();
  const size_t stride = RowBytes(w, kPaletteBitCount);
  std::vector<uint8_t> rows(stride * size_t(h), 0);
  std::map<uint32_t, uint8_t> chosen;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = rows.data() + size_t(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = picture.PixelAt(x, y);
      if (!ShownInPalette(p)) continue;
      const uint32_t colour = PixelColour(p);
      auto it = chosen.find(colour);
      if (it == chosen.end())
        it = chosen.emplace(colour, uint8_t(NearestPaletteIndex(palette, colour))).first;
      row[x] = it->second;
    }
  }
  out.Append(rows);
  return out.Take();
}

// Rows of the 32-bit form: blue, green, red, alpha, colour not premultiplied.
std::vector<uint8_t> AlphaImage(const CDib& picture) {
  ByteWriter out;
  for (int y = picture.Height() - 1; y >= 0; --y)
    for (int x = 0; x < picture.Width(); ++x) out.U32(picture.PixelAt(x, y));
  return out.Take();
}

std::vector<uint8_t> ImageBytes(const IconForm& form) {
  const CDib& picture = *form.picture;
  const bool palette = form.bitCount == kPaletteBitCount;
  const std::vector<uint8_t> colour = palette ? PaletteImage(picture) : AlphaImage(picture);
  const std::vector<uint8_t> mask =
      MaskRows(picture, palette ? kPaletteMaskBelowAlpha : kAlphaMaskBelowAlpha);
  const size_t tableBytes = palette ? kPaletteSize * 4 : 0;
  ByteWriter out;
  out.U32(kBitmapHeaderBytes);
  out.U32(uint32_t(picture.Width()));
  out.U32(uint32_t(picture.Height()) * 2);  // colour rows and mask rows
  out.U16(1);
  out.U16(uint32_t(form.bitCount));
  out.U32(0);  // uncompressed
  out.U32(uint32_t(colour.size() - tableBytes + mask.size()));
  out.U32(0);
  out.U32(0);
  out.U32(0);  // every colour of the table is in use as far as readers go
  out.U32(0);
  out.Append(colour);
  out.Append(mask);
  return out.Take();
}

// Directory entry fields after the width and height bytes differ between
// icons (colour count, planes, bit count) and cursors (hot spot).
struct EntryTail {
  uint16_t first, second;
};

std::vector<uint8_t> Encode(uint16_t type, const std::vector<IconForm>& forms,
                            const std::vector<EntryTail>& tails) {
  std::vector<std::vector<uint8_t>> images;
  for (const IconForm& form : forms) images.push_back(ImageBytes(form));
  ByteWriter out;
  out.U16(0);
  out.U16(type);
  out.U16(uint32_t(forms.size()));
  size_t offset = kDirectoryBytes + kEntryBytes * forms.size();
  for (size_t i = 0; i < forms.size(); ++i) {
    const CDib& picture = *forms[i].picture;
    out.U8(uint32_t(picture.Width()) % 256u);
    out.U8(uint32_t(picture.Height()) % 256u);
    out.U8(0);  // colour count: 0 for 256 colours or more
    out.U8(0);
    out.U16(tails[i].first);
    out.U16(tails[i].second);
    out.U32(uint32_t(images[i].size()));
    out.U32(uint32_t(offset));
    offset += images[i].size();
  }
  for (const auto& image : images) out.Append(image);
  return out.Take();
}

struct Bucket {
  std::vector<std::pair<uint32_t, uint32_t>> colours;  // colour, pixel count

  static uint32_t Channel(uint32_t c, int channel) { return (c >> (16 - 8 * channel)) & 0xFFu; }
  // The channel spanning the widest range, and that range.
  std::pair<int, uint32_t> Widest() const {
    int best = 0;
    uint32_t bestRange = 0;
    for (int ch = 0; ch < 3; ++ch) {
      uint32_t lo = 255, hi = 0;
      for (const auto& c : colours) {
        lo = std::min(lo, Channel(c.first, ch));
        hi = std::max(hi, Channel(c.first, ch));
      }
      if (hi >= lo && hi - lo > bestRange) {
        best = ch;
        bestRange = hi - lo;
      }
    }
    return {best, bestRange};
  }
  uint32_t Mean() const {
    uint64_t sum[3] = {0, 0, 0}, n = 0;
    for (const auto& c : colours) {
      for (int ch = 0; ch < 3; ++ch) sum[ch] += uint64_t(Channel(c.first, ch)) * c.second;
      n += c.second;
    }
    uint32_t mean = 0;
    for (int ch = 0; ch < 3; ++ch) mean = (mean << 8) | uint32_t((sum[ch] + n / 2) / n);
    return mean;
  }
};

}  // namespace

std::vector<uint32_t> ReducePalette(const CDib& picture, size_t maxColours) {
  std::map<uint32_t, uint32_t> counts;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const uint32_t p = picture.PixelAt(x, y);
      if (ShownInPalette(p)) ++counts[PixelColour(p)];
    }
  std::vector<uint32_t> result;
  if (maxColours == 0) return result;
  if (counts.size() <= maxColours) {
    for (const auto& c : counts) result.push_back(c.first);
    return result;
  }
  std::vector<Bucket> buckets(1);
  buckets[0].colours.assign(counts.begin(), counts.end());
  while (buckets.size() < maxColours) {
    // Split the bucket of the widest spread at its weighted median.
    size_t pick = buckets.size();
    std::pair<int, uint32_t> pickWidest = {0, 0};
    for (size_t i = 0; i < buckets.size(); ++i) {
      if (buckets[i].colours.size() < 2) continue;
      const auto widest = buckets[i].Widest();
      if (pick == buckets.size() || widest.second > pickWidest.second) {
        pick = i;
        pickWidest = widest;
      }
    }
    if (pick == buckets.size()) break;
    auto& colours = buckets[pick].colours;
    const int ch = pickWidest.first;
    std::sort(colours.begin(), colours.end(), [ch](const auto& a, const auto& b) {
      const uint32_t ca = Bucket::Channel(a.first, ch), cb = Bucket::Channel(b.first, ch);
      return ca != cb ? ca < cb : a.first < b.first;
    });
    uint64_t total = 0, seen = 0;
    for (const auto& c : colours) total += c.second;
    size_t split = 1;
    for (size_t i = 0; i + 1 < colours.size(); ++i) {
      seen += colours[i].second;
      split = i + 1;
      if (2 * seen >= total) break;
    }
    Bucket upper;
    upper.colours.assign(colours.begin() + std::ptrdiff_t(split), colours.end());
    colours.resize(split);
    buckets.push_back(std::move(upper));
  }
  for (const Bucket& b : buckets) result.push_back(b.Mean());
  std::sort(result.begin(), result.end());
  result.erase(std::unique(result.begin(), result.end()), result.end());
  return result;
}

size_t NearestPaletteIndex(const std::vector<uint32_t>& palette, uint32_t colour) {
  size_t best = 0;
  uint32_t bestDistance = UINT32_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    uint32_t d = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int diff = int((palette[i] >> shift) & 0xFFu) - int((colour >> shift) & 0xFFu);
      d += uint32_t(diff * diff);
    }
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

std::vector<uint8_t> EncodeIconFile(const std::vector<IconForm>& forms) {
  if (forms.empty() || forms.size() > UINT16_MAX) return {};
  std::vector<EntryTail> tails;
  for (const IconForm& form : forms) {
    if (!Usable(form)) return {};
    tails.push_back({1, uint16_t(form.bitCount)});  // planes, bits per pixel
  }
  return Encode(kIconType, forms, tails);
}

std::vector<uint8_t> EncodeCursorFile(const CDib& picture, uint16_t hotX, uint16_t hotY) {
  return EncodeCursorFile(std::vector<CursorForm>{{&picture, hotX, hotY}});
}

std::vector<uint8_t> EncodeCursorFile(const std::vector<CursorForm>& forms) {
  if (forms.empty() || forms.size() > UINT16_MAX) return {};
  std::vector<IconForm> images;
  std::vector<EntryTail> tails;
  for (const CursorForm& f : forms) {
    const IconForm form = {f.picture, kAlphaBitCount};
    if (!Usable(form) || f.hotX >= f.picture->Width() || f.hotY >= f.picture->Height()) return {};
    images.push_back(form);
    tails.push_back({f.hotX, f.hotY});
  }
  return Encode(kCursorType, images, tails);
}

}  // namespace tessaro::resources
