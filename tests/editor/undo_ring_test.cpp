// The undo and redo history: 200 entries in a ring, entries only for real changes, the changed blocks
// marked for programming, and the page each entry was made on.
#include "editor/undo_ring.h"

#include <gtest/gtest.h>

#include "editor/page_catalogue.h"

namespace torvane {
namespace {

using Flags = UndoRing::BlockFlags;

// An image whose byte 300 + offset carries a value: change n writes n there.
DeviceImage With(DeviceImage image, std::size_t offset, std::uint8_t value) {
    image.setByte(300 + offset, value);
    return image;
}

int FlagCount(const Flags& flags) {
    int n = 0;
    for (bool f : flags) n += f ? 1 : 0;
    return n;
}

TEST(UndoRing, StartsWithOneEntryAndTakesOneForEveryRealChange) {
    UndoRing ring;
    DeviceImage image;
    image.setByte(500, 9);
    ring.reset(image, 3);
    EXPECT_FALSE(ring.canUndo());
    EXPECT_FALSE(ring.canRedo());
    EXPECT_EQ(ring.entry(0).page, 3);
    EXPECT_EQ(ring.entry(0).bytes[200], 9);

    Flags flags{};
    EXPECT_FALSE(ring.takeSnapshot(image, 5, flags));  // nothing changed: no entry, no flag
    EXPECT_EQ(ring.current(), 0);
    EXPECT_EQ(FlagCount(flags), 0);
    // Block 0 (the unit's header) is neither recorded nor marked.
    image.setByte(10, 1);
    image.setByte(299, 1);
    EXPECT_FALSE(ring.takeSnapshot(image, 5, flags));
    EXPECT_EQ(FlagCount(flags), 0);

    // Bytes 599 and 600 lie in blocks 1 and 2; byte 3299 in block 10.
    image.setByte(599, 1);
    image.setByte(600, 1);
    image.setByte(3299, 1);
    EXPECT_TRUE(ring.takeSnapshot(image, 5, flags));
    EXPECT_EQ(ring.current(), 1);
    EXPECT_EQ(ring.newest(), 1);
    EXPECT_EQ(ring.oldest(), 0);
    EXPECT_TRUE(ring.canUndo());
    EXPECT_FALSE(ring.canRedo());
    EXPECT_EQ(ring.entry(1).page, 5);
    EXPECT_TRUE(flags[1]);
    EXPECT_TRUE(flags[2]);
    EXPECT_TRUE(flags[10]);
    EXPECT_EQ(FlagCount(flags), 3);
    // Flags accumulate until the programming clears them; the compare never clears one.
    Flags more{};
    more[7] = true;
    EXPECT_FALSE(ring.takeSnapshot(image, 5, more));
    EXPECT_TRUE(more[7]);
}

TEST(UndoRing, UndoAndRedoMoveBetweenTheEntriesAndRestoreOnlyWhatDiffers) {
    UndoRing ring;
    const DeviceImage start;
    ring.reset(start, 0);
    Flags flags{};
    DeviceImage image = start;
    image = With(image, 550, 1);  // Advance (block 2)
    ASSERT_TRUE(ring.takeSnapshot(image, 2, flags));
    const DeviceImage afterFirst = image;
    image = With(image, 50, 2);  // Inj-1A area (block 1)
    ASSERT_TRUE(ring.takeSnapshot(image, 3, flags));
    const DeviceImage afterSecond = image;

    // Undoing the second change shows the page of the first one.
    ASSERT_TRUE(ring.stepBack());
    Flags restored{};
    UndoRing::RestoreResult r = ring.restore(image, restored);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(r.page, 2);
    EXPECT_EQ(image, afterFirst);
    EXPECT_TRUE(restored[1]);
    EXPECT_EQ(FlagCount(restored), 1);
    EXPECT_TRUE(ring.canUndo());
    EXPECT_TRUE(ring.canRedo());

    ASSERT_TRUE(ring.stepBack());
    restored = {};
    r = ring.restore(image, restored);
    EXPECT_EQ(image, start);
    EXPECT_EQ(r.page, 0);
    EXPECT_TRUE(restored[2]);
    EXPECT_EQ(FlagCount(restored), 1);
    EXPECT_FALSE(ring.canUndo());
    EXPECT_FALSE(ring.stepBack());  // at the oldest entry nothing moves
    EXPECT_EQ(ring.current(), 0);

    // Bytes of block 0 are not part of an entry: restoring leaves them as they are.
    image.setByte(20, 77);
    ASSERT_TRUE(ring.stepForward());
    ASSERT_TRUE(ring.stepForward());
    EXPECT_FALSE(ring.stepForward());  // at the newest entry nothing moves
    restored = {};
    r = ring.restore(image, restored);
    EXPECT_EQ(r.page, 3);
    EXPECT_EQ(image.byteAt(20), 77);
    EXPECT_TRUE(
        std::equal(image.bytes().begin() + 300, image.bytes().end(), afterSecond.bytes().begin() + 300));
    // Restoring what the image already holds changes nothing.
    restored = {};
    EXPECT_FALSE(ring.restore(image, restored).changed);
    EXPECT_EQ(FlagCount(restored), 0);
}

TEST(UndoRing, ANewChangeAfterUndoDropsTheRedoEntries) {
    UndoRing ring;
    DeviceImage image;
    ring.reset(image, 0);
    Flags flags{};
    for (std::uint8_t n = 1; n <= 3; ++n) ASSERT_TRUE(ring.takeSnapshot(With(image, 0, n), 0, flags));
    ASSERT_TRUE(ring.stepBack());
    ASSERT_TRUE(ring.stepBack());
    image = With(image, 0, 1);
    EXPECT_EQ(ring.current(), 1);
    ASSERT_TRUE(ring.takeSnapshot(With(image, 1, 9), 4, flags));
    EXPECT_EQ(ring.current(), 2);
    EXPECT_EQ(ring.newest(), 2);
    EXPECT_FALSE(ring.canRedo());
    EXPECT_EQ(ring.entry(2).bytes[1], 9);
    EXPECT_EQ(ring.entry(2).page, 4);
}

TEST(UndoRing, TwoHundredChangesOverwriteTheStartAndLeave199UndoSteps) {
    UndoRing ring;
    DeviceImage image;
    ring.reset(image, 0);
    Flags flags{};
    // 199 changes fill the ring without losing the start.
    for (int n = 1; n <= 199; ++n) {
        image.setWord(100, static_cast<std::uint16_t>(n));
        ASSERT_TRUE(ring.takeSnapshot(image, n % PageCount, flags));
    }
    EXPECT_EQ(ring.oldest(), 0);
    EXPECT_EQ(ring.current(), 199);
    // The 200th wraps to entry 0 and pushes the oldest on.
    image.setWord(100, 200);
    ASSERT_TRUE(ring.takeSnapshot(image, 7, flags));
    EXPECT_EQ(ring.current(), 0);
    EXPECT_EQ(ring.newest(), 0);
    EXPECT_EQ(ring.oldest(), 1);
    EXPECT_EQ(ring.entry(0).page, 7);

    int steps = 0;
    while (ring.stepBack()) ++steps;
    EXPECT_EQ(steps, 199);
    EXPECT_EQ(ring.current(), 1);
    Flags restored{};
    ring.restore(image, restored);
    EXPECT_EQ(image.wordAt(100), 1);  // the oldest change left, the start state is gone
    // And all the way forward again across the wrap.
    steps = 0;
    while (ring.stepForward()) ++steps;
    EXPECT_EQ(steps, 199);
    EXPECT_EQ(ring.current(), 0);
    ring.restore(image, restored);
    EXPECT_EQ(image.wordAt(100), 200);

    // Going on past the wrap keeps the ring 200 entries long.
    for (int n = 201; n <= 450; ++n) {
        image.setWord(100, static_cast<std::uint16_t>(n));
        ASSERT_TRUE(ring.takeSnapshot(image, 0, flags));
    }
    EXPECT_EQ((ring.oldest() + UndoRing::Size - 1) % UndoRing::Size, ring.newest());
    steps = 0;
    while (ring.stepBack()) ++steps;
    EXPECT_EQ(steps, 199);
    ring.restore(image, restored);
    EXPECT_EQ(image.wordAt(100), 251);
}

TEST(UndoRing, AnIapAxisChangeIsRecordedButMarksNoBlock) {
    UndoRing ring;
    DeviceImage image;
    image.IapAxis = {30, 50, 60, 70, 75, 80, 85, 90, 95, 100};
    ring.reset(image, 8);
    Flags flags{};
    image.IapAxis[4] = 77;
    EXPECT_TRUE(ring.takeSnapshot(image, 8, flags));
    EXPECT_EQ(FlagCount(flags), 0);  // the axis never goes to the unit
    EXPECT_EQ(ring.entry(1).iapAxis[4], 77);

    ASSERT_TRUE(ring.stepBack());
    Flags restored{};
    const UndoRing::RestoreResult r = ring.restore(image, restored);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(image.IapAxis[4], 75);
    EXPECT_EQ(FlagCount(restored), 0);
    ASSERT_TRUE(ring.stepForward());
    ring.restore(image, restored);
    EXPECT_EQ(image.IapAxis[4], 77);
}

TEST(UndoRing, KnowsWhichEntriesCameBeforeTheLastRead) {
    UndoRing ring;
    Flags flags{};
    DeviceImage image;
    ring.reset(image, 0);
    EXPECT_FALSE(ring.currentBeforeRead());  // nothing read yet
    ring.takeSnapshot(image = With(image, 1, 1), 0, flags);
    ring.takeSnapshot(image = With(image, 1, 2), 0, flags);  // what the Read brought in
    ring.markRead();
    ring.takeSnapshot(image = With(image, 1, 3), 0, flags);  // an edit after it
    EXPECT_FALSE(ring.currentBeforeRead());
    ring.stepBack();
    EXPECT_FALSE(ring.currentBeforeRead());  // the Read itself
    ring.stepBack();
    EXPECT_TRUE(ring.currentBeforeRead());
    ring.stepBack();
    EXPECT_TRUE(ring.currentBeforeRead());
    ring.stepForward();
    ring.stepForward();
    ring.stepForward();
    EXPECT_FALSE(ring.currentBeforeRead());

    // A new change made from before the Read is newer than the Read; what it came from is not.
    ring.stepBack();
    ring.stepBack();
    ring.takeSnapshot(image = With(image, 2, 9), 0, flags);
    EXPECT_FALSE(ring.currentBeforeRead());
    ring.stepBack();
    EXPECT_TRUE(ring.currentBeforeRead());

    // A Read that brings in what is shown already marks the entry it finds.
    ring.markRead();
    EXPECT_FALSE(ring.currentBeforeRead());
    ring.stepBack();
    EXPECT_TRUE(ring.currentBeforeRead());
}

}  // namespace
}  // namespace torvane
