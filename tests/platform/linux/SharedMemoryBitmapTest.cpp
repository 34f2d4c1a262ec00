// The X11 editor's surface in shared memory: laid out as the editor draws into
// every surface, and seen by whoever else attaches its segment, as the X
// server does.
#include <gtest/gtest.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "platform/linux/SharedMemoryBitmap.h"

namespace torvane {

namespace {

// The segment attached a second time, as the X server attaches it.
class SecondAttachment {
 public:
  explicit SecondAttachment(int id) : address_(shmat(id, nullptr, SHM_RDONLY)) {}
  ~SecondAttachment() {
    if (Attached()) shmdt(address_);
  }
  bool Attached() const { return address_ != reinterpret_cast<void*>(-1); }
  const uint32_t* Pixels() const { return static_cast<const uint32_t*>(address_); }

 private:
  void* address_;
};

}  // namespace

TEST(SharedMemoryBitmap, PixelsAreSeenThroughTheSegmentWhichIsRemovedOnceItsUsersLetGo) {
  SharedMemoryBitmap bitmap(30, 20);
  ASSERT_NE(bitmap.PixelBuffer(), nullptr);
  EXPECT_EQ(bitmap.Width(), 30);
  EXPECT_EQ(bitmap.RowPitch(), 32);
  EXPECT_FALSE(bitmap.IsBottomUp());
  EXPECT_EQ(bitmap.PixelBuffer()[32 * 20 - 1], 0u);
  shmid_ds status = {};
  ASSERT_EQ(shmctl(bitmap.SegmentId(), IPC_STAT, &status), 0);
  EXPECT_GE(status.shm_segsz, 32u * 20u * 4u);
  EXPECT_NE(status.shm_perm.mode & SHM_DEST, 0u);

  const SecondAttachment server(bitmap.SegmentId());
  ASSERT_TRUE(server.Attached());
  RowStart(bitmap, 19)[29] = 0xFF123456;
  EXPECT_EQ(server.Pixels()[19 * 32 + 29], 0xFF123456u);

  // A size that fits keeps the segment; a larger one is a new segment.
  const int segment = bitmap.SegmentId();
  EXPECT_TRUE(bitmap.SetSize(31, 20));
  EXPECT_EQ(bitmap.SegmentId(), segment);
  EXPECT_EQ(bitmap.RowPitch(), 32);
  EXPECT_TRUE(bitmap.SetSize(40, 20));
  ASSERT_NE(bitmap.PixelBuffer(), nullptr);
  EXPECT_NE(bitmap.SegmentId(), segment);
  EXPECT_EQ(bitmap.RowPitch(), 40);

  EXPECT_FALSE(bitmap.SetSize(0, 20));
  EXPECT_EQ(bitmap.PixelBuffer(), nullptr);
  EXPECT_EQ(bitmap.SegmentId(), -1);
  EXPECT_EQ(bitmap.Width(), 0);
}

}  // namespace torvane
