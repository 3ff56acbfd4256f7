// Image records: the palette rule, the row codes, and the TGA file.
#include <cstring>
#include <new>

#include "dravik/core/cache.h"
#include "dravik/core/workspace.h"
#include "kd/file_io.h"
#include "kd/le.h"

namespace dravik {
namespace {

constexpr int32_t kBodyHeader = 16;
constexpr int32_t kPaletteBytes = 512;

// One pixel as it lies in the TGA: B, G, R, A. Built bytewise, so it is host-order free.
uint32_t Bgra(uint16_t rgb565, uint8_t alpha) {
    const uint8_t px[4] = {uint8_t((rgb565 & 0x1F) * 8), uint8_t(((rgb565 >> 5) & 0x3F) * 4),
                           uint8_t((rgb565 >> 11) * 8), alpha};
    uint32_t v;
    std::memcpy(&v, px, 4);
    return v;
}

uint32_t WithAlpha(uint32_t bgra, uint8_t alpha) {
    uint8_t px[4];
    std::memcpy(px, &bgra, 4);
    px[3] = alpha;
    std::memcpy(&bgra, px, 4);
    return bgra;
}

// 5-bit alpha to 8 bits: a x 255 / 32, truncated, so 31 stays below opaque (247).
uint8_t Alpha8(uint8_t a5) { return uint8_t((a5 & 0x1F) * 255 / 32); }

}  // namespace

void BuildTgaHeader(uint8_t* out, int32_t width, int32_t height) {
    std::memset(out, 0, kTgaHeaderSize);
    out[2] = 2;  // uncompressed true colour
    kd::StoreU16(out + 12, uint16_t(width));
    kd::StoreU16(out + 14, uint16_t(height));
    out[16] = 32;
    out[17] = 0x28;  // 8 alpha bits, rows from the top down
}

DecodeError DecodeImage(std::span<const uint8_t> body, const EntryPalette& palette,
                        GrowBuffer& rowTable, GrowBuffer& pixels, int64_t maxPixels,
                        ImageHeader& header) {
    const int32_t L = int32_t(body.size());  // at most 65,535
    const uint8_t* rec = body.data();
    if (L < kBodyHeader) return Format("is shorter than its 16-byte header (%d bytes).", L);
    header = {kd::LoadS32(rec), kd::LoadS32(rec + 4), kd::LoadS32(rec + 8), kd::LoadS32(rec + 12)};
    const int32_t W = header.Width, H = header.Height;
    if (W < 0 || H < 0) return Format("has a negative size (%d x %d).", W, H);
    // The TGA header keeps 16 bits of each side; a wider image would be a corrupt file.
    if (W > 0xFFFF || H > 0xFFFF || int64_t(W) * H > maxPixels)
        return Format("is too large (%d x %d).", W, H);
    const int64_t total = int64_t(W) * H;

    uint32_t colours[256];
    if (H > 0) {
        // The palette rule: a first row offset that points right behind a table at 16 means
        // the image has no palette of its own.
        const int64_t tableAtHeader = kBodyHeader + int64_t(H) * 4;
        const bool bare = L >= kBodyHeader + 4 && kd::LoadU32(rec + kBodyHeader) == tableAtHeader;
        const int64_t tableAt = bare ? kBodyHeader : kBodyHeader + kPaletteBytes;
        if (tableAt + int64_t(H) * 4 > L)
            return Format("has a row-offset table%s that runs past its %d bytes.",
                          bare ? "" : " and palette", L);
        if (!rowTable.Grow(size_t(H) * 4 + 4))
            return Format("needs more memory than there is (%d rows).", H);
        uint32_t* rows = reinterpret_cast<uint32_t*>(rowTable.Data());
        for (int32_t r = 0; r < H; ++r) {
            rows[r] = kd::LoadU32(rec + tableAt + r * 4);
            if (rows[r] > uint32_t(L)) return Format("has row %d starting past its %d bytes.", r, L);
        }
        rows[H] = uint32_t(L);
        for (int i = 0; i < 256; ++i)
            colours[i] = Bgra(bare ? palette[size_t(i)] : kd::LoadU16(rec + kBodyHeader + i * 2), 255);
    }

    if (!pixels.Grow(size_t(total) * 4))
        return Format("needs more memory than there is (%d x %d).", W, H);
    uint8_t* out = pixels.Data();
    std::memset(out, 0, size_t(total) * 4);

    const uint32_t* rows = reinterpret_cast<const uint32_t*>(rowTable.Data());
    const uint8_t* const recEnd = rec + L;
    for (int32_t r = 0; r < H; ++r) {
        const uint8_t* p = rec + rows[r];
        const uint8_t* const rowEnd = rec + rows[r + 1];
        if (p >= rowEnd) continue;
        // Every byte is fetched as ReadByte does: past the record it reads 0 and stays put.
        auto next = [&]() -> uint8_t { return p < recEnd ? *p++ : 0; };
        uint8_t* at = out + int64_t(r) * W * 4;
        int64_t x = 0;
        // A run may cross the right edge into the next row's place, but never the image's end.
        const int64_t room = total - int64_t(r) * W;
        for (;;) {
            const uint8_t code = next();
            if (code == 0) break;
            int n = code & 0x3F;
            uint32_t v;
            switch (code >> 6) {
            case 0:
                if (code & 0x20) {  // one pixel, alpha in the code
                    v = WithAlpha(colours[next()], Alpha8(code));
                    n = 1;
                } else {  // a run with its own alpha byte
                    const uint8_t alpha = next();
                    v = WithAlpha(colours[next()], Alpha8(alpha));
                    n = code & 0x1F;
                }
                break;
            case 1:  // n opaque pixels, an index each
                if (x + n > room) return Format("has row %d running past the image's end.", r);
                if (recEnd - p >= n) {  // the common case: every index inside the record
                    for (int i = 0; i < n; ++i, at += 4) std::memcpy(at, &colours[p[i]], 4);
                    p += n;
                } else {
                    for (int i = 0; i < n; ++i, at += 4) std::memcpy(at, &colours[next()], 4);
                }
                x += n;
                goto done;
            case 2:  // n opaque pixels of one index (0x80 only consumes the index)
                v = colours[next()];
                break;
            default:  // transparent skip
                x += n;
                at += n * 4;
                goto done;
            }
            if (x + n > room) return Format("has row %d running past the image's end.", r);
            {
                const uint32_t pair[2] = {v, v};  // two pixels a store
                int i = 0;
                for (; i + 2 <= n; i += 2, at += 8) std::memcpy(at, pair, 8);
                if (i < n) {
                    std::memcpy(at, &v, 4);
                    at += 4;
                }
            }
            x += n;
        done:
            if (x >= W || p >= rowEnd) break;
        }
    }
    return std::nullopt;
}

bool ExportImage(Workspace& ws, CacheFile& dat, uint32_t position, const EntryPalette& palette,
                 const std::string& path) {
    Log& log = ws.log;
    uint8_t length[2] = {0, 0};
    if (position >= dat.Size()) {
        log.LogError(Format("Image record at %u lies beyond the end of v3d.dat.", position));
        return false;
    }
    const bool haveLength = dat.ReadAt(position, length, 2) == 2;
    const uint16_t L = kd::LoadU16(length);
    if (!ws.RecordBuffer.Grow(L)) {  // it starts at 65,536 bytes: only fails if that failed
        log.LogError(Format("Image record at %u needs more memory than there is (%u bytes).",
                            position, unsigned(L)));
        return false;
    }
    if (!haveLength || dat.ReadAt(uint64_t(position) + 2, ws.RecordBuffer.Data(), L) != L) {
        log.LogError(Format("Image record at %u runs past the end of v3d.dat.", position));
        return false;
    }
    const uint8_t* rec = ws.RecordBuffer.Data();
    if (L >= 16) {
        char line[128];
        const int n = std::snprintf(line, sizeof line, "KeyX:%d, KeyY:%d, Width:%d, Height:%d",
                                    kd::LoadS32(rec), kd::LoadS32(rec + 4), kd::LoadS32(rec + 8),
                                    kd::LoadS32(rec + 12));
        log.LogInfo(std::string_view(line, size_t(n)));
    }
    ImageHeader header;
    if (DecodeError error = DecodeImage(std::span(rec, L), palette, ws.RowTable, ws.PixelBuffer,
                                        ws.maxPixels, header)) {
        log.LogError(Format("Image record at %u %s", position, error->c_str()));
        return false;
    }

    uint8_t* file = ws.PixelBuffer.Front();  // the header goes right before the pixels
    BuildTgaHeader(file, header.Width, header.Height);
    const size_t bytes = kTgaHeaderSize + size_t(header.Width) * size_t(header.Height) * 4;

    const std::filesystem::path target = kd::PathFromUtf8(path);
    std::optional<kd::CheckedFile> out;
    try {
        out.emplace(target);
    } catch (const kd::IoError&) {
        // Most likely the export directory does not exist yet: make it with every missing
        // level above it and try once more.
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        try {
            out.emplace(target);
        } catch (const kd::IoError&) {
            log.LogError(Format("create \"%s\" fails.", path.c_str()));
            return false;
        }
    }
    try {
        out->Write(file, bytes);
        out->Close();
    } catch (const kd::IoError&) {
        out.reset();
        std::error_code ec;
        std::filesystem::remove(target, ec);  // a cut-off image is worse than none
        log.LogError(Format("write \"%s\" fails.", path.c_str()));
        return false;
    }
    ++ws.imagesWritten;
    return true;
}

}  // namespace dravik
