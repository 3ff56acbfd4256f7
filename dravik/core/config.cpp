#include "dravik/core/config.h"

#include <ini.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include "dravik/core/workspace.h"
#include "kd/file_io.h"

namespace dravik {
namespace {

std::string Lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

struct Source {
    std::string_view text;
    size_t pos = 0;
};

// Feeds inih one line at a time. The library's line buffer is fixed; a longer line is cut to
// fit and the rest of it dropped, so its tail is never taken for a line of its own.
char* ReadLine(char* buffer, int size, void* stream) {
    auto* src = static_cast<Source*>(stream);
    if (src->pos >= src->text.size() || size < 2) return nullptr;
    const size_t end = std::min(src->text.find('\n', src->pos), src->text.size());
    const size_t lineEnd = end < src->text.size() ? end + 1 : end;
    size_t n = std::min(lineEnd - src->pos, size_t(size - 1));
    std::memcpy(buffer, src->text.data() + src->pos, n);
    // A NUL inside the line would end it early for inih anyway; keep the cut explicit.
    buffer[n] = '\0';
    if (n < lineEnd - src->pos && n > 0) buffer[n - 1] = '\n';
    src->pos = lineEnd;
    return buffer;
}

int Handler(void* user, const char* section, const char* name, const char* value) {
    auto* keys = static_cast<std::map<std::string, std::string>*>(user);
    if (Lowered(section) != "wdf") return 1;
    std::string v = value;
    // The profile functions drop one pair of enclosing quotes.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    keys->emplace(Lowered(name), std::move(v));  // the first of repeated keys stays
    return 1;
}

// The integer at the start of `text`, 0 when there is none, as the profile functions read it.
long ProfileInt(const std::string& text) {
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str()) return 0;
    return long(std::clamp<long long>(v, -2147483647LL - 1, 2147483647LL));
}

}  // namespace

std::vector<std::string> PackageNamesFromConfig(std::string_view text) {
    std::map<std::string, std::string> keys;
    Source src{text};
    ini_parse_stream(&ReadLine, &src, &Handler, &keys);

    auto num = keys.find("num");
    long n = num == keys.end() ? -1 : ProfileInt(num->second);
    if (n <= 0) return {kDefaultPackage};
    n = std::min<long>(n, kMaxPackages);
    std::vector<std::string> names;
    for (long i = 0; i < n; ++i) {
        auto it = keys.find("name" + std::to_string(i));
        names.push_back(it == keys.end() ? std::string() : it->second);
    }
    return names;
}

std::vector<std::string> ReadPackageConfig(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes;
    try {
        bytes = kd::ReadWholeFile(path);
    } catch (const kd::IoError&) {
        // As with the platform's profile functions, a missing file reads as an empty one.
    }
    return PackageNamesFromConfig(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void OpenPalettePackages(Workspace& ws, const std::filesystem::path& configPath,
                         const std::filesystem::path& gameDir, bool changed) {
    if (changed) {
        ws.packages.CloseAllDataFile();
        ws.log.LogInfo("CloseAllDataFile.");
    }
    for (const std::string& name : ReadPackageConfig(configPath))
        if (ws.packages.OpenDataFile(name, gameDir) != 0)
            ws.log.LogError(Format("Open \"%s\" fails.", name.c_str()));
}

}  // namespace dravik
