#include "framework/GrowableBuffer.h"

#include <gtest/gtest.h>

TEST(GrowableBuffer, Placeholder) { GrowableBuffer b; EXPECT_EQ(b.Size(), 0); }
