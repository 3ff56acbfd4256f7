#include <gtest/gtest.h>

#include <algorithm>

#include "dravik/core/cache.h"
#include "tests/support/cache_builder.h"
#include "tests/support/dravik_test_util.h"

using namespace fixture;
using dravik::ExtractCache;

namespace {

// A cache whose every entry has one 1 x 1 image, so that each visit leaves a "File:" line
// naming its sequence number. Slots are given raw: A..Z name entries, '.' a terminator.
struct SlotPlan {
    char kind;  // letter: entry, '.': terminator
    uint32_t FirstChild = 0;
};

CacheWriter RawCache(const std::vector<SlotPlan>& plan, std::optional<uint32_t> indexSize = {}) {
    CacheWriter w;
    CacheImage img;
    img.Width = img.Height = 1;
    img.Rows = {{0x81, 1}};
    const uint32_t info = w.AddInfo(WeaponInfo(0));
    const uint32_t table = w.AddTable(1, 1, {w.AddRecord(img.Body())});
    std::vector<RawSlot> slots;
    for (const SlotPlan& s : plan)
        slots.push_back(s.kind == '.' ? RawSlot{} : RawSlot{info, table, s.FirstChild});
    w.SetIndex(slots, indexSize);
    if (indexSize && *indexSize > slots.size() * 12) w.Hdr.resize(w.Hdr.size() + *indexSize - slots.size() * 12);
    return w;
}

std::vector<std::string> FileLines(std::initializer_list<int> sequences) {
    std::vector<std::string> out;
    for (int s : sequences) out.push_back(dravik::Format("[LOG] File:\"%.8d_0000_0000.tga\"", s));
    return out;
}

struct WalkCase {
    const char* name;
    std::vector<SlotPlan> slots;
    std::optional<uint32_t> indexSize;
    std::vector<std::string> files;
    std::vector<int> progress;
    std::vector<std::string> errors;  // each expected error line contains this text
};

class WalkTest : public testing::TestWithParam<WalkCase>, protected ExtractorFixture {};

TEST_P(WalkTest, VisitsEntriesInOrderWithSequenceNumbers) {
    const WalkCase& c = GetParam();
    const CacheWriter w = RawCache(c.slots, c.indexSize);
    WriteCache(dir.Path(), {w.Hdr, w.Dat});
    ExtractCache(ws, dir.Path() / "v3d_cache/v3d.hdr", dir.Path() / "v3d_cache/v3d.dat", Recorder());
    EXPECT_EQ(Files(), c.files);
    EXPECT_EQ(progress, c.progress);
    const auto errors = Errors();
    ASSERT_EQ(errors.size(), c.errors.size()) << testing::PrintToString(errors);
    for (size_t i = 0; i < errors.size(); ++i) EXPECT_NE(errors[i].find(c.errors[i]), std::string::npos) << errors[i];
}

INSTANTIATE_TEST_SUITE_P(
    Index, WalkTest,
    testing::Values(
        // Root A, B; A's children C, D: A C D B with 0 1 2 4, the counter ending at 6.
        WalkCase{"nested", {{'A', 3}, {'B'}, {'.'}, {'C'}, {'D'}, {'.'}}, {},
                 FileLines({0, 1, 2, 4}), {16, 33, 50, 66, 83, 100}, {}},
        WalkCase{"remainder_ignored", {{'A', 3}, {'B'}, {'.'}, {'C'}, {'D'}, {'.'}}, 6 * 12 + 11,
                 FileLines({0, 1, 2, 4}), {16, 33, 50, 66, 83, 100}, {}},
        WalkCase{"terminator_only", {{'.'}}, {}, {}, {100}, {}},
        WalkCase{"no_slots", {}, {}, {}, {100}, {}},
        WalkCase{"eleven_bytes", {{'A'}}, 11, {}, {100}, {}},
        // A cycle: B's child list is the list B stands in.
        WalkCase{"cycle", {{'A', 2}, {'.'}, {'B', 2}, {'.'}}, {}, FileLines({0, 1}),
                 {25, 50, 75, 100}, {"child list at slot 2 was already walked"}},
        // Two entries sharing one child list: walked under the first only.
        WalkCase{"shared_list", {{'A', 3}, {'B', 3}, {'.'}, {'C'}, {'.'}}, {},
                 FileLines({0, 1, 3}), {20, 40, 60, 80, 100},
                 {"child list at slot 3 was already walked"}},
        // A child list starting inside a list already walked would walk its tail again.
        WalkCase{"overlapping_lists", {{'A'}, {'B', 1}, {'.'}}, {}, FileLines({0, 1}),
                 {33, 66, 100}, {"child list at slot 1 was already walked"}},
        WalkCase{"child_beyond_total", {{'A', 99}, {'.'}}, {}, FileLines({0}), {50, 100},
                 {"child list at slot 99 lies beyond the 2 slots"}},
        WalkCase{"no_terminator", {{'A'}, {'B'}}, {}, FileLines({0, 1}), {50, 100, 100},
                 {"runs off the end of the 2 slots"}},
        WalkCase{"child_without_terminator", {{'A', 2}, {'.'}, {'C'}}, {}, FileLines({0, 1}),
                 {33, 66, 66, 100}, {"list at slot 2 runs off the end"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WalkDepth, DeeplyNestedListsNeitherOverflowNorSlowDown) {
    ExtractorFixture f;
    CacheWriter w;
    const uint32_t info = w.AddInfo(WeaponInfo(0));
    const uint32_t table = w.AddTable(0, 0, {});
    constexpr uint32_t kLists = 100000;  // each list: one entry whose child is the next list
    std::vector<RawSlot> slots;
    for (uint32_t k = 0; k < kLists; ++k) {
        slots.push_back({info, table, k + 1 < kLists ? 2 * k + 2 : 0});
        slots.push_back({});
    }
    w.SetIndex(slots);
    WriteCache(f.dir.Path(), {w.Hdr, w.Dat});
    ExtractCache(f.ws, f.dir.Path() / "v3d_cache/v3d.hdr", f.dir.Path() / "v3d_cache/v3d.dat",
                 f.Recorder());
    EXPECT_TRUE(f.Errors().empty());
    EXPECT_TRUE(std::is_sorted(f.progress.begin(), f.progress.end()));
    EXPECT_EQ(f.progress.back(), 100);
    EXPECT_EQ(f.progress.size(), 2 * kLists);  // after each entry and after each child list
}

struct OpenCase {
    const char* name;
    const char* hdrMagic;
    const char* datMagic;
    bool hdrExists, datExists;
    const char* error;  // "%s" for the missing file's path
};

class CacheOpenTest : public testing::TestWithParam<OpenCase>, protected ExtractorFixture {};

TEST_P(CacheOpenTest, LogsOneErrorAndEndsTheRun) {
    const OpenCase& c = GetParam();
    CacheWriter w = RawCache({{'A'}, {'.'}});
    std::copy(c.hdrMagic, c.hdrMagic + 4, w.Hdr.begin());
    std::copy(c.datMagic, c.datMagic + 4, w.Dat.begin());
    WriteCache(dir.Path(), {w.Hdr, w.Dat});
    const auto hdr = dir.Path() / "v3d_cache/v3d.hdr", dat = dir.Path() / "v3d_cache/v3d.dat";
    if (!c.hdrExists) std::filesystem::remove(hdr);
    if (!c.datExists) std::filesystem::remove(dat);
    ExtractCache(ws, hdr, dat, Recorder());
    const std::string missing = !c.hdrExists ? hdr.string() : dat.string();
    EXPECT_EQ(Lines(), std::vector<std::string>{"[ERROR] " + dravik::Format(c.error, missing.c_str())});
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "out"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CacheOpenTest,
    testing::Values(OpenCase{"hdr_missing", "v3dh", "v3dd", false, true, "Open \"%s\" fails."},
                    OpenCase{"dat_missing", "v3dh", "v3dd", true, false, "Open \"%s\" fails."},
                    OpenCase{"hdr_magic", "v3dx", "v3dd", true, true, "v3d.hdr's flag error!"},
                    OpenCase{"both_magics", "xxxx", "yyyy", true, true, "v3d.hdr's flag error!"},
                    OpenCase{"dat_magic", "v3dh", "v3dH", true, true, "v3d.dat's flag error!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CacheIndex, IndexOutsideTheFileIsAnErrorNotAnAllocation) {
    for (const bool sizeTooLarge : {false, true}) {
        ExtractorFixture f;
        CacheWriter w = RawCache({{'A'}, {'.'}});
        if (sizeTooLarge) kd::StoreU32(w.Hdr.data() + w.Hdr.size() - 2 * 12 - 4, 0xFFFFFFF0u);
        else kd::StoreU32(w.Hdr.data() + 8, uint32_t(w.Hdr.size()) + 100);
        WriteCache(f.dir.Path(), {w.Hdr, w.Dat});
        ExtractCache(f.ws, f.dir.Path() / "v3d_cache/v3d.hdr", f.dir.Path() / "v3d_cache/v3d.dat",
                     f.Recorder());
        const auto errors = f.Errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(sizeTooLarge ? "runs past the end" : "lies beyond the end"),
                  std::string::npos);
        EXPECT_TRUE(f.Files().empty());
    }
}

}  // namespace
