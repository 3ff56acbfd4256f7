#include <algorithm>
#include <cstdio>
#include <cstring>

#include "kd/file_io.h"
#include "kd/le.h"
#include "kromby/sprite/was_file.h"

std::string TgaFileName(const std::string& fileName, int32_t framesPerDirection, int32_t index) {
    // Only the file name's own "." counts, and a name without one keeps the whole path, so the
    // images always land beside the sprite.
#ifdef _WIN32
    const size_t nameAt = fileName.find_last_of("/\\") + 1;
#else
    const size_t nameAt = fileName.rfind('/') + 1;
#endif
    const size_t dot = fileName.rfind('.');
    const size_t baseLength = dot != std::string::npos && dot >= nameAt ? dot : fileName.size();
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%X%.3d.tga", unsigned(index / framesPerDirection),
                  int(index % framesPerDirection));
    return fileName.substr(0, baseLength) + suffix;
}

void TWasFile::ExportTGA() const {
    // A lone frame gets a canvas of its own size; otherwise every frame is placed on the
    // sprite's common canvas so that all hot spots meet.
    const bool single = header_.Directions == 1 && header_.FramesPerDirection == 1;
    int64_t width = header_.Width, height = header_.Height;
    int32_t keyX = header_.KeyX, keyY = header_.KeyY;
    if (single && frameCount_ > 0) {
        width = std::max(frames_[0].Width, 0);
        height = std::max(frames_[0].Height, 0);
        keyX = frames_[0].KeyX;
        keyY = frames_[0].KeyY;
    }
    // TGA sizes are 16-bit; the pixel cap keeps a forged header from asking for gigabytes.
    constexpr int64_t kMaxCanvasPixels = int64_t(1) << 27;
    if (width > 0xFFFF || height > 0xFFFF || width * height > kMaxCanvasPixels)
        throw KrombyError("图片尺寸 " + std::to_string(width) + " × " + std::to_string(height) +
                          " 太大，无法导出为TGA");

    // The whole file is built in one buffer; the canvas is its pixel area, addressed bottom-up
    // because TGA stores the bottom row first.
    const size_t rowBytes = size_t(width) * 4;
    std::vector<uint8_t> file(18 + rowBytes * size_t(height), 0);
    file[2] = 2;  // uncompressed true-colour
    kd::StoreU16(&file[12], uint16_t(width));
    kd::StoreU16(&file[14], uint16_t(height));
    file[16] = 32;
    file[17] = 8;  // 8 alpha bits, origin at the lower left
    uint8_t* pixels = file.data() + 18;
    Surface32 canvas{int32_t(width), int32_t(height), -ptrdiff_t(rowBytes),
                     height > 0 ? pixels + rowBytes * size_t(height - 1) : pixels};

    const int32_t perDirection = std::max<int32_t>(header_.FramesPerDirection, 1);
    for (size_t i = 0; i < frameCount_; ++i) {
        std::memset(pixels, 0, rowBytes * size_t(height));
        DrawFrame32(canvas, keyX, keyY, int32_t(i));
        kd::WriteWholeFile(kd::PathFromUtf8(TgaFileName(fileName_, perDirection, int32_t(i))),
                           file);
    }
}
