// Speech shortening: drops every other pitch period of 8-bit sound, found
// by peak search, and turns 16-bit sound into 8-bit on the way.
#include <cstdlib>
#include <cstring>

#include "wave/snwav.h"

namespace {

struct Search {
  int start, skip, window;
};

constexpr Search kSearch11025{200, 80, 50};
constexpr Search kSearchOther{800, 320, 200};  // four times as many samples

// The first greatest byte of from..to (inclusive, cut at the end of the
// sound); when none is above 0 the previous peak stays.
int Peak(const uint8_t* b, int from, int to, int length, int previous) {
  int best = 0, at = previous;
  for (int i = from; i <= to && i < length; ++i)
    if (b[i] > best) best = b[i], at = i;
  return at;
}

uint32_t SixteenToEight(uint8_t* buffer, uint32_t length) {
  length /= 2;
  for (uint32_t i = 0; i < length; ++i) buffer[i] = buffer[2 * i + 1] ^ 0x80;
  return length;
}

}  // namespace

uint32_t CompressSpeech(uint8_t* buffer, uint32_t length, uint16_t bits, uint32_t rate) {
  length = uint16_t(length);
  if (bits == 16) length = SixteenToEight(buffer, length);
  if (length < 1000) return length;
  const Search& c = uint16_t(rate) == 11025 ? kSearch11025 : kSearchOther;
  const int len = int(length), reach = c.skip + c.window;
  int p = Peak(buffer, c.start, c.start + reach, len, 0);
  int w = p;
  while (p < len - 2 * reach) {
    int q = Peak(buffer, p + c.skip, p + reach, len, p);
    int r = Peak(buffer, q + c.skip, q + reach, len, q);
    if (q <= p || r <= q) break;  // no peak found: stop instead of looping
    std::memmove(buffer + w, buffer + q, size_t(r - q + 1));
    w += r - q + 1;
    p = r;
  }
  while (w < len && p < len && std::abs(int(buffer[w]) - 128) > 20) buffer[w++] = buffer[p++];
  return uint32_t(w);
}
