#include "dravik/core/palette.h"

#include "dravik/core/log.h"
#include "dravik/core/wfile.h"
#include "kd/le.h"

namespace dravik {
namespace {

uint8_t ByteAt(const std::array<uint8_t, 256>& bytes, uint64_t at) {
    return at < bytes.size() ? bytes[size_t(at)] : 0;
}

int16_t S16At(const std::array<uint8_t, 256>& bytes, uint64_t at) {
    return int16_t(ByteAt(bytes, at) | ByteAt(bytes, at + 1) << 8);
}

}  // namespace

uint32_t EntryInfo::EquipPos() const { return kd::LoadU32(bytes.data() + 4); }
int32_t EntryInfo::WeaponId() const { return kd::LoadS32(bytes.data() + 8); }
int16_t EntryInfo::EquipSub() const { return S16At(bytes, EquipPos()); }
int16_t EntryInfo::EquipId() const { return S16At(bytes, uint64_t(EquipPos()) + 4); }

std::string EntryPaletteName(const EntryInfo& info) {
    if (info.EquipPos() == 0) return Format("mypal/weapon\\%d.pal", info.WeaponId());
    const int16_t id = info.EquipId();
    if (uint16_t(id) < 8192) return Format("mypal/equip\\%d_%d.pal", id, info.EquipSub());
    return Format("mypal/equip\\%d.pal", id);
}

void LoadEntryPalette(Log& log, const EntryInfo& info, WFile& file, EntryPalette& palette) {
    const std::string name = EntryPaletteName(info);
    if (file.Open(name) != 0) return;

    uint8_t head[4] = {};
    file.Read(head, 4, nullptr);
    if (kd::LoadU32(head) != kPalMagic) {
        log.LogError(Format("%s is not a pal file.", name.c_str()));
        return;
    }
    uint8_t counts[4] = {};
    file.Read(counts, 4, nullptr);
    int count = kd::LoadS16(counts);
    file.Skip(kd::LoadS16(counts + 2));
    if (count > 256) count = 256;
    if (count <= 0) return;

    uint8_t entries[256 * 4] = {};
    file.Read(entries, count * 4, nullptr);
    for (int k = 0; k < count; ++k) {
        const uint8_t* e = entries + k * 4;  // blue, green, red, unused
        palette[size_t(k)] = uint16_t((e[2] >> 3) << 11 | (e[1] >> 2) << 5 | e[0] >> 3);
    }
}

}  // namespace dravik
