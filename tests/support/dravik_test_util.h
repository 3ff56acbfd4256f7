// Helpers for the extractor's tests: a workspace whose log is a file in a temporary folder,
// log lines read back, TGA files read back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dravik/core/cache.h"
#include "dravik/core/workspace.h"
#include "kd/file_io.h"
#include "kd/le.h"
#include "tests/support/temp_dir.h"

namespace fixture {

// The lines of a log file, without their ends; fails the test on a line end other than CR LF.
inline std::vector<std::string> ReadLogLines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::vector<uint8_t> bytes;
    try {
        bytes = kd::ReadWholeFile(path);
    } catch (const kd::IoError&) {
        return lines;
    }
    std::string text(bytes.begin(), bytes.end());
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "unterminated log line: " << text.substr(at);
            break;
        }
        EXPECT_TRUE(end > at && text[end - 1] == '\r') << "line without CR LF: " << text.substr(at, end - at);
        lines.push_back(text.substr(at, end - at - (end > at && text[end - 1] == '\r' ? 1 : 0)));
        at = end + 1;
    }
    return lines;
}

inline std::vector<std::string> Matching(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
}

// A workspace logging to dir/log.txt and exporting to dir/out/.
struct ExtractorFixture {
    TempDir dir;
    dravik::Workspace ws;
    std::vector<int> progress;

    ExtractorFixture() {
        ws.log.Open(dir.Path() / "log.txt");
        ws.exportDir = (dir.Path() / "out").string() + "/";
    }
    dravik::Progress Recorder() {
        return [this](int p) { progress.push_back(p); };
    }
    std::vector<std::string> Lines() {
        ws.log.Flush();
        return ReadLogLines(dir.Path() / "log.txt");
    }
    std::vector<std::string> Errors() { return Matching(Lines(), "[ERROR] "); }
    std::vector<std::string> Files() { return Matching(Lines(), "[LOG] File:"); }
    std::filesystem::path Out(const std::string& name) const { return dir.Path() / "out" / name; }
};

}  // namespace fixture
