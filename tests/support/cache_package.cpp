#include "tests/support/cache_package.h"

#include <zip.h>

#include <stdexcept>

#include "kd/file_io.h"
#include "kd/le.h"

namespace fixture {

Bytes BuildPal(const std::vector<PalColour>& colours, std::optional<int16_t> count, int16_t skip,
               uint32_t magic) {
    Bytes out(8);
    kd::StoreU32(out.data(), magic);
    kd::StoreU16(out.data() + 4, uint16_t(count.value_or(int16_t(colours.size()))));
    kd::StoreU16(out.data() + 6, uint16_t(skip));
    for (int i = 0; i < skip; ++i) out.push_back(0xEE);
    for (const PalColour& c : colours) {
        out.push_back(c.Blue);
        out.push_back(c.Green);
        out.push_back(c.Red);
        out.push_back(0);
    }
    return out;
}

void WriteZipPackage(const std::filesystem::path& path, const std::map<std::string, Bytes>& files) {
    int error = 0;
    zip_t* z = zip_open(kd::PathToUtf8(path).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) throw std::runtime_error("cannot create " + path.string());
    bool deflate = false;
    for (const auto& [name, bytes] : files) {
        zip_source_t* src = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = src ? zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(src);
            zip_discard(z);
            throw std::runtime_error("cannot add " + name);
        }
        zip_set_file_compression(z, zip_uint64_t(index), deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        deflate = !deflate;
    }
    if (zip_close(z) != 0) {
        zip_discard(z);
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace fixture
