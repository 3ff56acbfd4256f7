// Builds image caches in memory: row codes from pixels, image record bodies, and the two
// cache files, either as a well-formed tree of entries or slot by slot for broken indices.
#pragma once

#include "tests/support/bytes.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace fixture {

// Alpha: 0 transparent, 1-31 partial, 32 opaque.
struct CachePixel {
    uint8_t Alpha = 0;
    uint8_t Index = 0;
};

// Short codes for one row: skips for transparent pixels (an end code for a transparent
// tail), repeat runs and literal runs for opaque ones, alpha runs and single alpha pixels.
Bytes EncodeCacheRow(std::span<const CachePixel> row);

using Palette565 = std::array<uint16_t, 256>;

struct CacheImage {
    int32_t KeyX = 0, KeyY = 0, Width = 0, Height = 0;
    std::optional<Palette565> Palette;  // the image's own colours
    std::vector<Bytes> Rows;            // the codes of each row, exactly as stored

    static CacheImage Encode(int32_t width, int32_t height, std::span<const CachePixel> pixels,
                             std::optional<Palette565> palette = {});
    // The record body (without its length): header, palette, row offsets, rows.
    Bytes Body() const;
};

struct RawSlot {
    uint32_t InfoPos = 0, TablePos = 0, FirstChild = 0;
};

// The two files piece by piece. Positions returned are where each piece starts.
class CacheWriter {
public:
    CacheWriter();
    uint32_t AddInfo(const Bytes& record);  // length byte, then the record
    uint32_t AddTable(int32_t columns, int32_t rows, const std::vector<uint32_t>& cells);
    uint32_t AddRecord(const Bytes& body);  // 16-bit length, then the body
    // Appends the index block to v3d.hdr and points the header at it.
    void SetIndex(const std::vector<RawSlot>& slots, std::optional<uint32_t> indexSize = {});

    Bytes Hdr, Dat;
};

struct CacheEntry {
    Bytes Info;  // the information record, without its length byte
    int32_t Columns = 0, Rows = 0;
    std::vector<std::optional<CacheImage>> Cells;  // Rows x Columns, row after row; nullopt = 0
    std::vector<CacheEntry> Children;
};

struct CacheFiles {
    Bytes Hdr, Dat;
};

// A well-formed cache: the root list at slot 0, each child list reached once.
CacheFiles BuildCache(const std::vector<CacheEntry>& root);
// gameDir/v3d_cache/v3d.hdr and v3d.dat.
void WriteCache(const std::filesystem::path& gameDir, const CacheFiles& files);

// Information records: one that names a weapon palette, one with an equipment block.
Bytes WeaponInfo(int32_t weaponId);
Bytes EquipInfo(int16_t equipId, int16_t equipSub);

}  // namespace fixture
