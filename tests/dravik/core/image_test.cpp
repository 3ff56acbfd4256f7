#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>

#include "dravik/core/cache.h"
#include "tests/support/cache_builder.h"
#include "tests/support/cache_package.h"
#include "tests/support/dravik_test_util.h"

using namespace fixture;
using dravik::DecodeImage;

namespace {

using Px = std::array<uint8_t, 4>;  // B, G, R, A as written
constexpr Px kClear{0, 0, 0, 0};
constexpr Px kRed{0, 0, 248, 255}, kGreen{0, 252, 0, 255}, kBlue{248, 0, 0, 255},
    kWhite{248, 252, 248, 255};

Px WithAlpha(Px p, uint8_t a) { return {p[0], p[1], p[2], a}; }

// Entry palette of the tests: 1 red, 2 green, 3 blue, 4 white (0xFFFF).
dravik::EntryPalette TestPalette() {
    dravik::EntryPalette p{};
    p[1] = 0xF800;
    p[2] = 0x07E0;
    p[3] = 0x001F;
    p[4] = 0xFFFF;
    return p;
}

struct Decoded {
    dravik::DecodeError error;
    dravik::ImageHeader header;
    std::vector<Px> pixels;
};

Decoded Decode(const Bytes& body, const dravik::EntryPalette& palette = TestPalette(),
               int64_t maxPixels = dravik::kDefaultMaxPixels) {
    dravik::GrowBuffer rows(16), pixels(16);
    Decoded d;
    d.error = DecodeImage(body, palette, rows, pixels, maxPixels, d.header);
    if (!d.error) {
        d.pixels.resize(size_t(d.header.Width) * size_t(d.header.Height));
        if (!d.pixels.empty()) std::memcpy(d.pixels.data(), pixels.Data(), d.pixels.size() * 4);
    }
    return d;
}

Bytes Body(int32_t w, std::vector<Bytes> rows, std::optional<Palette565> own = {}) {
    CacheImage img;
    img.Width = w;
    img.Height = int32_t(rows.size());
    img.Rows = std::move(rows);
    img.Palette = own;
    return img.Body();
}

struct CodeCase {
    const char* name;
    Bytes codes;
    std::vector<Px> expected;  // the four pixels of a 4 x 1 image
};

class RowCodeTest : public testing::TestWithParam<CodeCase> {};

TEST_P(RowCodeTest, WritesThePixelsOfTheCode) {
    const Decoded d = Decode(Body(4, {GetParam().codes}));
    ASSERT_FALSE(d.error) << *d.error;
    EXPECT_EQ(d.pixels, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RowCodeTest,
    testing::Values(
        // 5-bit alpha a becomes a x 255 / 32: 31 gives 247, 16 gives 127, 0 keeps the colour.
        CodeCase{"single_alpha_pixel", {0x3F, 1}, {WithAlpha(kRed, 247), kClear, kClear, kClear}},
        CodeCase{"single_alpha_zero", {0x20, 3}, {WithAlpha(kBlue, 0), kClear, kClear, kClear}},
        CodeCase{"alpha_run_low_five_bits", {0x03, 0xF0, 2},
                 {WithAlpha(kGreen, 127), WithAlpha(kGreen, 127), WithAlpha(kGreen, 127), kClear}},
        CodeCase{"literal_run", {0x43, 1, 2, 3}, {kRed, kGreen, kBlue, kClear}},
        CodeCase{"repeat_run_white", {0x84, 4}, {kWhite, kWhite, kWhite, kWhite}},
        CodeCase{"skip", {0xC2, 0x81, 1}, {kClear, kClear, kRed, kClear}},
        // 0x40 and 0xC0 consume nothing; 0x80 consumes its index byte and writes nothing.
        CodeCase{"no_op_codes", {0x40, 0x80, 4, 0xC0, 0x81, 1}, {kRed, kClear, kClear, kClear}},
        CodeCase{"end_code", {0x81, 1, 0x00, 0x81, 2}, {kRed, kClear, kClear, kClear}},
        CodeCase{"row_stops_early", {0x82, 3}, {kBlue, kBlue, kClear, kClear}},
        // Reaching the width ends the row: the next code is not carried out.
        CodeCase{"ends_at_width", {0x84, 1, 0x81, 2}, {kRed, kRed, kRed, kRed}},
        // Operands missing at the end of the record read as 0.
        CodeCase{"operands_past_record", {0x43, 2}, {kGreen, {0, 0, 0, 255}, {0, 0, 0, 255}, kClear}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageDecode, RunCrossingTheRightEdgeContinuesInTheNextRow) {
    const Decoded d = Decode(Body(2, {{0x83, 1}, {}}));
    ASSERT_FALSE(d.error);
    EXPECT_EQ(d.pixels, (std::vector<Px>{kRed, kRed, kRed, kClear}));
}

TEST(ImageDecode, PaletteRule) {
    Palette565 own{};
    own[1] = 0x001F;  // blue where the entry palette has red
    struct Case {
        const char* name;
        std::optional<Palette565> own;
        dravik::EntryPalette entry;
        Px expected;
    } cases[] = {
        {"entry_palette", std::nullopt, TestPalette(), kRed},
        {"own_palette_ignores_entry", own, TestPalette(), kBlue},
        {"entry_palette_not_found", std::nullopt, dravik::EntryPalette{}, {0, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        const Decoded d = Decode(Body(1, {{0x81, 1}}, c.own), c.entry);
        ASSERT_FALSE(d.error) << c.name;
        EXPECT_EQ(d.pixels[0], c.expected) << c.name;
    }
}

TEST(ImageDecode, Rgb565Expansion) {
    struct Case {
        uint16_t rgb;
        Px expected;
    } cases[] = {{0xFFFF, kWhite}, {0xF800, kRed}, {0x07E0, kGreen}, {0x001F, kBlue},
                 {0x0821, {8, 4, 8, 255}}, {0x0000, {0, 0, 0, 255}}};
    for (const Case& c : cases) {
        dravik::EntryPalette p{};
        p[9] = c.rgb;
        const Decoded d = Decode(Body(1, {{0x81, 9}}), p);
        ASSERT_FALSE(d.error);
        EXPECT_EQ(d.pixels[0], c.expected) << std::hex << c.rgb;
    }
}

TEST(ImageDecode, EncodedPixelsComeBackExactly) {
    std::vector<CachePixel> px;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 70; ++x)  // wider than one run can say
            px.push_back({uint8_t((x + y) % 5 == 0 ? 0 : (x * y) % 7 == 1 ? (x % 31) + 1 : 32),
                          uint8_t(x < 40 ? 3 : (x * 7 + y) % 5)});
    const Decoded d = Decode(CacheImage::Encode(70, 9, px).Body());
    ASSERT_FALSE(d.error);
    const auto pal = TestPalette();
    for (size_t i = 0; i < px.size(); ++i) {
        if (px[i].Alpha == 0) {
            ASSERT_EQ(d.pixels[i], kClear) << i;
            continue;
        }
        const uint16_t v = pal[px[i].Index];
        const Px colour{uint8_t((v & 0x1F) * 8), uint8_t(((v >> 5) & 0x3F) * 4), uint8_t((v >> 11) * 8),
                        uint8_t(px[i].Alpha >= 32 ? 255 : px[i].Alpha * 255 / 32)};
        ASSERT_EQ(d.pixels[i], colour) << i;
    }
}

struct BadRecord {
    const char* name;
    Bytes body;
    const char* reason;
};

Bytes Header(int32_t w, int32_t h) {
    Bytes b;
    for (int32_t v : {0, 0, w, h}) PutU32(b, uint32_t(v));
    return b;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class BadRecordTest : public testing::TestWithParam<BadRecord> {};

TEST_P(BadRecordTest, IsRefusedWithItsReason) {
    const Decoded d = Decode(GetParam().body, TestPalette(), 1 << 20);
    ASSERT_TRUE(d.error);
    EXPECT_NE(d.error->find(GetParam().reason), std::string::npos) << *d.error;
}

INSTANTIATE_TEST_SUITE_P(
    Records, BadRecordTest,
    testing::Values(
        BadRecord{"shorter_than_header", Bytes(15, 0), "shorter than its 16-byte header"},
        BadRecord{"negative_width", Body(-1, {{0x81, 1}}), "negative size"},
        BadRecord{"negative_height", Header(4, -2), "negative size"},
        // The TGA header holds 16 bits per side.
        BadRecord{"wider_than_tga", Concat(Header(70000, 0), {}), "too large"},
        BadRecord{"over_pixel_limit", Body(4096, std::vector<Bytes>(300, Bytes{0})), "too large"},
        // 100 rows need 400 bytes of offsets after the header; the record has 4.
        BadRecord{"row_table_past_record", Concat(Header(4, 100), {0xA0, 0x01, 0, 0}),
                  "row-offset table that runs past"},
        BadRecord{"palette_past_record", Concat(Header(4, 1), {99, 0, 0, 0, 0x81, 1}),
                  "row-offset table and palette that runs past"},
        BadRecord{"run_past_image_end", Body(2, {{0x83, 1}}), "running past the image's end"},
        BadRecord{"alpha_run_past_end", Body(3, {{0xC2, 0x02, 9, 1}}), "running past the image's end"},
        BadRecord{"zero_width_with_pixels", Body(0, {{0x81, 1}}), "running past the image's end"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageDecode, RowOffsetPastTheRecordIsRefused) {
    // Two rows without a palette (24 = 16 + 2 x 4); row 1 would start at byte 200 of 26.
    const Decoded d = Decode(Concat(Header(4, 2), {24, 0, 0, 0, 200, 0, 0, 0, 0x81, 1}));
    ASSERT_TRUE(d.error);
    EXPECT_NE(d.error->find("row 1 starting past its 26 bytes"), std::string::npos) << *d.error;
    EXPECT_FALSE(Decode(Concat(Header(4, 2), {24, 0, 0, 0, 26, 0, 0, 0, 0x81, 1})).error);
}

TEST(ImageDecode, HeightZeroNeedsNoRows) {
    const Decoded d = Decode(Header(5, 0));
    ASSERT_FALSE(d.error);
    EXPECT_EQ(d.header.Width, 5);
    EXPECT_TRUE(d.pixels.empty());
}

// --- Whole entries through the walk: names, log lines, TGA files ---------------------------

class ExportTest : public testing::Test, protected ExtractorFixture {
protected:
    void Run(const std::vector<CacheEntry>& root) {
        WriteCache(dir.Path(), BuildCache(root));
        Extract();
    }
    void Extract() {
        dravik::ExtractCache(ws, dir.Path() / "v3d_cache/v3d.hdr", dir.Path() / "v3d_cache/v3d.dat",
                             Recorder());
    }
    static CacheImage Image(int32_t w, std::vector<Bytes> rows, int32_t keyX = 0, int32_t keyY = 0) {
        CacheImage img;
        img.KeyX = keyX;
        img.KeyY = keyY;
        img.Width = w;
        img.Height = int32_t(rows.size());
        img.Rows = std::move(rows);
        Palette565 own{};
        own[1] = 0x001F;
        img.Palette = own;
        return img;
    }
};

TEST_F(ExportTest, WritesTopDownTgaWithNumberedNamesAndLogLines) {
    CacheEntry first{WeaponInfo(0), 1, 1, {Image(1, {{0x81, 1}})}, {}};
    // Two rows of two cells, holes at (0, 0) and (1, 1).
    CacheEntry second{WeaponInfo(0), 2, 2,
                      {std::nullopt, Image(2, {{0x81, 1}, {0x3F, 1}}, -3, 7), Image(1, {{0x81, 1}}),
                       std::nullopt},
                      {}};
    Run({first, second});
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "[LOG] File:\"00000000_0000_0000.tga\"",
                           "[LOG] KeyX:0, KeyY:0, Width:1, Height:1",
                           "[LOG] File:\"00000001_0000_0001.tga\"",
                           "[LOG] KeyX:-3, KeyY:7, Width:2, Height:2",
                           "[LOG] File:\"00000001_0001_0000.tga\"",
                           "[LOG] KeyX:0, KeyY:0, Width:1, Height:1",
                       }));
    EXPECT_FALSE(std::filesystem::exists(Out("00000001_0000_0000.tga")));
    const auto tga = kd::ReadWholeFile(Out("00000001_0000_0001.tga"));
    const Bytes expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x28,
                            248, 0, 0, 255, 0, 0, 0, 0,     // row 0 at the top
                            248, 0, 0, 247, 0, 0, 0, 0};    // row 1
    EXPECT_EQ(tga, expected);
    EXPECT_EQ(ws.imagesWritten, 3);
}

TEST_F(ExportTest, HeightZeroWritesAHeaderOnlyFile) {
    Run({{WeaponInfo(0), 1, 1, {Image(3, {})}, {}}});
    EXPECT_EQ(kd::ReadWholeFile(Out("00000000_0000_0000.tga")),
              (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 32, 0x28}));
    EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(ExportTest, MissingExportDirectoryIsCreatedWithItsParents) {
    ws.exportDir = (dir.Path() / "a" / "b" / "c").string() + "/";
    Run({{WeaponInfo(0), 1, 1, {Image(1, {{0x81, 1}})}, {}}});
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "a/b/c/00000000_0000_0000.tga"));
    EXPECT_TRUE(Errors().empty());
}

// Neither the cache nor the export directory is held to 260 characters.
TEST_F(ExportTest, PathsBeyond260CharactersAreReadAndWritten) {
    const auto deep = dir.Path() / std::string(100, 'g') / std::string(100, 'h') / std::string(100, 'i');
    ws.exportDir = (deep / std::string(100, 'o')).string() + "/";
    ASSERT_GT(ws.exportDir.size(), 400u);
    WriteCache(deep, BuildCache({{WeaponInfo(0), 1, 1, {Image(1, {{0x81, 1}})}, {}}}));
    dravik::ExtractCache(ws, deep / "v3d_cache/v3d.hdr", deep / "v3d_cache/v3d.dat", Recorder());
    EXPECT_TRUE(Errors().empty()) << testing::PrintToString(Errors());
    EXPECT_EQ(kd::ReadWholeFile(ws.exportDir + "00000000_0000_0000.tga").size(), 18u + 4u);
}

TEST_F(ExportTest, UncreatableFileIsLoggedAndTheWalkGoesOn) {
    kd::WriteWholeFile(dir.Path() / "blocked", Bytes{1});  // a file where the folder should be
    ws.exportDir = (dir.Path() / "blocked").string() + "/";
    Run({{WeaponInfo(0), 2, 1, {Image(1, {{0x81, 1}}), Image(1, {{0x81, 1}})}, {}}});
    const std::string path = (dir.Path() / "blocked").string() + "/00000000_0000_000";
    EXPECT_EQ(Errors(), (std::vector<std::string>{"[ERROR] create \"" + path + "0.tga\" fails.",
                                                  "[ERROR] create \"" + path + "1.tga\" fails."}));
    EXPECT_EQ(Files().size(), 2u);
    EXPECT_EQ(ws.imagesWritten, 0);
}

TEST_F(ExportTest, BrokenRecordIsSkippedAndTheNextImageWritten) {
    struct Case {
        const char* name;
        std::function<uint32_t(CacheWriter&)> cell;  // position of the broken record
        const char* error;
    } cases[] = {
        {"beyond_dat", [](CacheWriter& w) { return uint32_t(w.Dat.size() + 1000); },
         "lies beyond the end of v3d.dat"},
        {"past_dat_end", [](CacheWriter& w) {
             const uint32_t at = uint32_t(w.Dat.size());
             PutU16(w.Dat, 500);  // claims 500 bytes; the file ends before
             w.Dat.resize(w.Dat.size() + 20, 0x81);
             return at;
         }, "runs past the end of v3d.dat"},
        {"short_header", [](CacheWriter& w) { return w.AddRecord(Bytes(10, 1)); },
         "shorter than its 16-byte header"},
    };
    for (const Case& c : cases) {
        ExtractorFixture f;
        CacheWriter w;
        const uint32_t good = w.AddRecord(Image(1, {{0x81, 1}}).Body());
        const uint32_t info = w.AddInfo(WeaponInfo(0));
        const uint32_t bad = c.cell(w);
        const uint32_t table = w.AddTable(2, 1, {bad, good});
        w.SetIndex({{info, table, 0}, {}});
        WriteCache(f.dir.Path(), {w.Hdr, w.Dat});
        dravik::ExtractCache(f.ws, f.dir.Path() / "v3d_cache/v3d.hdr",
                             f.dir.Path() / "v3d_cache/v3d.dat", f.Recorder());
        const auto errors = f.Errors();
        ASSERT_EQ(errors.size(), 1u) << c.name;
        EXPECT_NE(errors[0].find(dravik::Format("Image record at %u %s", bad, "")), std::string::npos) << errors[0];
        EXPECT_NE(errors[0].find(c.error), std::string::npos) << errors[0];
        EXPECT_FALSE(std::filesystem::exists(f.Out("00000000_0000_0000.tga"))) << c.name;
        EXPECT_TRUE(std::filesystem::exists(f.Out("00000000_0000_0001.tga"))) << c.name;
    }
}

TEST_F(ExportTest, ImageTablesWithoutCellsVisitNothing) {
    // One side 0 or negative and the other huge: no cell, no loop over the huge side.
    const std::pair<int32_t, int32_t> sizes[] = {{0, 0x7FFFFFFF}, {0x7FFFFFFF, 0}, {-1, -1}, {-5, 3}};
    CacheWriter w;
    const uint32_t info = w.AddInfo(WeaponInfo(0));
    std::vector<RawSlot> slots;
    for (auto [columns, rows] : sizes) slots.push_back({info, w.AddTable(columns, rows, {}), 0});
    slots.push_back({});
    w.SetIndex(slots);
    WriteCache(dir.Path(), {w.Hdr, w.Dat});
    Extract();
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(progress.back(), 100);
}

TEST_F(ExportTest, ImageTableLargerThanTheFileIsAnError) {
    CacheWriter w;
    const uint32_t info = w.AddInfo(WeaponInfo(0));
    const uint32_t table = w.AddTable(1000, 1000, {});
    w.SetIndex({{info, table, 0}, {}});
    WriteCache(dir.Path(), {w.Hdr, w.Dat});
    Extract();
    EXPECT_EQ(Errors(), std::vector<std::string>{dravik::Format(
                            "[ERROR] Image table at %u (1000 x 1000 cells) runs past the end of v3d.hdr.", table)});
}

TEST_F(ExportTest, BytesOfAnEarlierRecordNeverReachALaterImage) {
    // The first record leaves white indices behind in the reused record buffer; the second
    // one's literal run lacks its last three operands, which must read as index 0 (black).
    std::vector<PalColour> colours(5);
    colours[1] = {0, 0, 255};
    colours[4] = {255, 255, 255};
    ws.packages.Add("pal", dravik::MakeMemoryPackage({{"mypal/weapon/0.pal", BuildPal(colours)}}));
    CacheImage first = Image(1, {Concat({0x81, 4}, Bytes(60, 4))});
    first.Palette.reset();
    CacheImage second = Image(4, {{0x44, 1}});
    second.Palette.reset();
    Run({{WeaponInfo(0), 2, 1, {first, second}, {}}});
    EXPECT_EQ(kd::ReadWholeFile(Out("00000000_0000_0000.tga")),
              (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 32, 0x28, 248, 252, 248, 255}));
    const auto tga = kd::ReadWholeFile(Out("00000000_0000_0001.tga"));
    ASSERT_EQ(tga.size(), 18u + 16u);
    EXPECT_EQ(Bytes(tga.begin() + 18, tga.end()),
              (Bytes{0, 0, 248, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
}

TEST_F(ExportTest, WorkBuffersOnlyGrow) {
    std::vector<CachePixel> big(300 * 200, {32, 1});
    Run({{WeaponInfo(0), 2, 1,
          {CacheImage::Encode(300, 200, big), Image(1, {{0x81, 1}})}, {}}});
    EXPECT_EQ(ws.PixelBuffer.Size(), 300u * 200u * 4u);
    EXPECT_EQ(ws.RowTable.Size(), 2048u);
    EXPECT_EQ(ws.RecordBuffer.Size(), 65536u);
}

}  // namespace
