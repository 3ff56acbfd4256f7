#include <gtest/gtest.h>
#include <sys/stat.h>

#include "kd/file_io.h"
#include "kd/le.h"
#include "tests/kromby/sprite/sprite_test_util.h"
#include "tests/support/temp_dir.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

Sprite Sample(int directions, int frames) {
    Sprite s;
    s.Header.Directions = uint16_t(directions);
    s.Header.FramesPerDirection = uint16_t(frames);
    s.Header.Width = 4;
    s.Header.Height = 3;
    s.Header.KeyX = 1;
    s.Header.KeyY = 2;
    s.Palette = DistinctPalette();
    for (int i = 0; i < directions * frames; ++i) {
        // 2 x 2 frames, hot spot (0, 1); each frame's own index in its top-left pixel.
        std::vector<WasPixel> px{Px(32, i + 1), Px(16, 200), Px(0, 0), Px(32, 201)};
        s.Frames.push_back(Frame::Encode(0, 1, 2, 2, px));
    }
    return s;
}

TWasFile LoadAt(const std::string& path, const Bytes& bytes) {
    kd::WriteWholeFile(kd::PathFromUtf8(path), bytes);
    TWasFile was;
    was.LoadFromFile(path);
    return was;
}

Bytes Read(const std::string& path) {
    return kd::ReadWholeFile(kd::PathFromUtf8(path));
}

TEST(Save, UndyedSpriteIsReproducedByteForByte) {
    TempDir dir;
    Sprite s = Sample(2, 3);
    s.Extra = {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4};
    s.Trailing = {'t', 'a', 'i', 'l'};
    const Bytes bytes = s.Build();
    TWasFile was = LoadAt(dir / "a.was", bytes);
    was.SaveToFile(dir / "b.was");
    EXPECT_EQ(Read(dir / "b.was"), bytes);
}

TEST(Save, DyeingChangesOnlyThePaletteBytes) {
    TempDir dir;
    Sprite s = Sample(1, 2);
    s.Extra = Bytes(8, 0x11);
    const Bytes bytes = s.Build();
    TWasFile was = LoadAt(dir / "a.was", bytes);
    was.DyeRange(0, 255, DyeMatrix{0, 0, 256, 0, 256, 0, 256, 0, 0});
    was.SaveToFile(dir / "a.was");  // over the file it came from

    const Bytes saved = Read(dir / "a.was");
    ASSERT_EQ(saved.size(), bytes.size());
    const size_t paletteAt = 4 + 20;
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + paletteAt, bytes.begin()));
    EXPECT_TRUE(
        std::equal(saved.begin() + paletteAt + 512, saved.end(), bytes.begin() + paletteAt + 512));
    const WasPalette dyed = was.GetPalette();
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(kd::LoadU16(&saved[paletteAt + 2 * i]), dyed[size_t(i)]);

    TWasFile again;
    again.LoadFromFile(dir / "a.was");
    EXPECT_EQ(again.FilePalette(), dyed);
}

TEST(Save, AFailedSaveLeavesTheOldFileAndNamesThePath) {
    TempDir dir;
    TWasFile was = LoadAt(dir / "a.was", Sample(1, 1).Build());
    fs::create_directory(dir.Path() / "taken.was");
    const std::string error = ErrorOf([&] { was.SaveToFile(dir / "taken.was"); });
    EXPECT_NE(error.find("taken.was"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(dir.Path() / "taken.was"));
    EXPECT_NE(ErrorOf([&] { was.SaveToFile(dir / "missing/x.was"); }), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST(Save, KeepsTheReplacedFilesPermissions) {
    TempDir dir;
    TWasFile was = LoadAt(dir / "a.was", Sample(1, 1).Build());
    chmod((dir / "a.was").c_str(), 0600);
    was.SaveToFile(dir / "a.was");
    struct stat st {};
    stat((dir / "a.was").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

struct NameCase {
    const char* name;
    std::string file;
    int perDirection, index;
    std::string expected;
};

class TgaNames : public testing::TestWithParam<NameCase> {};

TEST_P(TgaNames, FollowTheSpriteFile) {
    EXPECT_EQ(TgaFileName(GetParam().file, GetParam().perDirection, GetParam().index),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Export, TgaNames,
    testing::Values(
        NameCase{"FirstFrame", "/res/hero.was", 3, 0, "/res/hero0000.tga"},
        NameCase{"SecondDirection", "/res/hero.was", 3, 5, "/res/hero1002.tga"},
        NameCase{"DirectionSeven", "/res/hero.was", 4, 28, "/res/hero7000.tga"},
        NameCase{"DirectionTenIsUpperCaseA", "/res/hero.was", 1, 10, "/res/heroA000.tga"},
        NameCase{"DirectionSixteen", "/res/hero.was", 1, 16, "/res/hero10000.tga"},
        NameCase{"FrameThousandHasFourDigits", "/res/hero.was", 1001, 2001, "/res/hero11000.tga"},
        NameCase{"CollidesLikeTheFormatSays", "/res/hero.was", 1, 17, "/res/hero11000.tga"},
        NameCase{"OnlyTheLastDotOfTheName", "/res/a.b.was", 1, 0, "/res/a.b0000.tga"},
        NameCase{"NoDotKeepsTheWholePath", "/res/hero", 1, 0, "/res/hero0000.tga"},
        NameCase{"DotInAFolderIsNotCut", "/res.d/hero", 1, 0, "/res.d/hero0000.tga"},
        NameCase{"BareNameStaysBare", "hero", 2, 3, "hero1001.tga"},
        NameCase{"ChineseNames", "/素材/英雄.was", 1, 0, "/素材/英雄0000.tga"}),
    [](const auto& info) { return info.param.name; });

struct Tga {
    int width = 0, height = 0;
    Bytes header;
    Bytes pixels;  // as stored: bottom row first
    // Pixel (x, y) with y counted from the top.
    std::array<uint8_t, 4> At(int x, int y) const {
        const uint8_t* p = &pixels[size_t(((height - 1 - y) * width + x) * 4)];
        return {p[0], p[1], p[2], p[3]};
    }
};

Tga ReadTga(const std::string& path) {
    const Bytes b = Read(path);
    Tga t;
    t.header.assign(b.begin(), b.begin() + 18);
    t.width = kd::LoadU16(&b[12]);
    t.height = kd::LoadU16(&b[14]);
    t.pixels.assign(b.begin() + 18, b.end());
    EXPECT_EQ(t.pixels.size(), size_t(t.width * t.height * 4)) << path;
    return t;
}

TEST(Export, SingleFrameUsesItsOwnSize) {
    TempDir dir;
    TWasFile was = LoadAt(dir / "hero.was", Sample(1, 1).Build());
    was.ExportTGA();
    const Tga t = ReadTga(dir / "hero0000.tga");
    EXPECT_EQ(t.header, (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 8}));
    const auto c = [](uint16_t e) {  // the 32-bit widening of an entry, opaque
        const int r = e >> 11, g = (e >> 5) & 63, b = e & 31;
        return std::array<uint8_t, 4>{uint8_t(b * 8 | (b & 7)), uint8_t(g * 4 | (g & 3)),
                                      uint8_t(r * 8 | (r & 7)), 255};
    };
    const WasPalette pal = DistinctPalette();
    EXPECT_EQ(t.At(0, 0), c(pal[1]));
    auto half = c(pal[200]);
    half[3] = 128;
    EXPECT_EQ(t.At(1, 0), half);
    EXPECT_EQ(t.At(0, 1), (std::array<uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(t.At(1, 1), c(pal[201]));
    // The first row stored is the bottom one.
    EXPECT_EQ(t.pixels[4], c(pal[201])[0]);
}

TEST(Export, ManyFramesShareTheCommonCanvasAndHotSpot) {
    TempDir dir;
    TWasFile was = LoadAt(dir / "hero.was", Sample(11, 2).Build());
    was.DyeRange(0, 255, DyeMatrix{});  // everything black, so colour shows only by alpha
    was.ExportTGA();
    for (const char* name :
         {"hero0000.tga", "hero0001.tga", "hero7001.tga", "heroA000.tga", "heroA001.tga"}) {
        const Tga t = ReadTga(dir / name);
        ASSERT_EQ(t.width, 4);
        ASSERT_EQ(t.height, 3);
        // Frame hot spot (0, 1) lands on the canvas hot spot (1, 2): top-left at (1, 1).
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const int a = t.At(x, y)[3];
                const int expected = (x == 1 && y == 1) || (x == 2 && y == 2) ? 255
                                     : x == 2 && y == 1                       ? 128
                                                                              : 0;
                EXPECT_EQ(a, expected) << name << " at " << x << "," << y;
            }
    }
    EXPECT_FALSE(fs::exists(dir.Path() / "hero0002.tga"));
    EXPECT_FALSE(fs::exists(dir.Path() / "heroB000.tga"));
}

TEST(Export, ReplacesEarlierImagesAndReportsAFailedFile) {
    TempDir dir;
    TWasFile was = LoadAt(dir / "hero.was", Sample(1, 2).Build());
    kd::WriteWholeFile(dir.Path() / "hero0000.tga", Bytes(1000, 1));
    fs::create_directory(dir.Path() / "hero0001.tga");
    const std::string error = ErrorOf([&] { was.ExportTGA(); });
    EXPECT_NE(error.find("hero0001.tga"), std::string::npos) << error;
    EXPECT_EQ(Read(dir / "hero0000.tga").size(), 18u + 4 * 3 * 4);
}

TEST(Export, RefusesCanvasesNoTgaCanHoldBeforeWritingAnything) {
    TempDir dir;
    Sprite huge = Sample(1, 2);
    huge.Header.Width = huge.Header.Height = 0xFFFF;  // 16 GiB of canvas
    Sprite wide = Sample(1, 1);
    wide.Frames[0] = RawFrame(70000, {{0x00}});  // a lone frame wider than a TGA can say
    for (const Sprite& s : {huge, wide}) {
        TWasFile was = LoadAt(dir / "big.was", s.Build());
        EXPECT_NE(ErrorOf([&] { was.ExportTGA(); }).find("无法导出"), std::string::npos);
        EXPECT_FALSE(fs::exists(dir.Path() / "big0000.tga"));
    }
}

TEST(Export, NameWithoutDotLandsBesideTheSprite) {
    TempDir dir;
    fs::create_directory(dir.Path() / "res.d");
    TWasFile was = LoadAt(dir / "res.d/hero", Sample(1, 1).Build());
    was.ExportTGA();
    EXPECT_TRUE(fs::exists(dir.Path() / "res.d" / "hero0000.tga"));
}

}  // namespace
