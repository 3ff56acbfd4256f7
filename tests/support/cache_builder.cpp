#include "tests/support/cache_builder.h"

#include <functional>

#include "kd/file_io.h"
#include "kd/le.h"

namespace fixture {

Bytes EncodeCacheRow(std::span<const CachePixel> row) {
    Bytes out;
    const size_t w = row.size();
    size_t c = 0;
    auto runOf = [&](size_t from, size_t max, auto same) {
        size_t n = 0;
        while (from + n < w && n < max && same(row[from + n])) ++n;
        return n;
    };
    while (c < w) {
        const CachePixel p = row[c];
        if (p.Alpha == 0) {
            const size_t n = runOf(c, w, [](CachePixel q) { return q.Alpha == 0; });
            if (c + n == w) {
                out.push_back(0x00);
                return out;
            }
            const size_t k = std::min<size_t>(n, 63);
            out.push_back(uint8_t(0xC0 | k));
            c += k;
        } else if (p.Alpha >= 32) {
            auto same = [&](CachePixel q) { return q.Alpha >= 32 && q.Index == p.Index; };
            const size_t n = runOf(c, 63, same);
            if (n >= 2) {
                out.push_back(uint8_t(0x80 | n));
                out.push_back(p.Index);
                c += n;
            } else {
                size_t n2 = 0;  // opaque pixels up to the next repeat
                while (c + n2 < w && n2 < 63 && row[c + n2].Alpha >= 32 &&
                       !(c + n2 + 1 < w && row[c + n2 + 1].Alpha >= 32 &&
                         row[c + n2 + 1].Index == row[c + n2].Index))
                    ++n2;
                if (n2 == 0) n2 = 1;
                out.push_back(uint8_t(0x40 | n2));
                for (size_t i = 0; i < n2; ++i) out.push_back(row[c + i].Index);
                c += n2;
            }
        } else {
            auto same = [&](CachePixel q) { return q.Alpha == p.Alpha && q.Index == p.Index; };
            const size_t n = runOf(c, 31, same);
            if (n >= 2) {
                out.push_back(uint8_t(n));
                out.push_back(p.Alpha);
                out.push_back(p.Index);
                c += n;
            } else {
                out.push_back(uint8_t(0x20 | p.Alpha));
                out.push_back(p.Index);
                c += 1;
            }
        }
    }
    return out;
}

CacheImage CacheImage::Encode(int32_t width, int32_t height, std::span<const CachePixel> pixels,
                              std::optional<Palette565> palette) {
    CacheImage img;
    img.Width = width;
    img.Height = height;
    img.Palette = palette;
    for (int32_t r = 0; r < height; ++r)
        img.Rows.push_back(EncodeCacheRow(pixels.subspan(size_t(r) * size_t(width), size_t(width))));
    return img;
}

Bytes CacheImage::Body() const {
    Bytes out;
    PutU32(out, uint32_t(KeyX));
    PutU32(out, uint32_t(KeyY));
    PutU32(out, uint32_t(Width));
    PutU32(out, uint32_t(Height));
    if (Palette)
        for (uint16_t v : *Palette) PutU16(out, v);
    uint32_t at = uint32_t(out.size() + 4 * Rows.size());
    for (const Bytes& row : Rows) {
        PutU32(out, at);
        at += uint32_t(row.size());
    }
    for (const Bytes& row : Rows) out.insert(out.end(), row.begin(), row.end());
    return out;
}

CacheWriter::CacheWriter() {
    Hdr = {'v', '3', 'd', 'h'};
    PutU32(Hdr, 0);
    PutU32(Hdr, 0);  // IndexPos, set by SetIndex
    Dat = {'v', '3', 'd', 'd'};
    PutU32(Dat, 0);
}

uint32_t CacheWriter::AddInfo(const Bytes& record) {
    const uint32_t at = uint32_t(Hdr.size());
    Hdr.push_back(uint8_t(record.size()));
    Hdr.insert(Hdr.end(), record.begin(), record.end());
    return at;
}

uint32_t CacheWriter::AddTable(int32_t columns, int32_t rows, const std::vector<uint32_t>& cells) {
    const uint32_t at = uint32_t(Hdr.size());
    PutU32(Hdr, uint32_t(columns));
    PutU32(Hdr, uint32_t(rows));
    for (uint32_t c : cells) PutU32(Hdr, c);
    return at;
}

uint32_t CacheWriter::AddRecord(const Bytes& body) {
    const uint32_t at = uint32_t(Dat.size());
    PutU16(Dat, uint16_t(body.size()));
    Dat.insert(Dat.end(), body.begin(), body.end());
    return at;
}

void CacheWriter::SetIndex(const std::vector<RawSlot>& slots, std::optional<uint32_t> indexSize) {
    kd::StoreU32(Hdr.data() + 8, uint32_t(Hdr.size()));
    PutU32(Hdr, 0);
    PutU32(Hdr, indexSize.value_or(uint32_t(slots.size() * 12)));
    for (const RawSlot& s : slots) {
        PutU32(Hdr, s.InfoPos);
        PutU32(Hdr, s.TablePos);
        PutU32(Hdr, s.FirstChild);
    }
}

CacheFiles BuildCache(const std::vector<CacheEntry>& root) {
    CacheWriter w;
    std::vector<RawSlot> slots;
    // Lists are laid out in walk order: a list's slots, then each entry's child list.
    std::function<uint32_t(const std::vector<CacheEntry>&)> place =
        [&](const std::vector<CacheEntry>& list) {
            const uint32_t first = uint32_t(slots.size());
            slots.resize(slots.size() + list.size() + 1);
            for (size_t k = 0; k < list.size(); ++k) {
                const CacheEntry& e = list[k];
                std::vector<uint32_t> cells;
                for (const auto& img : e.Cells) cells.push_back(img ? w.AddRecord(img->Body()) : 0);
                RawSlot s;
                s.InfoPos = w.AddInfo(e.Info);
                s.TablePos = w.AddTable(e.Columns, e.Rows, cells);
                slots[first + k] = s;
                if (!e.Children.empty()) {
                    const uint32_t child = place(e.Children);
                    slots[first + k].FirstChild = child;
                }
            }
            return first;
        };
    place(root);
    w.SetIndex(slots);
    return {w.Hdr, w.Dat};
}

void WriteCache(const std::filesystem::path& gameDir, const CacheFiles& files) {
    std::filesystem::create_directories(gameDir / "v3d_cache");
    kd::WriteWholeFile(gameDir / "v3d_cache" / "v3d.hdr", files.Hdr);
    kd::WriteWholeFile(gameDir / "v3d_cache" / "v3d.dat", files.Dat);
}

Bytes WeaponInfo(int32_t weaponId) {
    Bytes r;
    PutU32(r, 0);
    PutU32(r, 0);  // no equipment block
    PutU32(r, uint32_t(weaponId));
    PutU32(r, 0);
    PutU32(r, 0);
    return r;
}

Bytes EquipInfo(int16_t equipId, int16_t equipSub) {
    Bytes r;
    PutU32(r, 0);
    PutU32(r, 20);  // the block follows the five fields
    PutU32(r, 0);
    PutU32(r, 0);
    PutU32(r, 0);
    PutU16(r, uint16_t(equipSub));
    PutU16(r, 0);
    PutU16(r, uint16_t(equipId));
    return r;
}

}  // namespace fixture
