// Writes seed inputs for the extractor's fuzz corpora from the fixture builders.
#include <cstdio>
#include <filesystem>
#include <string>

#include "kd/file_io.h"
#include "tests/support/cache_builder.h"
#include "tests/support/cache_package.h"

using namespace fixture;
namespace fs = std::filesystem;

namespace {

Bytes CacheInput(const Bytes& hdr, const Bytes& dat) {
    Bytes out;
    PutU32(out, uint32_t(hdr.size()));
    out.insert(out.end(), hdr.begin(), hdr.end());
    out.insert(out.end(), dat.begin(), dat.end());
    return out;
}

CacheImage SmallImage(bool ownPalette) {
    std::vector<CachePixel> px;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            px.push_back({uint8_t(x == 0 ? 0 : y == 1 ? 17 : 32), uint8_t(x < 4 ? 1 : x * 3 + y)});
    Palette565 pal{};
    for (int i = 0; i < 256; ++i) pal[size_t(i)] = uint16_t(i * 257);
    CacheImage img = CacheImage::Encode(7, 6, px, ownPalette ? std::optional(pal) : std::nullopt);
    img.Rows[2].insert(img.Rows[2].begin(), {0x40, 0x80, 5, 0xC0});  // the do-nothing codes
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dravik_fuzz_seeds CORPUS_DIR\n");
        return 1;
    }
    const fs::path root = argv[1];
    auto put = [&](const std::string& target, const std::string& name, const Bytes& bytes) {
        fs::create_directories(root / target);
        kd::WriteWholeFile(root / target / name, bytes);
    };

    CacheEntry leaf{EquipInfo(1, 0), 2, 1, {SmallImage(false), std::nullopt}, {}};
    CacheEntry withOwn{WeaponInfo(0), 1, 2, {SmallImage(true), SmallImage(false)}, {leaf}};
    const CacheFiles good = BuildCache({withOwn, leaf});
    put("dravik_cache", "nested_tree", CacheInput(good.Hdr, good.Dat));

    CacheWriter cyclic;
    const uint32_t info = cyclic.AddInfo(WeaponInfo(0));
    const uint32_t table = cyclic.AddTable(1, 1, {cyclic.AddRecord(SmallImage(false).Body())});
    cyclic.SetIndex({{info, table, 2}, {0, 0, 0}, {info, table, 2}, {0, 0, 0}});
    put("dravik_cache", "cyclic_index", CacheInput(cyclic.Hdr, cyclic.Dat));

    CacheWriter empty;
    empty.SetIndex({{0, 0, 0}});
    put("dravik_cache", "terminator_only", CacheInput(empty.Hdr, empty.Dat));

    put("dravik_pal", "weapon_16", [] {
        Bytes in = {0};
        const Bytes pal = BuildPal(std::vector<PalColour>(16, {255, 128, 7}));
        in.insert(in.end(), pal.begin(), pal.end());
        return in;
    }());
    put("dravik_pal", "equip_skip_300", [] {
        const Bytes info = EquipInfo(25, 3);
        Bytes in = {uint8_t(info.size())};
        in.insert(in.end(), info.begin(), info.end());
        const Bytes pal = BuildPal(std::vector<PalColour>(256, {1, 2, 3}), 300, 12);
        in.insert(in.end(), pal.begin(), pal.end());
        return in;
    }());

    auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    put("dravik_config", "two_names", text("[wdf]\r\nnum=2\r\nname0=mypal.wdf\r\nname1=extra\\pal.wdf\r\n"));
    put("dravik_config", "num_100", text("; packages\n[WDF]\nNUM = 100\nname63=last\nname64=never\n"));
    put("dravik_config", "quoted", text("[other]\nnum=3\n[wdf]\nnum=1\nname0=\"with space.wdf\"\n"));
    return 0;
}
