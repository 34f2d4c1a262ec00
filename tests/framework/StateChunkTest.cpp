#include "framework/StateChunk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace torvane {

TEST(StateChunk, AppendsLittleEndianWithoutPadding) {
  StateChunk chunk;
  ASSERT_TRUE(chunk.PutInt(0x01020304));
  ASSERT_TRUE(chunk.PutByte(0xFE));
  ASSERT_TRUE(chunk.PutDouble(1.0));
  const unsigned char expected[] = {4, 3, 2, 1, 0xFE, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
  ASSERT_EQ(chunk.Size(), 13);
  EXPECT_EQ(std::memcmp(chunk.Data(), expected, 13), 0);
}

TEST(StateChunk, ReadsReturnNextPositionOrMinusOne) {
  StateChunk chunk;
  chunk.PutInt(-7);
  chunk.PutDouble(-0.1);
  int32_t i = 0;
  double d = 0;
  EXPECT_EQ(chunk.GetInt(i, 0), 4);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(chunk.GetDouble(d, 4), 12);
  EXPECT_EQ(d, -0.1);

  i = 99;
  EXPECT_EQ(chunk.GetInt(i, 9), -1);  // only three bytes left
  EXPECT_EQ(i, 99);                   // nothing read
  EXPECT_EQ(chunk.GetInt(i, -1), -1);
  EXPECT_EQ(chunk.GetDouble(d, 0x7ffffff0), -1);
  char bytes[4];
  EXPECT_EQ(chunk.GetBytes(bytes, -3, 0), -1);
  EXPECT_EQ(chunk.GetBytes(bytes, 0x7fffffff, 8), -1);
}

TEST(StateChunk, DoublesRoundTripBitExactly) {
  const double values[] = {0.0, -0.0, 1e-310, 3.141592653589793, -1e300,
                           std::numeric_limits<double>::infinity()};
  StateChunk chunk;
  for (double v : values) chunk.PutDouble(v);
  int position = 0;
  for (double v : values) {
    double read = 0;
    position = chunk.GetDouble(read, position);
    EXPECT_EQ(std::memcmp(&read, &v, sizeof v), 0);
  }
}

TEST(ChunkHeader, WritesMagicAndVersionAndSkipsThemOnRead) {
  StateChunk chunk;
  chunk.PutInt(5);
  ASSERT_TRUE(WriteChunkHeader(chunk));  // empties first
  const unsigned char expected[] = {'t', 'f', 'f', 'p', 0, 0, 1, 0};
  ASSERT_EQ(chunk.Size(), 8);
  EXPECT_EQ(std::memcmp(chunk.Data(), expected, 8), 0);
  int position = 0;
  EXPECT_EQ(ReadChunkHeader(chunk, position), 0x10000);
  EXPECT_EQ(position, 8);
}

TEST(ChunkHeader, ChunkWithoutHeaderIsReadFromItsStart) {
  StateChunk chunk;
  chunk.PutInt(14);
  int position = 0;
  EXPECT_EQ(ReadChunkHeader(chunk, position), 0);
  EXPECT_EQ(position, 0);
}

TEST(ChunkHeader, MagicWithoutVersionFailsTheRead) {
  StateChunk chunk;
  chunk.PutInt(kChunkMagic);
  chunk.PutByte(0);
  int position = 0;
  EXPECT_EQ(ReadChunkHeader(chunk, position), 0);
  EXPECT_EQ(position, -1);
}

}  // namespace torvane
