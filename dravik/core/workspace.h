// The state one extractor keeps for its whole life: the log, the open palette packages and
// the three image work buffers that every image of every run reuses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dravik/core/log.h"
#include "dravik/core/wfile.h"

namespace dravik {

// A block that only grows. Growing releases the old block first and allocates exactly the
// size asked for, without copying: the contents are the next user's to fill.
class GrowBuffer {
public:
    // `headroom` bytes are kept in front of the block (room for a file header, so that header
    // and pixels leave in one write).
    explicit GrowBuffer(size_t initial, size_t headroom = 0);
    // False when the memory cannot be had; the buffer is then empty.
    bool Grow(size_t need);
    uint8_t* Data() { return block_.get() + pad_; }
    uint8_t* Front() { return Data() - headroom_; }
    size_t Size() const { return size_; }

private:
    std::unique_ptr<uint8_t[]> block_;
    size_t size_ = 0;
    size_t headroom_;
    size_t pad_;  // headroom rounded up, so that the block itself stays 16-byte aligned
};

constexpr size_t kTgaHeaderSize = 18;

// Largest image accepted, in pixels. A record of at most 65,535 bytes can still declare any
// size (transparent rows cost one byte each), so this bounds what a damaged cache can make
// us allocate and write: 2^26 pixels are 256 MiB, far above any cached sprite.
constexpr int64_t kDefaultMaxPixels = int64_t(1) << 26;

struct Workspace {
    Workspace();

    Log log;
    WPackages packages;
    GrowBuffer RecordBuffer{65536};
    GrowBuffer RowTable{2048};
    GrowBuffer PixelBuffer{65536, kTgaHeaderSize};
    std::vector<uint32_t> cells;  // the image table of the current entry, reused

    // The export directory of the current run, ending with a path separator.
    std::string exportDir;
    std::string path;  // scratch for output file names
    int imagesWritten = 0;
    int64_t maxPixels = kDefaultMaxPixels;
};

}  // namespace dravik
