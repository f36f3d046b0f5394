// Item variation stores: region scalars, summed deltas and the damaged stores refused.
#include <gtest/gtest.h>

#include "support/ttf_builder.h"
#include "tables/item_variation_store.h"

namespace {

constexpr std::int16_t F2(double v) { return std::int16_t(v * 16384); }

// One axis; region 0 peaks at +1, region 1 is an intermediate 0.25..0.5..0.75.
// Two items: word deltas in the first column, byte deltas in the second.
ttf::ByteVector twoRegionStore()
{
    ttf::Bytes b;
    b.u16(1).u32(12).u16(1).u32(12 + 4 + 12); // format, region list, one data subtable
    b.u16(1).u16(2);                           // axisCount, regionCount
    b.i16(0).i16(F2(1)).i16(F2(1));
    b.i16(F2(0.25)).i16(F2(0.5)).i16(F2(0.75));
    b.u16(2).u16(1).u16(2).u16(0).u16(1); // itemCount, one word column, two regions
    b.i16(100).u8(std::uint8_t(-20));
    b.i16(-300).u8(7);
    return b.data;
}

TEST(ItemVariationStore, ScalarsAndDeltasAtLocations)
{
    const ttf::ByteVector bytes = twoRegionStore();
    const auto store = ReadItemVariationStore(bytes, 0);
    ASSERT_TRUE(store);
    ASSERT_EQ(store->regions.size(), 2u);
    EXPECT_EQ(RegionScalar(store->regions[0], Location{{0.5}}), FixedOne / 2);
    EXPECT_EQ(RegionScalar(store->regions[0], Location{{-0.5}}), 0);
    EXPECT_EQ(RegionScalar(store->regions[1], Location{{0.5}}), FixedOne);
    EXPECT_EQ(RegionScalar(store->regions[1], Location{{0.625}}), FixedOne / 2);
    EXPECT_EQ(RegionScalar(store->regions[1], Location{{0.75}}), 0);
    // 100 * 0.5 - 20 * 1 = 30; -300 * 0.5 + 7 = -143
    EXPECT_EQ(ItemDeltaRounded(*store, 0, 0, Location{{0.5}}), 30);
    EXPECT_EQ(ItemDeltaRounded(*store, 0, 1, Location{{0.5}}), -143);
    EXPECT_EQ(ItemDeltaRounded(*store, 0, 1, Location{{1.0}}), -300);
    EXPECT_EQ(ItemDeltaRounded(*store, 0, 1, Location{}), 0);
    EXPECT_EQ(ItemDeltaRounded(*store, 1, 0, Location{{1.0}}), 0); // no such subtable
    EXPECT_EQ(ItemDeltaRounded(*store, 0, 2, Location{{1.0}}), 0); // no such item
}

TEST(ItemVariationStore, DamagedStoresAreRefused)
{
    struct Case {
        const char* what;
        std::size_t at; // byte to patch, or the length to cut to
        int value;      // -1: cut
    };
    const Case cases[] = {
        {"region list past the table", 2, 0x7FFF},
        {"region index out of range", 12 + 4 + 12 + 8, 2},
        {"more word columns than regions", 12 + 4 + 12 + 2, 3},
        {"deltas cut short", 12 + 4 + 12 + 10 + 3, -1},
        {"wrong format", 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ttf::ByteVector bytes = twoRegionStore();
        if (c.value < 0)
            bytes.resize(c.at);
        else
            ttf::putU16(bytes, c.at, std::uint16_t(c.value));
        EXPECT_FALSE(ReadItemVariationStore(bytes, 0));
    }
}

TEST(DeltaSetIndexMap, SplitsEntriesIntoOuterAndInner)
{
    ttf::Bytes b;
    b.u8(0).u8(0x13).u16(2); // two-byte entries, four inner bits
    b.u16(0x0025).u16(0x0103);
    const auto map = ReadDeltaSetIndexMap(b.data, 0);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->entries, (std::vector<std::uint32_t>{2u << 16 | 5, 16u << 16 | 3}));
    b.data.pop_back();
    EXPECT_FALSE(ReadDeltaSetIndexMap(b.data, 0));
}

} // namespace
