#include "dravik/core/workspace.h"

#include <new>

namespace dravik {

GrowBuffer::GrowBuffer(size_t initial, size_t headroom) : headroom_(headroom) {
    block_.reset(new (std::nothrow) uint8_t[initial + headroom]);
    size_ = block_ ? initial : 0;
}

bool GrowBuffer::Grow(size_t need) {
    if (need <= size_ && block_) return true;
    block_.reset();
    size_ = 0;
    block_.reset(new (std::nothrow) uint8_t[need + headroom_]);
    if (!block_) return false;
    size_ = need;
    return true;
}

Workspace::Workspace() { path.reserve(4096); }

}  // namespace dravik
