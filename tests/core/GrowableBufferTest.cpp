#include "core/GrowableBuffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "core/GrowableArray.h"
#include "core/GrowableText.h"
#include "core/OwnedList.h"

namespace torvane {

TEST(GrowableBuffer, PageStepGrowthKeepsWholePagesMinusHeader) {
  GrowableBuffer buffer;
  buffer.Resize(1);
  EXPECT_EQ(buffer.Capacity(), 4000);  // (1 + 96 + 4096) rounded down to 4096, minus 96
  buffer.Resize(4000);
  EXPECT_EQ(buffer.Capacity(), 4000);  // fits: no reallocation
  buffer.Resize(5000);
  EXPECT_EQ(buffer.Capacity(), 8096);  // growth max(2500, 4096) = 4096
  buffer.Resize(100000);
  EXPECT_EQ(buffer.Capacity(), 147360);  // growth 50000 rounded down to 49152
  EXPECT_EQ(buffer.Size(), 100000);
}

TEST(GrowableBuffer, SmallStepGrowsByHalfOrStep) {
  GrowableBuffer buffer(128);
  buffer.Resize(10);
  EXPECT_EQ(buffer.Capacity(), 138);
  buffer.Resize(1000);
  EXPECT_EQ(buffer.Capacity(), 1500);
}

TEST(GrowableBuffer, ShrinksOnlyWhenAllowedAndFarBelowCapacity) {
  GrowableBuffer buffer;
  auto* bytes = static_cast<unsigned char*>(buffer.Resize(100000));
  for (int i = 0; i < 1000; ++i) bytes[i] = static_cast<unsigned char>(i * 7);

  buffer.Resize(1000, false);
  EXPECT_EQ(buffer.Capacity(), 147360);

  buffer.Resize(100000);
  buffer.Resize(1000, true);  // limit min(73680, 147360 - 16384): 1000 is below it
  EXPECT_EQ(buffer.Capacity(), 4000);
  bytes = static_cast<unsigned char*>(buffer.Data());
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(bytes[i], static_cast<unsigned char>(i * 7));

  buffer.Resize(500, true);  // limit max(1, min(2000, 4000 - 16384)) = 1
  EXPECT_EQ(buffer.Capacity(), 4000);
  buffer.Resize(0, true);
  EXPECT_EQ(buffer.Capacity(), 0);
  EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(GrowableBuffer, NegativeSizeCountsAsZero) {
  GrowableBuffer buffer;
  buffer.Resize(10);
  buffer.Resize(-5);
  EXPECT_EQ(buffer.Size(), 0);
}

TEST(GrowableBuffer, FailedGrowthKeepsContentsAndSize) {
  GrowableBuffer buffer;
  std::memcpy(buffer.Resize(6), "hello", 6);
  EXPECT_EQ(buffer.Resize(INT_MAX), buffer.Data());
  EXPECT_EQ(buffer.Size(), 6);
  EXPECT_STREQ(static_cast<const char*>(buffer.Data()), "hello");
}

TEST(GrowableBuffer, ZeroFilledResizeClearsOnlyAddedBytes) {
  GrowableBuffer buffer;
  std::memset(buffer.Resize(8), 0xAB, 8);
  buffer.Resize(4);
  auto* bytes = static_cast<unsigned char*>(buffer.ResizeZeroFilled(12));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bytes[i], 0xAB);
  for (int i = 4; i < 12; ++i) EXPECT_EQ(bytes[i], 0);
}

TEST(GrowableArray, RefusesCountsItCannotHold) {
  GrowableArray<double> samples;
  EXPECT_TRUE(samples.ResizeZeroFilled(3));
  EXPECT_FALSE(samples.ResizeZeroFilled(-1));
  EXPECT_FALSE(samples.ResizeZeroFilled(INT_MAX));
  EXPECT_EQ(samples.Count(), 3);
  EXPECT_TRUE(samples.Add(1.5));
  EXPECT_EQ(samples[3], 1.5);
}

TEST(GrowableText, CopiesUpToLimitOrFirstNul) {
  GrowableText text;
  EXPECT_STREQ(text.Get(), "");
  text.Set("Torvane", 4);
  EXPECT_STREQ(text.Get(), "Torv");
  text.Set("ab\0cd");
  EXPECT_STREQ(text.Get(), "ab");
  EXPECT_EQ(text.Length(), 2);
  text.Append(" dB");
  EXPECT_STREQ(text.Get(), "ab dB");
  text.Set(nullptr);
  EXPECT_STREQ(text.Get(), "");
}

namespace {
struct Tracked {
  Tracked(int id, int* log, int* count) : id(id), log(log), count(count) {}
  ~Tracked() { log[(*count)++] = id; }
  int id;
  int* log;
  int* count;
};
}  // namespace

TEST(OwnedList, DeletesElementsInReverseOrder) {
  int log[3] = {};
  int count = 0;
  {
    OwnedList<Tracked> list;
    for (int id = 1; id <= 3; ++id) list.Add(new Tracked(id, log, &count));
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
  }
  ASSERT_EQ(count, 3);
  EXPECT_EQ(log[0], 3);
  EXPECT_EQ(log[1], 2);
  EXPECT_EQ(log[2], 1);
}

}  // namespace torvane
