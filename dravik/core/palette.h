// Which palette an entry's images take, and reading it from the packages.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace dravik {

class Log;
class WFile;

// An entry's information record: the n bytes after its length byte, the rest zero.
struct EntryInfo {
    std::array<uint8_t, 256> bytes{};

    uint32_t EquipPos() const;
    int32_t WeaponId() const;
    // The EquipInfo fields at EquipPos; bytes beyond the record buffer read as 0.
    int16_t EquipSub() const;
    int16_t EquipId() const;
};

using EntryPalette = std::array<uint16_t, 256>;  // RGB565

constexpr uint32_t kPalMagic = 0x6C61702E;  // ".pal"

// "mypal/equip\%d_%d.pal", "mypal/equip\%d.pal" or "mypal/weapon\%d.pal".
std::string EntryPaletteName(const EntryInfo& info);

// Fills `palette` (cleared by the caller) from the entry's .pal file when one is found.
void LoadEntryPalette(Log& log, const EntryInfo& info, WFile& file, EntryPalette& palette);

}  // namespace dravik
