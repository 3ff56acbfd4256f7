#include "tests/support/was_builder.h"

#include <algorithm>
#include <cassert>

#include "kd/le.h"

namespace fixture {
namespace {

bool Clear(const WasPixel& p) {
    return p.Alpha == 0 && p.Index == 0;
}

}  // namespace

Bytes EncodeRow(std::span<const WasPixel> row) {
    Bytes out;
    const size_t w = row.size();
    size_t c = 0;
    auto runOf = [&](size_t from, size_t max, auto same) {
        size_t n = 0;
        while (from + n < w && n < max && same(row[from + n])) ++n;
        return n;
    };
    while (c < w) {
        const WasPixel p = row[c];
        assert(p.Alpha <= kOpaqueAlpha);
        if (Clear(p)) {
            const size_t n = runOf(c, w, Clear);
            if (c + n == w) {
                out.push_back(0x00);
                return out;
            }
            for (size_t left = n; left > 0;) {
                const size_t k = std::min<size_t>(left, 63);
                out.push_back(uint8_t(0xC0 | k));
                left -= k;
            }
            c += n;
        } else if (p.Alpha == kOpaqueAlpha) {
            const size_t same = runOf(c, 63, [&](const WasPixel& q) { return q == p; });
            if (same >= 3) {
                out.push_back(uint8_t(0x80 | same));
                out.push_back(p.Index);
                c += same;
                continue;
            }
            // Literal run up to the next opaque repeat of three or a non-opaque pixel.
            size_t n = 0;
            while (c + n < w && n < 63 && row[c + n].Alpha == kOpaqueAlpha) {
                if (n > 0 &&
                    runOf(c + n, 3, [&](const WasPixel& q) { return q == row[c + n]; }) >= 3)
                    break;
                ++n;
            }
            out.push_back(uint8_t(0x40 | n));
            for (size_t k = 0; k < n; ++k) out.push_back(row[c + k].Index);
            c += n;
        } else {
            const size_t n = runOf(c, 31, [&](const WasPixel& q) { return q == p; });
            if (n >= 2) {
                out.push_back(uint8_t(n));
                out.push_back(p.Alpha);
                out.push_back(p.Index);
            } else {
                out.push_back(uint8_t(0x20 | p.Alpha));
                out.push_back(p.Index);
            }
            c += n >= 2 ? n : 1;
        }
    }
    return out;
}

Frame Frame::Encode(int32_t keyX, int32_t keyY, int32_t width, int32_t height,
                    std::span<const WasPixel> pixels) {
    Frame f{keyX, keyY, width, height, {}};
    for (int32_t y = 0; y < height; ++y)
        f.Rows.push_back(EncodeRow(pixels.subspan(size_t(y) * size_t(width), size_t(width))));
    return f;
}

Frame RawFrame(int32_t width, std::vector<Bytes> rows, int32_t keyX, int32_t keyY) {
    const auto height = int32_t(rows.size());
    return Frame{keyX, keyY, width, height, std::move(rows)};
}

Bytes Sprite::Build() const {
    WasHeader h = Header;
    if (AutoHeaderSize) h.HeaderSize = uint16_t(12 + Extra.size());
    Bytes out(16);
    kd::StoreU16(&out[0], h.Magic);
    kd::StoreU16(&out[2], h.HeaderSize);
    kd::StoreU16(&out[4], h.Directions);
    kd::StoreU16(&out[6], h.FramesPerDirection);
    kd::StoreU16(&out[8], h.Width);
    kd::StoreU16(&out[10], h.Height);
    kd::StoreU16(&out[12], uint16_t(h.KeyX));
    kd::StoreU16(&out[14], uint16_t(h.KeyY));
    out.insert(out.end(), Extra.begin(), Extra.end());
    const size_t paletteAt = out.size();
    for (uint16_t e : Palette) {
        out.push_back(uint8_t(e));
        out.push_back(uint8_t(e >> 8));
    }

    const size_t tableAt = out.size();
    out.resize(tableAt + 4 * Frames.size());
    for (size_t i = 0; i < Frames.size(); ++i) {
        if (!Frames[i]) continue;
        const Frame& f = *Frames[i];
        const size_t blockAt = out.size();
        kd::StoreU32(&out[tableAt + 4 * i], uint32_t(blockAt - paletteAt));
        PutU32(out, uint32_t(f.KeyX));
        PutU32(out, uint32_t(f.KeyY));
        PutU32(out, uint32_t(f.Width));
        PutU32(out, uint32_t(f.Height));
        size_t rowAt = 16 + 4 * f.Rows.size();
        for (const Bytes& row : f.Rows) {
            PutU32(out, uint32_t(rowAt));
            rowAt += row.size();
        }
        for (const Bytes& row : f.Rows) out.insert(out.end(), row.begin(), row.end());
    }
    out.insert(out.end(), Trailing.begin(), Trailing.end());
    return out;
}

Bytes SingleFrameFile(const Frame& frame, const WasPalette& palette) {
    Sprite s;
    s.Header.Width = uint16_t(frame.Width);
    s.Header.Height = uint16_t(frame.Height);
    s.Palette = palette;
    s.Frames.push_back(frame);
    return s.Build();
}

}  // namespace fixture
