#include "kromby/scheme/scheme_file.h"

#include "kd/file_io.h"
#include "kd/le.h"

namespace {

constexpr uint32_t kSchemeMagic = 0x6E6C7377;  // "wsln"
constexpr size_t kRecordBytes = 44;            // First, Last, nine weights

const char kNotAScheme[] = "这不是有效的配色方案！";
const char kBadRange[] = "只有0~255号调色板是可用的!";

}  // namespace

DyeSegmentList DefaultScheme() {
    return {DyeSegment{0, 255, kIdentityMatrix}};
}

DyeSegmentList ParseScheme(std::span<const uint8_t> bytes) {
    if (bytes.size() < 8 || kd::LoadU32(bytes.data()) != kSchemeMagic)
        throw KrombyError(kNotAScheme);
    const int32_t count = kd::LoadS32(bytes.data() + 4);
    if (count < 0 || uint64_t(count) * kRecordBytes > bytes.size() - 8)
        throw KrombyError(kNotAScheme);

    DyeSegmentList scheme(static_cast<size_t>(count));
    const uint8_t* p = bytes.data() + 8;
    for (DyeSegment& s : scheme) {
        s.First = kd::LoadS32(p);
        s.Last = kd::LoadS32(p + 4);
        for (int k = 0; k < 9; ++k) s.Matrix[size_t(k)] = kd::LoadU32(p + 8 + 4 * k);
        if (s.First < 0 || s.Last > 255) throw KrombyError(kBadRange);
        p += kRecordBytes;
    }
    return scheme;
}

DyeSegmentList ReadSchemeFile(const std::string& path) {
    return ParseScheme(kd::ReadWholeFile(kd::PathFromUtf8(path)));
}

std::vector<uint8_t> SerializeScheme(const DyeSegmentList& scheme) {
    std::vector<uint8_t> out(8 + kRecordBytes * scheme.size());
    kd::StoreU32(out.data(), kSchemeMagic);
    kd::StoreU32(out.data() + 4, uint32_t(scheme.size()));
    uint8_t* p = out.data() + 8;
    for (const DyeSegment& s : scheme) {
        kd::StoreU32(p, uint32_t(s.First));
        kd::StoreU32(p + 4, uint32_t(s.Last));
        for (int k = 0; k < 9; ++k) kd::StoreU32(p + 8 + 4 * k, s.Matrix[size_t(k)]);
        p += kRecordBytes;
    }
    return out;
}

void WriteSchemeFile(const std::string& path, const DyeSegmentList& scheme) {
    const std::vector<uint8_t> bytes = SerializeScheme(scheme);
    kd::ReplaceFile(kd::PathFromUtf8(path), [&](kd::CheckedFile& file) { file.Write(bytes); });
}

void ApplyScheme(TWasFile& sprite, const DyeSegmentList& scheme) {
    for (const DyeSegment& s : scheme) sprite.DyeRange(s.First, s.Last, s.Matrix);
}
