#include "dravik/core/workspace.h"

#include <new>

namespace dravik {

GrowBuffer::GrowBuffer(size_t initial, size_t headroom)
    : headroom_(headroom), pad_((headroom + 15) / 16 * 16) {
    block_.reset(new (std::nothrow) uint8_t[initial + pad_]);
    size_ = block_ ? initial : 0;
}

bool GrowBuffer::Grow(size_t need) {
    if (need <= size_ && block_) return true;
    block_.reset();
    size_ = 0;
    block_.reset(new (std::nothrow) uint8_t[need + pad_]);
    if (!block_) return false;
    size_ = need;
    return true;
}

Workspace::Workspace() { path.reserve(4096); }

}  // namespace dravik
