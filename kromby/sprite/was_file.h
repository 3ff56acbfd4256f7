// The sprite document: one animated palette sprite held in memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kromby/sprite/was_types.h"

// How much a file may make us allocate. The format itself bounds neither the frame count nor
// a frame's size (an end-of-row code fills any width, rows may share their codes), so a few
// hundred bytes could otherwise ask for gigabytes.
struct WasLimits {
    uint32_t MaxFrames = 1u << 20;       // directions x frames per direction
    uint64_t MaxTotalPixels = 1u << 28;  // decoded pixels of all frames together (512 MiB)
};

class TWasFile {
  public:
    TWasFile() = default;

    // Reads and decodes the whole file. If the file cannot be read the document is unchanged;
    // any later failure leaves it not loaded.
    void LoadFromFile(const std::string& path);
    // The same from bytes already in memory; `path` becomes FileName().
    void LoadFromMemory(std::span<const uint8_t> bytes, const std::string& path,
                        const WasLimits& limits = {});
    void Close();

    // Alpha-blends frame `index` over the surface with its hot spot at (x, y).
    void DrawFrame(const Surface24& surface, int32_t x, int32_t y, int32_t index) const;
    // Writes frame `index` with its alpha into the surface, replacing what was there.
    void DrawFrame32(const Surface32& surface, int32_t x, int32_t y, int32_t index) const;

    // Recolours working entries first..last from the file's palette through `matrix`.
    void DyeRange(int32_t first, int32_t last, DyeMatrix matrix);
    WasPalette GetPalette() const { return workingPalette_; }
    void SetPalette(const WasPalette& palette) { workingPalette_ = palette; }
    void ResetPalette() { workingPalette_ = filePalette_; }

    // Writes the loaded file back with the working palette; the old file at `path` is replaced
    // only once the new one is complete.
    void SaveToFile(const std::string& path) const;
    // Writes every frame as a 32-bit TGA next to the sprite (see TgaFileName).
    void ExportTGA() const;

    int32_t DirectionCount() const { return header_.Directions; }
    int32_t FrameCount() const { return header_.FramesPerDirection; }
    const std::string& FileName() const { return fileName_; }
    bool Loaded() const { return loaded_; }
    int32_t FrameKeyX(int32_t i) const { return frames_[size_t(i)].KeyX; }
    int32_t FrameKeyY(int32_t i) const { return frames_[size_t(i)].KeyY; }
    int32_t FrameWidth(int32_t i) const { return frames_[size_t(i)].Width; }
    int32_t FrameHeight(int32_t i) const { return frames_[size_t(i)].Height; }

    const WasHeader& Header() const { return header_; }
    std::span<const TWasImage> Frames() const { return {frames_.data(), frameCount_}; }
    const std::vector<uint8_t>& ExtraHeader() const { return extraHeader_; }
    const WasPalette& FilePalette() const { return filePalette_; }
    const WasPalette& WorkingPalette() const { return workingPalette_; }
    // Every byte of the file after the palette.
    std::span<const uint8_t> Body() const {
        return std::span<const uint8_t>(raw_).subspan(bodyAt_);
    }

  private:
    void ResetContent();
    void Parse(const std::string& path, const WasLimits& limits);
    const TWasImage& DrawableFrame(int32_t index) const;

    WasHeader header_;
    // The first frameCount_ entries are the frames. The vector and the pixel arrays keep their
    // memory across loads (a viewer reloads often, and fresh pages cost more than decoding);
    // Close releases it.
    std::vector<TWasImage> frames_;
    size_t frameCount_ = 0;
    std::vector<uint8_t> extraHeader_;
    WasPalette filePalette_{};
    WasPalette workingPalette_{};
    std::string fileName_;
    // The whole file as read; the body is its tail from bodyAt_, saved back unchanged.
    std::vector<uint8_t> raw_;
    std::vector<uint8_t> spare_;  // the next file is read here, so a failed read changes nothing
    size_t bodyAt_ = 0;
    bool loaded_ = false;
};

// The name frame `index` of a sprite loaded from `fileName` is exported to: the path up to the
// last "." of its file name, the direction in upper-case hexadecimal, the frame within the
// direction in at least three decimal digits, ".tga".
std::string TgaFileName(const std::string& fileName, int32_t framesPerDirection, int32_t index);
