#include "kromby/scheme/pal_library.h"

#include "kd/file_io.h"
#include "kd/le.h"

namespace {

constexpr uint32_t kLibraryMagic = 0x6C617077;  // "wpal"
constexpr uint64_t kEntryBytes = 36;            // nine weights

[[noreturn]] void NotALibrary() {
    throw KrombyError("这可不是有效的调色板配置文件哦！");
}

// Hands out the file's fields in order, refusing the file at the first one that is missing.
class Fields {
  public:
    explicit Fields(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    void Need(uint64_t count) const {
        if (count > (bytes_.size() - pos_) / 4) NotALibrary();
    }
    uint32_t Next() {
        Need(1);
        const uint32_t v = kd::LoadU32(bytes_.data() + pos_);
        pos_ += 4;
        return v;
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

}  // namespace

PalLibraryList ParsePalLibrary(std::span<const uint8_t> bytes) {
    Fields in(bytes);
    if (in.Next() != kLibraryMagic) NotALibrary();
    const auto count = int32_t(in.Next());
    if (count < 0) NotALibrary();
    in.Need(uint64_t(count) + 1);  // before sizing anything by the count

    PalLibraryList library(static_cast<size_t>(count));
    int64_t boundary = int32_t(in.Next());
    for (PalLib& segment : library) {
        segment.First = int32_t(boundary);
        boundary = int32_t(in.Next());
        segment.Last = int32_t(uint32_t(boundary) - 1);  // wraps like the 32-bit field it mirrors
        // A range outside the palette could never be dyed: refuse the file before it replaces
        // anything rather than fail half way through applying it.
        if (segment.First < 0 || segment.Last > 255) NotALibrary();
    }
    for (PalLib& segment : library) {
        const auto entries = int32_t(in.Next());
        if (entries < 0) NotALibrary();
        in.Need(uint64_t(entries) * (kEntryBytes / 4));
        segment.Matrices.resize(size_t(entries));
        for (DyeMatrix& m : segment.Matrices)
            for (uint32_t& w : m) w = in.Next();
    }
    return library;
}

PalLibraryList ReadPalLibraryFile(const std::string& path) {
    return ParsePalLibrary(kd::ReadWholeFile(kd::PathFromUtf8(path)));
}

std::vector<uint8_t> SerializePalLibrary(const PalLibraryList& library) {
    std::vector<uint8_t> out;
    auto put = [&](uint32_t v) {
        uint8_t b[4];
        kd::StoreU32(b, v);
        out.insert(out.end(), b, b + 4);
    };
    put(kLibraryMagic);
    put(uint32_t(library.size()));
    for (const PalLib& s : library) put(uint32_t(s.First));
    put(library.empty() ? 0u : uint32_t(library.back().Last) + 1);
    for (const PalLib& s : library) {
        put(uint32_t(s.Matrices.size()));
        for (const DyeMatrix& m : s.Matrices)
            for (uint32_t w : m) put(w);
    }
    return out;
}
