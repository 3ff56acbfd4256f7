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

// Control character that cannot occur in a value inih hands over: it marks a stand-in.
constexpr char kStandIn = '\x01';

struct Source {
    std::string_view text;
    size_t pos = 0;
    // Values of lines too long for the library's fixed line buffer, kept whole: a package
    // name may be a long path, and a cut name would open the wrong package or none.
    std::vector<std::string> longValues;
    std::map<std::string, std::string> keys;
};

std::string_view Trimmed(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

// Feeds inih one line at a time. A "key=value" line longer than the library's line buffer
// reaches it as the key and a short stand-in for the value, which the handler swaps back.
// Any other overlong line is cut to fit and the rest dropped, so its tail is never taken
// for a line of its own.
char* ReadLine(char* buffer, int size, void* stream) {
    auto* src = static_cast<Source*>(stream);
    if (src->pos >= src->text.size() || size < 2) return nullptr;
    const size_t end = std::min(src->text.find('\n', src->pos), src->text.size());
    const size_t lineEnd = end < src->text.size() ? end + 1 : end;
    std::string_view line = src->text.substr(src->pos, lineEnd - src->pos);
    src->pos = lineEnd;
    // The profile functions read an indented key like any other; inih would take it for the
    // continuation of the key above and lose it.
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    if (line.size() > size_t(size - 1)) {
        const std::string_view content = line.substr(0, line.size() - (lineEnd > end ? 1 : 0));
        const size_t eq = content.find_first_of("=:");
        const std::string_view key = Trimmed(content.substr(0, eq == content.npos ? 0 : eq));
        const std::string standIn = std::string(key) + "=" + kStandIn +
                                    std::to_string(src->longValues.size()) + "\n";
        if (eq != content.npos && !key.empty() && key.front() != ';' && key.front() != '#' &&
            key.front() != '[' && standIn.size() <= size_t(size - 1)) {
            src->longValues.emplace_back(Trimmed(content.substr(eq + 1)));
            std::memcpy(buffer, standIn.data(), standIn.size() + 1);
            return buffer;
        }
    }
    size_t n = std::min(line.size(), size_t(size - 1));
    std::memcpy(buffer, line.data(), n);
    // A NUL inside the line would end it early for inih anyway; keep the cut explicit.
    buffer[n] = '\0';
    if (n < line.size() && n > 0) buffer[n - 1] = '\n';
    return buffer;
}

int Handler(void* user, const char* section, const char* name, const char* value) {
    auto* src = static_cast<Source*>(user);
    if (Lowered(section) != "wdf") return 1;
    std::string v = value;
    if (!v.empty() && v.front() == kStandIn) {
        const size_t k = size_t(std::strtoul(v.c_str() + 1, nullptr, 10));
        v = k < src->longValues.size() ? src->longValues[k] : std::string();
    }
    // The profile functions drop one pair of enclosing quotes.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    src->keys.emplace(Lowered(name), std::move(v));  // the first of repeated keys stays
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
    Source src;
    src.text = text;
    ini_parse_stream(&ReadLine, &src, &Handler, &src);
    const auto& keys = src.keys;

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
