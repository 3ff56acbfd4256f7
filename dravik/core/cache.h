// The image cache: v3d.hdr (an index tree of entries, each with an information record and
// an image table) and v3d.dat (the image records), exported as one TGA file per image.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "dravik/core/palette.h"

namespace dravik {

struct Workspace;
class GrowBuffer;

constexpr uint32_t kHdrMagic = 0x68643376;  // "v3dh"
constexpr uint32_t kDatMagic = 0x64643376;  // "v3dd"
constexpr size_t kSlotSize = 12;

// Receives the progress bar's position, 0 to 100.
using Progress = std::function<void(int)>;

// One cache file, read by position.
class CacheFile {
public:
    CacheFile() = default;
    ~CacheFile();
    CacheFile(const CacheFile&) = delete;
    CacheFile& operator=(const CacheFile&) = delete;

    bool Open(const std::filesystem::path& path);
    void Close();
    uint64_t Size() const { return size_; }
    // Bytes actually read: fewer than `size` past the end of the file.
    size_t ReadAt(uint64_t position, void* destination, size_t size);

private:
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    std::unique_ptr<char[]> buffer_;
};

void ExtractCache(Workspace& ws, const std::filesystem::path& hdrPath,
                  const std::filesystem::path& datPath, const Progress& progress);

// Walks the list at slot `first` and, depth first, every list below it. `slots` holds the
// `total` slots; `counter` counts every slot passed, terminators included.
void ExportList(Workspace& ws, CacheFile& hdr, CacheFile& dat, const Progress& progress,
                std::span<const uint8_t> slots, uint32_t first, uint32_t total, int32_t& counter);

void ExportEntry(Workspace& ws, CacheFile& hdr, CacheFile& dat, uint32_t infoPos,
                 uint32_t tablePos, int32_t sequence);

// Writes the image record at `position` of v3d.dat to `path`; true when the file was written.
bool ExportImage(Workspace& ws, CacheFile& dat, uint32_t position, const EntryPalette& palette,
                 const std::string& path);

// The byte at `position` (advancing it when asked), or 0 at `size` and beyond.
inline uint8_t ReadByte(const uint8_t* buffer, int32_t size, int32_t& position, bool advance) {
    if (position >= size) return 0;
    const uint8_t b = buffer[position];
    if (advance) ++position;
    return b;
}

struct ImageHeader {
    int32_t KeyX = 0, KeyY = 0, Width = 0, Height = 0;
};

// Why a record cannot be decoded; the text follows "Image record at N" in the error line.
using DecodeError = std::optional<std::string>;

// Decodes an image record body into PixelBuffer (Width x Height, B G R A, top row first),
// using `palette` unless the image carries its own. Reads nothing outside `body` and writes
// nothing outside the pixels; a record that would need either is refused.
DecodeError DecodeImage(std::span<const uint8_t> body, const EntryPalette& palette,
                        GrowBuffer& rowTable, GrowBuffer& pixels, int64_t maxPixels,
                        ImageHeader& header);

// The 18-byte header of a top-down 32-bit TGA with 8 alpha bits.
void BuildTgaHeader(uint8_t* out, int32_t width, int32_t height);

}  // namespace dravik
