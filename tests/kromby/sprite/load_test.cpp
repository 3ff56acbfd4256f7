#include <gtest/gtest.h>

#include <random>

#include "kd/file_io.h"
#include "kd/le.h"
#include "tests/kromby/sprite/sprite_test_util.h"
#include "tests/support/temp_dir.h"

using namespace fixture;

namespace {

Frame Opaque(int w, int h, uint8_t index, int keyX = 0, int keyY = 0) {
    std::vector<WasPixel> px(size_t(w * h), Px(32, index));
    return Frame::Encode(keyX, keyY, w, h, px);
}

Sprite TwoByTwo() {
    Sprite s;
    s.Header.Directions = 2;
    s.Header.FramesPerDirection = 2;
    s.Header.Width = 10;
    s.Header.Height = 8;
    s.Header.KeyX = 3;
    s.Header.KeyY = -2;
    s.Palette = DistinctPalette();
    for (int i = 0; i < 4; ++i) s.Frames.push_back(Opaque(i + 1, 2, uint8_t(10 + i), i, -i));
    return s;
}

struct HeaderCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::string message;
};

class BadHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(BadHeader, IsRefusedWithItsMessageAndLeavesNothingLoaded) {
    Bytes bytes = TwoByTwo().Build();
    GetParam().damage(bytes);
    TWasFile was;
    was.LoadFromMemory(TwoByTwo().Build(), "first.was");
    EXPECT_EQ(ErrorOf([&] { was.LoadFromMemory(bytes, "second.was"); }), GetParam().message);
    EXPECT_FALSE(was.Loaded());
}

INSTANTIATE_TEST_SUITE_P(
    Load, BadHeader,
    testing::Values(HeaderCase{"WrongMagic", [](Bytes& b) { b[1] = 'Q'; }, "错误的文件标识！"},
                    HeaderCase{"EmptyFile", [](Bytes& b) { b.clear(); }, "错误的文件标识！"},
                    HeaderCase{"HeaderSizeBelowTwelve", [](Bytes& b) { kd::StoreU16(&b[2], 11); },
                               "错误的文件版本，请与作者联系！"},
                    HeaderCase{"NoDirections", [](Bytes& b) { kd::StoreU16(&b[4], 0); },
                               "错误的精灵数或帧数！"},
                    HeaderCase{"NoFrames",
                               [](Bytes& b) {
                                   kd::StoreU16(&b[4], 1);
                                   kd::StoreU16(&b[6], 0);
                               },
                               "错误的精灵数或帧数！"}),
    [](const auto& info) { return info.param.name; });

TEST(Load, FillsHeaderFramesPalettesAndBody) {
    Sprite s = TwoByTwo();
    s.Trailing = {9, 8, 7};
    const Bytes bytes = s.Build();
    const TWasFile was = LoadBytes(bytes);

    EXPECT_TRUE(was.Loaded());
    EXPECT_EQ(was.FileName(), "mem.was");
    EXPECT_EQ(was.DirectionCount(), 2);
    EXPECT_EQ(was.FrameCount(), 2);
    EXPECT_EQ(was.Header().KeyY, -2);
    ASSERT_EQ(was.Frames().size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(was.FrameWidth(i), i + 1);
        EXPECT_EQ(was.FrameHeight(i), 2);
        EXPECT_EQ(was.FrameKeyX(i), i);
        EXPECT_EQ(was.FrameKeyY(i), -i);
        EXPECT_EQ(was.Frames()[size_t(i)].Pixels[0], Px(32, 10 + i));
    }
    EXPECT_EQ(was.FilePalette(), s.Palette);
    EXPECT_EQ(was.GetPalette(), s.Palette);
    EXPECT_EQ(Bytes(was.Body().begin(), was.Body().end()),
              Bytes(bytes.begin() + 16 + 512, bytes.end()));
}

TEST(Load, ExtraHeaderIsCarriedAndMovesThePalette) {
    Sprite s = TwoByTwo();
    s.Extra = {1, 2, 3, 4, 5, 6, 7, 8};
    const Bytes bytes = s.Build();
    ASSERT_EQ(kd::LoadU16(&bytes[2]), 20);
    const TWasFile was = LoadBytes(bytes);
    EXPECT_EQ(was.ExtraHeader(), s.Extra);
    EXPECT_EQ(was.FilePalette(), s.Palette);
    EXPECT_EQ(was.Body().size(), bytes.size() - 24 - 512);
}

TEST(Load, AbsentFramesAreOneTransparentPixel) {
    Sprite s = TwoByTwo();
    s.Frames[1].reset();
    // The table is also cut short: the header promises 6 frames, the table holds 4.
    s.Header.FramesPerDirection = 3;
    const TWasFile was = LoadBytes(s.Build());
    ASSERT_EQ(was.Frames().size(), 6u);
    for (size_t i : {1u, 4u, 5u}) {
        const TWasImage& f = was.Frames()[i];
        EXPECT_EQ(f.Width, 1);
        EXPECT_EQ(f.Height, 1);
        EXPECT_EQ(f.KeyX, 0);
        EXPECT_EQ(f.Pixels, std::vector<WasPixel>{Px(0, 0)});
    }
    EXPECT_EQ(was.Frames()[2].Pixels[0], Px(32, 12));
}

TEST(Load, SmallestFileHasOneAbsentFrameAndNoBody) {
    Sprite s;
    const Bytes bytes = s.Build();  // header + palette, no offset table
    ASSERT_EQ(bytes.size(), 528u);
    const TWasFile was = LoadBytes(bytes);
    EXPECT_TRUE(was.Loaded());
    EXPECT_TRUE(was.Body().empty());
    EXPECT_EQ(was.Frames().size(), 1u);
}

TEST(Load, FileShorterThanItsPaletteIsRefused) {
    Bytes bytes = Sprite{}.Build();
    bytes.resize(527);
    TWasFile was;
    EXPECT_NE(ErrorOf([&] { was.LoadFromMemory(bytes, "short.was"); }), "");
    EXPECT_FALSE(was.Loaded());
}

TEST(Load, SecondFileReplacesEverythingIncludingPalettes) {
    Sprite other;
    other.Palette[0] = 0xF800;
    TWasFile was = LoadBytes(TwoByTwo().Build());
    was.DyeRange(0, 255, DyeMatrix{});
    was.LoadFromMemory(other.Build(), "other.was");
    EXPECT_EQ(was.FileName(), "other.was");
    EXPECT_EQ(was.Frames().size(), 1u);
    EXPECT_EQ(was.FilePalette(), other.Palette);
    EXPECT_EQ(was.GetPalette(), other.Palette);
}

TEST(Load, FailuresAfterReadingKeepOrDropThePalettesAsTheyCame) {
    TWasFile was = LoadBytes(TwoByTwo().Build());
    const WasPalette before = was.GetPalette();
    Bytes bad = Sprite{}.Build();
    bad[0] = 'X';
    EXPECT_NE(ErrorOf([&] { was.LoadFromMemory(bad, "bad.was"); }), "");
    EXPECT_EQ(was.GetPalette(), before);
    EXPECT_EQ(was.FilePalette(), before);
    EXPECT_TRUE(was.Frames().empty());  // none of the earlier sprite's frames shows through

    // A failure in frame 2 leaves frames 0..2 of the new file, not frame 3 of the old one.
    Sprite s = TwoByTwo();
    s.Frames[2]->Height = -1;
    was.LoadFromMemory(TwoByTwo().Build(), "again.was");
    EXPECT_NE(ErrorOf([&] { was.LoadFromMemory(s.Build(), "bad.was"); }), "");
    EXPECT_EQ(was.Frames().size(), 3u);
}

TEST(Load, UnreadableFileKeepsTheLoadedSprite) {
    TempDir dir;
    const Bytes bytes = TwoByTwo().Build();
    kd::WriteWholeFile(dir.Path() / "a.was", bytes);
    TWasFile was;
    was.LoadFromFile(dir / "a.was");
    const std::string error = ErrorOf([&] { was.LoadFromFile(dir / "missing.was"); });
    EXPECT_NE(error.find("missing.was"), std::string::npos) << error;
    EXPECT_TRUE(was.Loaded());
    EXPECT_EQ(was.FileName(), dir / "a.was");
    EXPECT_EQ(was.Frames().size(), 4u);
}

TEST(Close, EmptiesTheDocumentButKeepsTheWorkingPalette) {
    TWasFile was = LoadBytes(TwoByTwo().Build());
    was.DyeRange(3, 3, DyeMatrix{});
    const WasPalette dyed = was.GetPalette();
    was.Close();
    EXPECT_FALSE(was.Loaded());
    EXPECT_EQ(was.DirectionCount(), 0);
    EXPECT_EQ(was.FrameCount(), 0);
    EXPECT_EQ(was.FileName(), "");
    EXPECT_TRUE(was.Frames().empty());
    EXPECT_TRUE(was.Body().empty());
    EXPECT_EQ(was.GetPalette(), dyed);
}

// Frame blocks the format cannot describe, or that point outside the file.
struct FrameCase {
    const char* name;
    std::function<void(Sprite&, Bytes&)> make;
    bool loads;
};

class OddFrames : public testing::TestWithParam<FrameCase> {};

TEST_P(OddFrames, LoadOrFailCleanly) {
    Sprite s = TwoByTwo();
    Bytes bytes;
    GetParam().make(s, bytes);
    if (bytes.empty()) bytes = s.Build();
    TWasFile was;
    const std::string error = ErrorOf([&] { was.LoadFromMemory(bytes, "odd.was"); });
    EXPECT_EQ(was.Loaded(), GetParam().loads) << error;
    if (!GetParam().loads) {
        EXPECT_NE(error, "");
    }
}

constexpr size_t kTable = 16 + 512;

INSTANTIATE_TEST_SUITE_P(
    Load, OddFrames,
    testing::Values(
        FrameCase{"NegativeHeight", [](Sprite& s, Bytes&) { s.Frames[0]->Height = -1; }, false},
        FrameCase{"NegativeWidthWithRows", [](Sprite& s, Bytes&) { s.Frames[0]->Width = -2; },
                  false},
        FrameCase{"NegativeWidthWithoutRows",
                  [](Sprite& s, Bytes&) { s.Frames[0] = RawFrame(-3, {}); }, true},
        FrameCase{"FrameOffsetBeyondTheFile",  // reads nothing: a 0 x 0 frame
                  [](Sprite& s, Bytes& b) {
                      b = s.Build();
                      kd::StoreU32(&b[kTable], 0x7FFFFFF0);
                  },
                  true},
        FrameCase{"FrameOffsetAtMaximum",
                  [](Sprite& s, Bytes& b) {
                      b = s.Build();
                      kd::StoreU32(&b[kTable], 0xFFFFFFFF);
                  },
                  true},
        FrameCase{"RowOffsetBeyondTheFile",
                  [](Sprite& s, Bytes& b) {
                      b = s.Build();
                      const uint32_t block = kd::LoadU32(&b[kTable]) + 16;
                      kd::StoreU32(&b[block + 16], 0xFFFFFFF0);
                  },
                  false},
        FrameCase{"FileCutInsideAFrame",
                  [](Sprite& s, Bytes& b) {
                      b = s.Build();
                      b.resize(b.size() - 1);
                  },
                  false},
        FrameCase{"ZeroWidthWithBillionsOfRows",  // no row is ever read, so no row table is needed
                  [](Sprite& s, Bytes&) {
                      s.Frames[0] = RawFrame(0, {});
                      s.Frames[0]->Height = 0x7FFFFFFF;
                  },
                  true},
        FrameCase{"HugeFrameFromATinyFile",  // every row ends at once; 2^31 pixels asked for
                  [](Sprite& s, Bytes&) {
                      s.Frames[0] = RawFrame(0x7FFFFFFF, {{0x00}, {0x00}});
                  },
                  false}),
    [](const auto& info) { return info.param.name; });

TEST(Load, LimitsBoundFramesAndPixels) {
    const Bytes bytes = TwoByTwo().Build();
    EXPECT_NE(ErrorOf([&] { LoadBytes(bytes, WasLimits{3, 1000}); }), "");
    EXPECT_NE(ErrorOf([&] { LoadBytes(bytes, WasLimits{4, 19}); }), "");
    EXPECT_TRUE(LoadBytes(bytes, WasLimits{4, 20}).Loaded());  // 2+4+6+8 pixels

    // 65535 x 65535 frames promised by a 528-byte file.
    Sprite s;
    s.Header.Directions = s.Header.FramesPerDirection = 0xFFFF;
    EXPECT_NE(ErrorOf([&] { LoadBytes(s.Build()); }), "");
}

// Frames are sized first and their rows decoded after, on two threads when the sprite is large;
// a failure is still reported as if the frames had been decoded in order: the earliest failing
// frame's error, with the frames up to it kept.
struct FrameFailure {
    int frame, badRow;  // badRow < 0: the frame's height is negative
};

struct OrderCase {
    const char* name;
    int frames, width;
    std::vector<FrameFailure> failures;
    std::string error;
    size_t framesKept;
};

TEST(Load, TheEarliestFailingFrameIsReported) {
    const OrderCase cases[] = {
        // 8 frames of 200 x 100 are decoded on two threads, 4 of 20 x 100 on one.
        {"LargeLoads", 8, 200, {}, "", 8},
        {"LargeTwoBadRows", 8, 200, {{6, 9}, {2, 5}}, RowError(5), 3},
        {"LargeSizeBeforeRows", 8, 200, {{4, 7}, {1, -1}}, "第1帧的尺寸无效：200 × -1", 2},
        {"LargeRowsBeforeSize", 8, 200, {{3, 4}, {5, -1}}, RowError(4), 4},
        {"LargeLastFrame", 8, 200, {{7, 99}}, RowError(99), 8},
        {"SmallTwoBadRows", 4, 20, {{3, 9}, {1, 5}}, RowError(5), 2},
        {"SmallSizeBeforeRows", 4, 20, {{2, 7}, {0, -1}}, "第0帧的尺寸无效：20 × -1", 1},
    };
    for (const OrderCase& c : cases) {
        std::mt19937 rng(3);
        Sprite s;
        s.Header.FramesPerDirection = uint16_t(c.frames);
        std::vector<std::vector<WasPixel>> sources;
        for (int i = 0; i < c.frames; ++i) {
            std::vector<WasPixel> px;
            while (px.size() < size_t(c.width) * 100) {
                const auto run = size_t(1 + rng() % 40), kind = size_t(rng() % 3);
                const auto index = uint8_t(rng());
                for (size_t k = 0; k < run; ++k)
                    px.push_back(kind == 0 ? Px(0, 0) : Px(kind == 1 ? 32 : 9, index + k % 2));
            }
            px.resize(size_t(c.width) * 100);
            sources.push_back(px);
            s.Frames.push_back(Frame::Encode(0, 0, c.width, 100, px));
        }
        for (const FrameFailure& f : c.failures) {
            if (f.badRow < 0)
                s.Frames[size_t(f.frame)]->Height = -1;
            else
                s.Frames[size_t(f.frame)]->Rows[size_t(f.badRow)] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        }
        TWasFile was;
        EXPECT_EQ(ErrorOf([&] { was.LoadFromMemory(s.Build(), "order.was"); }), c.error) << c.name;
        EXPECT_EQ(was.Frames().size(), c.framesKept) << c.name;
        if (c.error.empty()) {
            for (size_t i = 0; i < sources.size(); ++i)
                EXPECT_EQ(was.Frames()[i].Pixels, sources[i]) << c.name << " frame " << i;
        }
    }
}

}  // namespace
