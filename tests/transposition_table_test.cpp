#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "search/transposition_table.h"
#include "support/trace_capture.h"

namespace wintarvo {
namespace {

const Move A{60, 50, 40};
const Move B{93, 63, 33};

TEST(TranspositionTable, SameDepthMergesBoundsAndFollowsTheHigherMidpoint) {
    TranspositionTable t;
    ASSERT_TRUE(t.storeKeys(7, 9, 3, -20000, 5, A));
    ASSERT_TRUE(t.storeKeys(7, 9, 3, 5, 20000, B));
    ProbeResult r;
    ASSERT_TRUE(t.probeKeys(7, 9, r));
    EXPECT_EQ(r.depth, 3);
    EXPECT_EQ(r.lower, 5);
    EXPECT_EQ(r.upper, 5);
    EXPECT_EQ(r.move, B);  // midpoint 10002 beats -9997
    // Equal midpoints keep the old move; the bounds only ever narrow.
    ASSERT_TRUE(t.storeKeys(7, 9, 3, 3, 7, A));
    ASSERT_TRUE(t.probeKeys(7, 9, r));
    EXPECT_EQ(r.move, B);
    EXPECT_EQ(r.lower, 5);
    EXPECT_EQ(r.upper, 5);
    EXPECT_EQ(t.size(), 1);
}

TEST(TranspositionTable, MidpointsTruncateTowardZero) {
    TranspositionTable t;
    t.storeKeys(1, 1, 2, -3, 0, A);  // midpoint -1
    t.storeKeys(1, 1, 2, -2, 0, B);  // midpoint -1 as well (not -2 with flooring): old move stays
    ProbeResult r;
    t.probeKeys(1, 1, r);
    EXPECT_EQ(r.move, A);
    EXPECT_EQ(r.lower, -2);
}

TEST(TranspositionTable, ShallowerStoreFailsDeeperOverwrites) {
    TranspositionTable t;
    t.storeKeys(5, 6, 4, 1, 2, A);
    EXPECT_FALSE(t.storeKeys(5, 6, 3, -100, 100, B));
    EXPECT_EQ(t.addFailures(), 1);
    ProbeResult r;
    t.probeKeys(5, 6, r);
    EXPECT_EQ(r.depth, 4);
    EXPECT_EQ(r.lower, 1);
    EXPECT_EQ(r.move, A);
    EXPECT_TRUE(t.storeKeys(5, 6, 6, -7, 9, B));
    t.probeKeys(5, 6, r);
    EXPECT_EQ(r.depth, 6);
    EXPECT_EQ(r.lower, -7);
    EXPECT_EQ(r.upper, 9);
    EXPECT_EQ(r.move, B);
    EXPECT_EQ(t.addSuccesses(), 2);
}

TEST(TranspositionTable, LockCollisionsAreCountedAndDoNotHideLaterEntries) {
    TranspositionTable t;
    t.storeKeys(42, 1, 1, 0, 0, A);
    t.storeKeys(42, 2, 1, 3, 3, B);  // same key 0, another position: one collision on the way
    EXPECT_EQ(t.lockCollisions(), 1);
    EXPECT_EQ(t.size(), 2);
    ProbeResult r;
    ASSERT_TRUE(t.probeKeys(42, 2, r));
    EXPECT_EQ(r.lower, 3);
    EXPECT_EQ(t.lockCollisions(), 2);
    EXPECT_FALSE(t.probeKeys(42, 3, r));
    EXPECT_EQ(t.lockCollisions(), 4);
    EXPECT_EQ(t.lookupFailures(), 1);
    EXPECT_EQ(t.lookupSuccesses(), 1);
    EXPECT_EQ(t.maximumListSize(), 2);
    // Another key 0 in the same bucket is walked past without counting.
    t.storeKeys(42 + TranspositionTable::INDEX_SIZE, 1, 1, 0, 0, A);
    EXPECT_EQ(t.maximumListSize(), 3);
    EXPECT_EQ(t.lockCollisions(), 4);
}

TEST(TranspositionTable, EvaluationCacheNeedsEqualBounds) {
    TranspositionTable t;
    Board b = Board::fromPosition([] {
        Position p;
        p.setStartPosition();
        return p;
    }());
    int v = 0;
    EXPECT_FALSE(t.probeEvaluation(b, v));
    t.storeEvaluation(b, 17);
    ASSERT_TRUE(t.probeEvaluation(b, v));
    EXPECT_EQ(v, 17);
    // A searched entry with unequal bounds neither serves nor accepts a static value.
    Board c = b;
    c.sideToMove = 1;
    t.store(c, 2, -5, 20000, A);
    t.storeEvaluation(c, 3);
    EXPECT_FALSE(t.probeEvaluation(c, v));
    EXPECT_EQ(t.addFailures(), 1);
    // An exact searched entry serves as the static value.
    t.store(c, 2, 8, 8, A);
    ASSERT_TRUE(t.probeEvaluation(c, v));
    EXPECT_EQ(v, 8);
    // Black to move shifts both keys by one.
    EXPECT_EQ(c.hashValue(0), b.hashValue(0) + 1);
}

TEST(TranspositionTable, FullTableReplacesCyclicallySkippingDeeperEntries) {
    TranspositionTable t;
    const int max = TranspositionTable::MAXIMUM_SIZE;
    // Entries 0..8 deep, the rest shallow.
    for (int i = 0; i < max; ++i) t.storeKeys(static_cast<std::uint32_t>(i) * 3 + 1, 5, i < 9 ? 9 : 1, 0, 0, A);
    ASSERT_EQ(t.size(), max);
    EXPECT_EQ(t.replaceCursor(), max - 1);

    // The 524289th position at depth 1: entries 0..8 are deeper, so the cursor stops at 9.
    t.storeKeys(7777777u * 3 + 2, 5, 1, 4, 4, B);
    EXPECT_EQ(t.replaceCursor(), 9);
    EXPECT_EQ(t.entry(9).key0, 7777777u * 3 + 2);
    ProbeResult r;
    EXPECT_FALSE(t.probeKeys(9 * 3 + 1, 5, r));  // the victim is gone from its bucket
    ASSERT_TRUE(t.probeKeys(7777777u * 3 + 2, 5, r));
    EXPECT_EQ(r.move, B);

    // At depth 9 the next entry is taken at once.
    t.storeKeys(8888888u * 3 + 2, 5, 9, 1, 1, A);
    EXPECT_EQ(t.replaceCursor(), 10);
}

// Forty keys that the index first looks for in one slot: a run longer than a slot can say its
// distance for, keys sharing a top byte among them, and removals from the front of the run that
// move the rest back.
TEST(TranspositionTable, KeysCrowdingOneIndexSlotStayFoundThroughReplacement) {
    auto t = std::make_unique<TranspositionTable>();
    const std::uint32_t home = TranspositionTable::indexHome(12345);
    std::vector<std::uint32_t> keys;
    for (std::uint32_t k = 0; keys.size() < 40; ++k)
        if (TranspositionTable::indexHome(k) == home) keys.push_back(k);
    bool sharedTopByte = false;
    for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = i + 1; j < keys.size(); ++j) sharedTopByte |= keys[i] >> 24 == keys[j] >> 24;
    EXPECT_TRUE(sharedTopByte);

    auto value = [](std::size_t i) { return static_cast<int>(i) * 3 - 50; };
    for (std::size_t i = 0; i < keys.size(); ++i)
        ASSERT_TRUE(t->storeKeys(keys[i], 7, 1, value(i), value(i), A));
    ProbeResult r;
    auto expectFound = [&](std::size_t i) {
        ASSERT_TRUE(t->probeKeys(keys[i], 7, r)) << i;
        EXPECT_EQ(r.lower, value(i)) << i;
    };
    for (std::size_t i = 0; i < keys.size(); ++i) expectFound(i);

    // Fill the table with other keys (above any crowded one); further keys then replace entries
    // 0, 1, 2 ..., the crowded keys in the order they were stored.
    std::uint32_t other = 0x80000000u;
    while (t->size() < TranspositionTable::MAXIMUM_SIZE) t->storeKeys(other++, 1, 1, 0, 0, B);
    for (int i = 0; i < 25; ++i) t->storeKeys(other++, 1, 1, 0, 0, B);
    for (std::size_t i = 0; i < 25; ++i) EXPECT_FALSE(t->probeKeys(keys[i], 7, r)) << i;
    for (std::size_t i = 25; i < keys.size(); ++i) expectFound(i);

    // Stored again, the first ten replace the next ten crowded keys, from the middle of the run.
    for (std::size_t i = 0; i < 10; ++i) ASSERT_TRUE(t->storeKeys(keys[i], 7, 1, value(i), value(i), A));
    for (std::size_t i = 0; i < 10; ++i) expectFound(i);
    for (std::size_t i = 10; i < 35; ++i) EXPECT_FALSE(t->probeKeys(keys[i], 7, r)) << i;
    for (std::size_t i = 35; i < keys.size(); ++i) expectFound(i);
}

TEST(TranspositionTable, FirstReplacementTakesEntryZeroWhenNotDeeper) {
    TranspositionTable t;
    const int max = TranspositionTable::MAXIMUM_SIZE;
    for (int i = 0; i < max; ++i) t.storeKeys(static_cast<std::uint32_t>(i) * 3 + 1, 5, 2, 0, 0, A);
    t.storeKeys(5u * 3 + 2, 5, 2, 4, 4, B);
    EXPECT_EQ(t.replaceCursor(), 0);
    EXPECT_EQ(t.entry(0).key0, 5u * 3 + 2);
    EXPECT_EQ(t.size(), max);
}

TEST(TranspositionTable, TenthAdvanceTakesTheEntryWhateverItsDepth) {
    TranspositionTable t;
    const int max = TranspositionTable::MAXIMUM_SIZE;
    for (int i = 0; i < max; ++i) t.storeKeys(static_cast<std::uint32_t>(i) * 3 + 1, 5, i < 20 ? 9 : 1, 0, 0, A);
    t.storeKeys(999u * 3 + 2, 5, 0, 4, 4, B);
    EXPECT_EQ(t.replaceCursor(), 9);  // ten advances from 524287: 0, 1, ..., 9
    EXPECT_EQ(t.entry(9).depth, 0);
}

TEST(TranspositionTable, RemovalKeepsTheOrderOfTheRestOfTheBucket) {
    TranspositionTable t;
    const int max = TranspositionTable::MAXIMUM_SIZE;
    const std::uint32_t bucket = 12345;
    // Entries 0, 1 and 2 share key 0 (odd); the rest (even keys) fill the table.
    t.storeKeys(bucket, 1, 1, 0, 0, A);  // entry 0
    t.storeKeys(bucket, 2, 1, 0, 0, A);  // entry 1
    t.storeKeys(bucket, 3, 1, 0, 0, A);  // entry 2
    for (int i = 3; i < max; ++i) t.storeKeys(static_cast<std::uint32_t>(i) * 2, 1, 1, 0, 0, A);
    // Replacing entry 0 takes it out of the bucket; 2 and 3 keep their order.
    t.storeKeys(2 * max + 2, 9, 1, 0, 0, B);
    EXPECT_EQ(t.replaceCursor(), 0);
    const auto before = t.lockCollisions();
    ProbeResult r;
    ASSERT_TRUE(t.probeKeys(bucket, 3, r));
    EXPECT_EQ(t.lockCollisions() - before, 1);  // only the entry with lock 2 lies before it
}

TEST(TranspositionTable, StatisticsBlockOfAFreshTable) {
    TranspositionTable t;
    testing::TraceCapture trace;
    t.printStatistics();
    EXPECT_EQ(trace.text(),
              "\n-- Transposition Table Stats --\n"
              "Maximum Table Size    : 524288\n"
              "Current Table Size    : 0\n"
              "Table Index Size      : 524288\n"
              "Add Successes         : 0\n"
              "Add Failures          : 0\n"
              "Lookup Successes      : 0\n"
              "Lookup Failures       : 0\n"
              "Lock Collisions       : 0\n"
              "Maximum list-size     : 0\n"
              "\n");
}

}  // namespace
}  // namespace wintarvo
