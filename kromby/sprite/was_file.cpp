#include "kromby/sprite/was_file.h"

#include <atomic>
#include <exception>

#include "kd/file_io.h"
#include "kd/le.h"
#include "kromby/sprite/helper_thread.h"
#include "kromby/sprite/was_codec.h"

namespace {

// Below this many pixels (some 50 µs of decoding) waking a second thread costs more than it saves.
constexpr uint64_t kParallelDecodePixels = 1 << 17;

WasHeader ParseHeader(const uint8_t* p) {
    WasHeader h;
    h.Magic = kd::LoadU16(p + 0);
    h.HeaderSize = kd::LoadU16(p + 2);
    h.Directions = kd::LoadU16(p + 4);
    h.FramesPerDirection = kd::LoadU16(p + 6);
    h.Width = kd::LoadU16(p + 8);
    h.Height = kd::LoadU16(p + 10);
    h.KeyX = kd::LoadS16(p + 12);
    h.KeyY = kd::LoadS16(p + 14);
    return h;
}

// A short read replaces only the bytes it delivers, so the palette is read over its current
// bytes rather than over zeros.
void ReadPalette(std::span<const uint8_t> data, uint64_t pos, WasPalette& palette) {
    uint8_t raw[kWasPaletteBytes];
    for (int i = 0; i < 256; ++i) kd::StoreU16(raw + 2 * i, palette[i]);
    ReadAt(data, pos, raw, sizeof raw);
    for (int i = 0; i < 256; ++i) palette[i] = kd::LoadU16(raw + 2 * i);
}

}  // namespace

void TWasFile::ResetContent() {
    header_ = WasHeader{};
    frameCount_ = 0;
    extraHeader_.clear();
    raw_.clear();
    bodyAt_ = 0;
    fileName_.clear();
    loaded_ = false;
}

void TWasFile::Close() {
    ResetContent();
    frames_ = {};
    raw_ = {};
    spare_ = {};
}

void TWasFile::LoadFromFile(const std::string& path) {
    // A file that cannot be read leaves the document as it was.
    kd::ReadWholeFile(kd::PathFromUtf8(path), spare_);
    ResetContent();
    raw_.swap(spare_);
    Parse(path, WasLimits{});
}

void TWasFile::LoadFromMemory(std::span<const uint8_t> data, const std::string& path,
                              const WasLimits& limits) {
    ResetContent();
    raw_.assign(data.begin(), data.end());
    Parse(path, limits);
}

void TWasFile::Parse(const std::string& path, const WasLimits& limits) {
    const std::span<const uint8_t> data = raw_;
    uint8_t raw[kWasHeaderBytes] = {};
    ReadAt(data, 0, raw, sizeof raw);
    header_ = ParseHeader(raw);
    if (header_.Magic != kWasMagic) throw KrombyError("错误的文件标识！");
    if (header_.HeaderSize < 12) throw KrombyError("错误的文件版本，请与作者联系！");
    const uint64_t paletteAt = 4 + uint64_t(header_.HeaderSize);
    extraHeader_.assign(header_.HeaderSize - 12u, 0);
    ReadAt(data, kWasHeaderBytes, extraHeader_.data(), extraHeader_.size());
    if (header_.Directions == 0 || header_.FramesPerDirection == 0)
        throw KrombyError("错误的精灵数或帧数！");

    const uint32_t count = uint32_t(header_.Directions) * header_.FramesPerDirection;
    if (count > limits.MaxFrames)
        throw KrombyError("精灵数或帧数太大，无法加载（共 " + std::to_string(count) + " 帧）");
    if (frames_.size() < count) frames_.resize(count);
    frameCount_ = count;
    std::vector<uint8_t> offsets(size_t(count) * 4, 0);

    ReadPalette(data, paletteAt, filePalette_);
    ReadAt(data, paletteAt + kWasPaletteBytes, offsets.data(), offsets.size());

    // Headers and sizes first, in order, up to the first that fails; then the rows of those
    // frames, on two threads when there are enough pixels to repay the second one. The failure
    // of the earliest frame is the one reported, as if the frames had been decoded in order.
    uint64_t budget = limits.MaxTotalPixels, pixels = 0;
    uint32_t prepared = 0;
    std::exception_ptr sizeError;
    for (; prepared < count; ++prepared) {
        const uint32_t offset = kd::LoadU32(&offsets[size_t(prepared) * 4]);
        TWasImage& frame = frames_[prepared];
        try {
            if (offset == 0) {
                if (budget == 0)
                    throw KrombyError("第" + std::to_string(prepared) + "帧超出可加载的像素总数");
                --budget;
                frame.KeyX = frame.KeyY = 0;
                frame.Width = frame.Height = 1;
                frame.Pixels.assign(1, WasPixel{});
            } else {
                PrepareFrame(frame, data, paletteAt + offset, budget, int32_t(prepared));
                pixels += frame.Pixels.size();
            }
        } catch (...) {
            sizeError = std::current_exception();
            break;
        }
    }
    std::vector<std::exception_ptr> rowErrors(prepared);
    std::atomic<uint32_t> next{0};
    auto decodeRows = [&] {
        std::vector<const uint8_t*> rowCodes;
        for (uint32_t i; (i = next++) < prepared;) {
            const uint32_t offset = kd::LoadU32(&offsets[size_t(i) * 4]);
            if (offset == 0) continue;
            try {
                DecodeFrameRows(frames_[i], data, paletteAt + offset, rowCodes);
            } catch (...) {
                rowErrors[i] = std::current_exception();
            }
        }
    };
    if (pixels >= kParallelDecodePixels && prepared > 1)
        RunWithHelper(decodeRows);
    else
        decodeRows();
    for (uint32_t i = 0; i < prepared; ++i) {
        if (rowErrors[i]) {
            frameCount_ = i + 1;  // nothing of the previous sprite shows behind the failure
            std::rethrow_exception(rowErrors[i]);
        }
    }
    if (sizeError) {
        frameCount_ = prepared + 1;
        std::rethrow_exception(sizeError);
    }

    fileName_ = path;
    const uint64_t fixedBytes = paletteAt + kWasPaletteBytes;
    if (data.size() < fixedBytes)
        throw KrombyError("文件不完整：只有 " + std::to_string(data.size()) + " 字节，至少需要 " +
                          std::to_string(fixedBytes) + " 字节");
    ReadPalette(data, paletteAt, workingPalette_);
    bodyAt_ = size_t(fixedBytes);
    loaded_ = true;
}

void TWasFile::SaveToFile(const std::string& path) const {
    uint8_t head[kWasHeaderBytes + kWasPaletteBytes];
    kd::StoreU16(head + 0, header_.Magic);
    kd::StoreU16(head + 2, header_.HeaderSize);
    kd::StoreU16(head + 4, header_.Directions);
    kd::StoreU16(head + 6, header_.FramesPerDirection);
    kd::StoreU16(head + 8, header_.Width);
    kd::StoreU16(head + 10, header_.Height);
    kd::StoreU16(head + 12, uint16_t(header_.KeyX));
    kd::StoreU16(head + 14, uint16_t(header_.KeyY));
    uint8_t* palette = head + kWasHeaderBytes;
    for (int i = 0; i < 256; ++i) kd::StoreU16(palette + 2 * i, workingPalette_[i]);

    kd::ReplaceFile(kd::PathFromUtf8(path), [&](kd::CheckedFile& file) {
        file.Write(head, kWasHeaderBytes);
        file.Write(extraHeader_);
        file.Write(palette, kWasPaletteBytes);
        file.Write(Body());
    });
}
