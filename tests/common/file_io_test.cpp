#include "kd/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using kd::IoError;

namespace {

std::vector<uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

void Put(const fs::path& p, std::string_view s) {
    kd::WriteWholeFile(p, Bytes(s));
}

int Mode(const fs::path& p) {
    struct stat st {};
    stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

size_t EntriesIn(const fs::path& dir) {
    return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

template <typename F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const IoError& e) {
        return e.what();
    }
    return "";
}

TEST(ReadWholeFile, ReadsEveryByteAndNamesThePathOnFailure) {
    fixture::TempDir dir;
    Put(dir.Path() / "a.bin", std::string("x\0y", 3));
    EXPECT_EQ(kd::ReadWholeFile(dir.Path() / "a.bin"), (std::vector<uint8_t>{'x', 0, 'y'}));

    EXPECT_NE(ErrorOf([&] { kd::ReadWholeFile(dir.Path() / "missing.was"); }).find("missing.was"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { kd::ReadWholeFile(dir.Path()); }), "");
}

TEST(CheckedFile, AFailedWriteIsAnErrorNotSilence) {
    // /dev/full accepts the open and fails every write that reaches it.
    const std::string error = ErrorOf([] { kd::WriteWholeFile("/dev/full", Bytes("data")); });
    EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
}

TEST(ReplaceFile, WritesNewContentKeepingPermissions) {
    fixture::TempDir dir;
    const fs::path target = dir.Path() / "s.was";
    Put(target, "old content");
    chmod(target.c_str(), 0640);
    kd::ReplaceFile(target, [](kd::CheckedFile& f) { f.Write(Bytes("new")); });
    EXPECT_EQ(kd::ReadWholeFile(target), Bytes("new"));
    EXPECT_EQ(Mode(target), 0640);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(ReplaceFile, CreatesAMissingTargetWithUsualPermissions) {
    fixture::TempDir dir;
    const fs::path target = dir.Path() / "new.wsln";
    const mode_t mask = umask(022);
    kd::ReplaceFile(target, [](kd::CheckedFile& f) { f.Write(Bytes("abc")); });
    umask(mask);
    EXPECT_EQ(kd::ReadWholeFile(target), Bytes("abc"));
    EXPECT_EQ(Mode(target), 0644);
}

TEST(ReplaceFile, FailureLeavesTheOldFileByteForByteAndNoLitter) {
    fixture::TempDir dir;
    const fs::path target = dir.Path() / "keep.was";
    Put(target, "precious");

    // The writer fails half way.
    EXPECT_THROW(kd::ReplaceFile(target,
                                 [](kd::CheckedFile& f) {
                                     f.Write(Bytes("half"));
                                     throw IoError("disk full");
                                 }),
                 IoError);
    EXPECT_EQ(kd::ReadWholeFile(target), Bytes("precious"));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);

    // The rename cannot happen: the target is a folder.
    fs::create_directory(dir.Path() / "folder");
    const std::string error = ErrorOf([&] {
        kd::ReplaceFile(dir.Path() / "folder", [](kd::CheckedFile& f) { f.Write(Bytes("x")); });
    });
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(dir.Path() / "folder"));
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);

    // The folder does not exist.
    EXPECT_NE(ErrorOf([&] {
                  kd::ReplaceFile(dir.Path() / "no" / "x.was", [](kd::CheckedFile&) {});
              }).find("no"),
              std::string::npos);
}

TEST(ReplaceFile, ThroughALinkUpdatesTheLinkedFile) {
    fixture::TempDir dir;
    Put(dir.Path() / "real.was", "old");
    fs::create_symlink("real.was", dir.Path() / "link.was");
    kd::ReplaceFile(dir.Path() / "link.was", [](kd::CheckedFile& f) { f.Write(Bytes("new")); });
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.was"));
    EXPECT_EQ(kd::ReadWholeFile(dir.Path() / "real.was"), Bytes("new"));
}

}  // namespace
