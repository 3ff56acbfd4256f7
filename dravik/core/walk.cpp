// Opening the cache pair and the depth-first walk over its index.
#include <cinttypes>
#include <cstring>
#include <new>
#include <vector>

#include "dravik/core/cache.h"
#include "dravik/core/workspace.h"
#include "kd/file_io.h"
#include "kd/le.h"

namespace dravik {
namespace {

#ifdef _WIN32
int SeekTo(std::FILE* f, uint64_t at) { return _fseeki64(f, int64_t(at), SEEK_SET); }
#else
int SeekTo(std::FILE* f, uint64_t at) { return fseeko(f, off_t(at), SEEK_SET); }
#endif

struct Slot {
    uint32_t InfoPos, TablePos, FirstChild;
};

Slot SlotAt(std::span<const uint8_t> slots, uint32_t s) {
    const uint8_t* p = slots.data() + size_t(s) * kSlotSize;
    return {kd::LoadU32(p), kd::LoadU32(p + 4), kd::LoadU32(p + 8)};
}

}  // namespace

CacheFile::~CacheFile() { Close(); }

bool CacheFile::Open(const std::filesystem::path& path) {
    Close();
#ifdef _WIN32
    file_ = _wfopen(path.c_str(), L"rb");
#else
    file_ = std::fopen(path.c_str(), "rb");
#endif
    if (!file_) return false;
    // Records are read in file order; a large buffer lets most seeks land inside it.
    buffer_.reset(new (std::nothrow) char[1 << 16]);
    if (buffer_) std::setvbuf(file_, buffer_.get(), _IOFBF, 1 << 16);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    size_ = ec ? 0 : uint64_t(size);
    return true;
}

void CacheFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    buffer_.reset();
    size_ = 0;
}

size_t CacheFile::ReadAt(uint64_t position, void* destination, size_t size) {
    if (!file_ || size == 0 || position >= size_) return 0;
    if (SeekTo(file_, position) != 0) return 0;
    return std::fread(destination, 1, size, file_);
}

void ExtractCache(Workspace& ws, const std::filesystem::path& hdrPath,
                  const std::filesystem::path& datPath, const Progress& progress) {
    Log& log = ws.log;
    CacheFile hdr, dat;
    if (!hdr.Open(hdrPath)) {
        log.LogError(Format("Open \"%s\" fails.", kd::PathToUtf8(hdrPath).c_str()));
        return;
    }
    if (!dat.Open(datPath)) {
        log.LogError(Format("Open \"%s\" fails.", kd::PathToUtf8(datPath).c_str()));
        return;
    }
    uint8_t hdrHead[12] = {}, datHead[8] = {};
    hdr.ReadAt(0, hdrHead, sizeof hdrHead);
    dat.ReadAt(0, datHead, sizeof datHead);
    if (kd::LoadU32(hdrHead) != kHdrMagic) {
        log.LogError("v3d.hdr's flag error!");
        return;
    }
    if (kd::LoadU32(datHead) != kDatMagic) {
        log.LogError("v3d.dat's flag error!");
        return;
    }

    const uint64_t indexPos = kd::LoadU32(hdrHead + 8);
    uint8_t block[8] = {};
    if (hdr.ReadAt(indexPos, block, 8) != 8) {
        log.LogError(Format("v3d.hdr's index block at %" PRIu64 " lies beyond the end of the file.",
                            indexPos));
        return;
    }
    const uint32_t indexSize = kd::LoadU32(block + 4);
    // The slot array must be in the file: a size read from a damaged index must not decide
    // how much memory we take.
    if (indexSize > hdr.Size() - indexPos - 8) {
        log.LogError(Format("v3d.hdr's index of %u bytes runs past the end of the file.", indexSize));
        return;
    }
    std::unique_ptr<uint8_t[]> slots(new (std::nothrow) uint8_t[indexSize ? indexSize : 1]);
    if (!slots) {
        log.LogError("malloc for v3dh index fails.");
        return;
    }
    hdr.ReadAt(indexPos + 8, slots.get(), indexSize);

    const uint32_t total = indexSize / kSlotSize;
    if (total > 0) {
        int32_t counter = 0;
        ExportList(ws, hdr, dat, progress, std::span(slots.get(), size_t(total) * kSlotSize), 0,
                   total, counter);
    }
    if (progress) progress(100);
}

void ExportList(Workspace& ws, CacheFile& hdr, CacheFile& dat, const Progress& progress,
                std::span<const uint8_t> slots, uint32_t first, uint32_t total, int32_t& counter) {
    Log& log = ws.log;
    auto setProgress = [&] {
        if (progress) progress(int(int64_t(counter) * 100 / total));
    };
    // An explicit stack instead of recursion, so that deep nesting cannot overflow the
    // call stack. Every slot is passed at most once: a list that reaches a slot already
    // passed (a cycle, or a list shared by two entries) ends there, which bounds the walk by
    // the size of the index.
    struct List {
        uint32_t start, at;
    };
    std::vector<bool> passed(total, false);
    std::vector<List> stack;
    auto enter = [&](uint32_t parent, uint32_t start) {
        if (start >= total) {
            log.LogError(Format("Index slot %u: its child list at slot %u lies beyond the %u slots.",
                                parent, start, total));
        } else if (passed[start]) {
            log.LogError(Format("Index slot %u: its child list at slot %u was already walked.",
                                parent, start));
        } else {
            stack.push_back({start, start});
            return true;
        }
        return false;
    };
    if (first >= total) {
        log.LogError(Format("Index list at slot %u lies beyond the %u slots.", first, total));
        return;
    }
    stack.push_back({first, first});
    while (!stack.empty()) {
        List& list = stack.back();
        const uint32_t s = list.at;
        bool ended = false;
        if (s >= total) {
            log.LogError(Format("Index list at slot %u runs off the end of the %u slots.",
                                list.start, total));
            ended = true;
        } else if (passed[s]) {
            log.LogError(Format("Index list at slot %u runs into slot %u, which was already walked.",
                                list.start, s));
            ended = true;
        } else {
            passed[s] = true;
            const Slot slot = SlotAt(slots, s);
            if (slot.InfoPos == 0) {
                ++counter;  // the terminator has its number too
                ended = true;
            } else {
                ExportEntry(ws, hdr, dat, slot.InfoPos, slot.TablePos, counter);
                ++counter;
                setProgress();
                list.at = s + 1;
                if (slot.FirstChild != 0) enter(s, slot.FirstChild);
            }
        }
        if (ended) {
            stack.pop_back();
            if (!stack.empty()) setProgress();  // back in the parent list
        }
    }
}

void ExportEntry(Workspace& ws, CacheFile& hdr, CacheFile& dat, uint32_t infoPos,
                 uint32_t tablePos, int32_t sequence) {
    Log& log = ws.log;
    EntryInfo info;
    uint8_t n = 0;
    if (hdr.ReadAt(infoPos, &n, 1) != 1 || hdr.ReadAt(uint64_t(infoPos) + 1, info.bytes.data(), n) != n) {
        log.LogError(Format("Entry record at %u runs past the end of v3d.hdr.", infoPos));
        return;
    }
    uint8_t size[8] = {};
    if (hdr.ReadAt(tablePos, size, 8) != 8) {
        log.LogError(Format("Image table at %u runs past the end of v3d.hdr.", tablePos));
        return;
    }
    const int32_t columns = kd::LoadS32(size), rows = kd::LoadS32(size + 4);
    const uint64_t count = columns > 0 && rows > 0 ? uint64_t(columns) * uint64_t(rows) : 0;
    if (count * 4 > hdr.Size() - tablePos - 8) {
        log.LogError(Format("Image table at %u (%d x %d cells) runs past the end of v3d.hdr.",
                            tablePos, columns, rows));
        return;
    }
    try {
        ws.cells.resize(size_t(count));
    } catch (const std::bad_alloc&) {
        log.LogError("malloc offset list for dat fails.");
        return;
    }
    // Read as bytes and converted, so the table is little-endian on every host.
    uint8_t* raw = reinterpret_cast<uint8_t*>(ws.cells.data());
    hdr.ReadAt(uint64_t(tablePos) + 8, raw, size_t(count) * 4);
    for (size_t k = 0; k < count; ++k) ws.cells[k] = kd::LoadU32(raw + k * 4);

    EntryPalette palette{};
    WFile file(ws.packages);
    LoadEntryPalette(log, info, file, palette);

    if (count == 0) return;  // also when one side is huge and the other 0: nothing to visit
    const size_t dirLength = ws.exportDir.size();
    char name[64];
    for (int32_t i = 0; i < rows; ++i) {
        for (int32_t j = 0; j < columns; ++j) {
            const uint32_t cell = ws.cells[size_t(i) * size_t(columns) + size_t(j)];
            if (cell == 0) continue;
            const int length = std::snprintf(name, sizeof name, "%.8d_%.4d_%.4d.tga", sequence, i, j);
            ws.path.assign(ws.exportDir, 0, dirLength);
            ws.path.append(name, size_t(length));
            char line[96];
            const int lineLength = std::snprintf(line, sizeof line, "File:\"%s\"", name);
            log.LogInfo(std::string_view(line, size_t(lineLength)));
            ExportImage(ws, dat, cell, palette, ws.path);
        }
    }
}

}  // namespace dravik
