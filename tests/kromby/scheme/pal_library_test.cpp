#include "kromby/scheme/pal_library.h"

#include <gtest/gtest.h>

#include "kd/file_io.h"
#include "tests/kromby/sprite/sprite_test_util.h"
#include "tests/support/temp_dir.h"

using namespace fixture;

namespace {

// A .wpal image written field by field.
Bytes Words(std::initializer_list<int64_t> words, const char* magic = "wpal") {
    Bytes out(magic, magic + 4);
    for (int64_t w : words)
        for (int k = 0; k < 4; ++k) out.push_back(uint8_t(uint64_t(w) >> (8 * k)));
    return out;
}

const DyeMatrix kA{1, 2, 3, 4, 5, 6, 7, 8, 9};
const DyeMatrix kB{256, 0, 0, 0, 512, 0, 0, 0, 0xFFFFFF00u};

TEST(PalLibrary, ReadsBoundariesAndEntries) {
    // Two segments 0..63 and 64..255; the first has two entries, the second one.
    const Bytes bytes = Words({2,   0, 64, 256,                         //
                               2,   1, 2,  3,   4,   5, 6, 7, 8,    9,  //
                               256, 0, 0,  0,   512, 0, 0, 0, -256, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    const PalLibraryList lib = ParsePalLibrary(bytes);
    ASSERT_EQ(lib.size(), 2u);
    EXPECT_EQ(lib[0], (PalLib{0, 63, {kA, kB}}));
    EXPECT_EQ(lib[1], (PalLib{64, 255, {kA}}));
    EXPECT_EQ(SerializePalLibrary(lib), bytes);

    TempDir dir;
    kd::WriteWholeFile(dir.Path() / "a.wpal", bytes);
    EXPECT_EQ(ReadPalLibraryFile(dir / "a.wpal"), lib);
}

TEST(PalLibrary, EdgesThatAreStillValid) {
    EXPECT_TRUE(ParsePalLibrary(Words({0, 0})).empty());            // no segments, one boundary
    EXPECT_EQ(ParsePalLibrary(Words({1, 50, 40, 0}))[0].Last, 39);  // reversed: dyes nothing
    // A segment without entries starts neutral; bytes after the last block are ignored.
    const PalLibraryList lib = ParsePalLibrary(Words({1, 10, 20, 0, 12345}));
    ASSERT_EQ(lib.size(), 1u);
    EXPECT_TRUE(lib[0].Matrices.empty());
    EXPECT_EQ(lib[0].FirstEntry(), kIdentityMatrix);
    EXPECT_EQ(lib[0].Last, 19);
}

struct BadLibrary {
    const char* name;
    Bytes bytes;
};

class RefusedLibraries : public testing::TestWithParam<BadLibrary> {};

TEST_P(RefusedLibraries, AreNotALibrary) {
    EXPECT_EQ(ErrorOf([&] { ParsePalLibrary(GetParam().bytes); }),
              "这可不是有效的调色板配置文件哦！");
}

INSTANTIATE_TEST_SUITE_P(
    PalLibrary, RefusedLibraries,
    testing::Values(BadLibrary{"Empty", {}}, BadLibrary{"ShortMagic", {'w', 'p', 'a'}},
                    BadLibrary{"WrongMagic", Words({0, 0}, "wsln")},
                    BadLibrary{"NoCount", Words({})}, BadLibrary{"NegativeCount", Words({-1, 0})},
                    BadLibrary{"HugeCount", Words({0x7FFFFFFF, 0, 1})},
                    BadLibrary{"BoundariesCutShort", Words({2, 0, 64})},
                    BadLibrary{"EntryCountMissing", Words({1, 0, 256})},
                    BadLibrary{"NegativeEntryCount", Words({1, 0, 256, -1})},
                    BadLibrary{"EntryCutShort", Words({1, 0, 256, 1, 1, 2, 3, 4, 5, 6, 7, 8})},
                    BadLibrary{"HugeEntryCount", Words({1, 0, 256, 0x7FFFFFFF, 1})},
                    BadLibrary{"BoundaryBelowZero", Words({1, -1, 256, 0})},
                    BadLibrary{"BoundaryBeyondThePalette", Words({2, 0, 128, 257, 0, 0})}),
    [](const auto& info) { return info.param.name; });

}  // namespace
