#include "controls/TlHuffman.h"

#include <memory>

THuffmanTree::THuffmanTree(const std::vector<uint8_t>& Lengths,
                           const std::vector<uint8_t>& ExtraBits, int FirstExtra, int MaxCodeLength)
    : FMaxCodeLength(MaxCodeLength) {
  std::vector<int> count(MaxCodeLength + 2, 0);
  for (uint8_t l : Lengths)
    if (l > 0 && l <= MaxCodeLength) {
      ++count[l];
      FLongest = std::max<int>(FLongest, l);
    }
  FTable.assign(size_t(1) << FLongest, 0xFFFFFFFFu);
  std::vector<uint32_t> next(MaxCodeLength + 2, 0);
  for (int n = 1; n <= MaxCodeLength; ++n)
    next[n] = (next[n - 1] + count[n - 1]) * 2;
  for (size_t sym = 0; sym < Lengths.size(); ++sym) {
    int n = Lengths[sym];
    if (n <= 0 || n > MaxCodeLength) continue;
    uint32_t code = next[n]++;
    uint32_t reversed = 0;
    for (int i = 0; i < n; ++i)
      reversed |= ((code >> i) & 1u) << (n - 1 - i);
    uint32_t value = static_cast<uint32_t>(sym) + static_cast<uint32_t>(n) * 65536u;
    if (static_cast<int>(sym) >= FirstExtra && sym < ExtraBits.size())
      value += static_cast<uint32_t>(ExtraBits[sym]) * 16777216u;
    for (size_t i = reversed; i < FTable.size(); i += size_t(1) << n)
      FTable[i] = value;
  }
}

namespace {

std::unique_ptr<THuffmanTree> MakeLiteral() {
  std::vector<uint8_t> len(288), extra(288, 0);
  for (int i = 0; i < 288; ++i)
    len[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
  const uint8_t lengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2,  2,  2, 2,
                                 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 16, 99, 99};
  for (int i = 0; i < 31; ++i)
    extra[257 + i] = lengthExtra[i];
  return std::make_unique<THuffmanTree>(len, extra, 257, 15);
}

std::unique_ptr<THuffmanTree> MakeDistance() {
  std::vector<uint8_t> len(32, 5), extra(32, 0);
  for (int i = 0; i < 30; ++i)
    extra[i] = static_cast<uint8_t>(i < 4 ? 0 : i / 2 - 1);
  extra[30] = 14;
  extra[31] = 14;
  return std::make_unique<THuffmanTree>(len, extra, 0, 15);
}

// Built at start-up, freed at exit.
const std::unique_ptr<THuffmanTree> Literal = MakeLiteral();
const std::unique_ptr<THuffmanTree> Distance = MakeDistance();

} // namespace

const THuffmanTree* FixedLiteralTree() {
  return Literal.get();
}
const THuffmanTree* FixedDistanceTree() {
  return Distance.get();
}
