// Fixed Huffman decoding tables of the deflate format, built at start-up.
#pragma once

#include <cstdint>
#include <vector>

class THuffmanTree {
public:
  // Lengths: the code length of each symbol (0 = unused); ExtraBits: the
  // extra-bit count of each symbol; FirstExtra: the first symbol whose extra
  // bits go into the entries.
  THuffmanTree(const std::vector<uint8_t>& Lengths, const std::vector<uint8_t>& ExtraBits,
               int FirstExtra, int MaxCodeLength);
  int MaxCodeLength() const { return FMaxCodeLength; }
  // The longest code length present.
  int LongestCode() const { return FLongest; }
  // Entry for an L-bit look-ahead read least significant bit first: symbol
  // + length * 65536 (+ extra bits * 16777216), or 0xFFFFFFFF for none.
  const std::vector<uint32_t>& Table() const { return FTable; }

private:
  int FMaxCodeLength;
  int FLongest = 0;
  std::vector<uint32_t> FTable;
};

// The two fixed tables (literal/length and distance).
const THuffmanTree* FixedLiteralTree();
const THuffmanTree* FixedDistanceTree();
