// The host's file layer over real temporary files: bytes in and out unchanged,
// the identity check before an existing file is emptied, failures with their
// codes, and a full disk that is never lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/failure.h"
#include "platform/host_files.h"
#include "tests/support/temp_folder.h"
#ifndef _WIN32
#include "tests/support/small_tmpfs.h"
#endif

namespace talvoren {
namespace {

const IsSourceFile kNoSource = [](const FileId&) { return false; };

std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}

std::string ReadAll(InputFile& input, std::size_t chunk) {
    std::string data;
    std::string buffer(chunk, '\0');
    while (const std::size_t got = input.Read(buffer.data(), buffer.size())) data.append(buffer, 0, got);
    return data;
}

template <typename Action>
FailureCode FailureCodeOf(Action action) {
    try {
        action();
    } catch (const ConvError& error) {
        return error.failure().code;
    }
    ADD_FAILURE() << "no failure";
    return FailureCode::OtherOsError;
}

class FileSystemTest : public ::testing::Test {
protected:
    TempFolder temp_;
    std::unique_ptr<FileSystem> fs_ = MakeHostFileSystem();
};

TEST_F(FileSystemTest, WritesAndReadsEveryByteUnchanged) {
    std::string data;
    for (int i = 0; i < 12000; ++i) data += AllBytes();  // 3 MB, CR and LF alone included
    auto output = fs_->OpenForWriting(temp_.PathOf("駅名Tp.csv"), kNoSource);
    output->Write(data.data(), 1000);
    output->Write(data.data() + 1000, data.size() - 1000);
    output->Close();

    EXPECT_EQ(temp_.Read("駅名Tp.csv"), data);
    for (const std::size_t chunk : {std::size_t{7}, std::size_t{256 * 1024}}) {
        auto input = fs_->OpenForReading(temp_.PathOf("駅名Tp.csv"));
        EXPECT_EQ(ReadAll(*input, chunk), data) << chunk;
    }
}

TEST_F(FileSystemTest, AnEmptyFileReadsAsAtItsEnd) {
    temp_.Write("empty", "");
    auto input = fs_->OpenForReading(temp_.PathOf("empty"));
    char byte;
    EXPECT_EQ(input->Read(&byte, 1), 0u);
}

TEST_F(FileSystemTest, ANewFileIsCreatedWithoutAskingForSourceIdentities) {
    int asked = 0;
    auto output = fs_->OpenForWriting(temp_.PathOf("new"), [&](const FileId&) { return ++asked, false; });
    output->Write("abc", 3);
    output->Close();

    EXPECT_EQ(asked, 0);
    EXPECT_EQ(temp_.Read("new"), "abc");
}

TEST_F(FileSystemTest, AnExistingFileIsCheckedThenEmptied) {
    temp_.Write("old", std::string(10000, 'x'));
    const std::optional<FileId> id = fs_->Identify(temp_.PathOf("old"));
    ASSERT_TRUE(id);
    std::optional<FileId> asked;
    auto output = fs_->OpenForWriting(temp_.PathOf("old"), [&](const FileId& checked) {
        asked = checked;
        return false;
    });
    output->Write("new", 3);
    output->Close();

    ASSERT_TRUE(asked);
    EXPECT_TRUE(*asked == *id);
    EXPECT_EQ(temp_.Read("old"), "new");
}

TEST_F(FileSystemTest, ASourceFileIsRefusedAndLeftAsItWas) {
    temp_.Write("source", "keep me");
    const FileId source = *fs_->Identify(temp_.PathOf("source"));
    const IsSourceFile is_source = [&](const FileId& id) { return id == source; };

    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForWriting(temp_.PathOf("source"), is_source); }),
              FailureCode::SameAsSource);
    EXPECT_EQ(temp_.Read("source"), "keep me");

    // Still refused while the run holds the file open for reading (on Windows
    // the open source file also refuses a writer).
    auto input = fs_->OpenForReading(temp_.PathOf("source"));
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForWriting(temp_.PathOf("source"), is_source); }),
              FailureCode::SameAsSource);
    EXPECT_EQ(ReadAll(*input, 64), "keep me");
}

TEST_F(FileSystemTest, IdentityFollowsTheFileNotTheName) {
    temp_.Write("a", "1");
    temp_.Write("b", "1");
    std::filesystem::create_hard_link(temp_.Native("a"), temp_.Native("hard"));
    const std::optional<FileId> a = fs_->Identify(temp_.PathOf("a"));
    ASSERT_TRUE(a);

    EXPECT_TRUE(*fs_->Identify(temp_.PathOf("hard")) == *a);
    EXPECT_FALSE(*fs_->Identify(temp_.PathOf("b")) == *a);
    EXPECT_FALSE(fs_->Identify(temp_.PathOf("missing")));
#ifdef _WIN32
    EXPECT_TRUE(*fs_->Identify(temp_.PathOf("A")) == *a);
    EXPECT_TRUE(*fs_->Identify(temp_.Path() + "/a") == *a);
#else
    std::filesystem::create_symlink(temp_.Native("a"), temp_.Native("soft"));
    EXPECT_TRUE(*fs_->Identify(temp_.PathOf("soft")) == *a);
#endif
}

TEST_F(FileSystemTest, FailuresCarryTheirCause) {
    temp_.Write("file", "x");
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForReading(temp_.PathOf("missing")); }), FailureCode::NotFound);
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForWriting(temp_.PathOf("missing/ATp.csv"), kNoSource); }),
              FailureCode::NotFound);
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForReading(temp_.PathOf("file/ATp.csv")); }), FailureCode::NotFound);
    temp_.MakeFolder("folderTp.csv");
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForWriting(temp_.PathOf("folderTp.csv"), kNoSource); }),
              FailureCode::AccessDenied);
}

TEST_F(FileSystemTest, OthersCanReadAFileBeingWritten) {
    auto output = fs_->OpenForWriting(temp_.PathOf("out"), kNoSource);
    output->Write("abc", 3);
    std::ifstream reader(temp_.Native("out"), std::ios::binary);
    EXPECT_TRUE(reader.is_open());
    std::string seen;
    reader >> seen;
    EXPECT_EQ(seen, "abc");
    output->Close();
}

#ifdef _WIN32
TEST_F(FileSystemTest, AFileOpenForWritingElsewhereIsInUse) {
    auto output = fs_->OpenForWriting(temp_.PathOf("busy"), kNoSource);
    EXPECT_EQ(FailureCodeOf([&] { fs_->OpenForWriting(temp_.PathOf("busy"), kNoSource); }),
              FailureCode::FileInUse);
    output->Close();
}
#else
TEST_F(FileSystemTest, AFullDiskFailsTheWrite) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this host";
    auto output = fs_->OpenForWriting("/dev/full", kNoSource);
    EXPECT_EQ(FailureCodeOf([&] { output->Write("abc", 3); }), FailureCode::DiskFull);
}

// A real file system that fills up part way through a file: the failure
// surfaces from Write or from Close, never silently.
TEST_F(FileSystemTest, AFileSystemThatFillsUpMidFileIsNeverSilent) {
    const std::string mount_point = temp_.MakeFolder("small");
    SmallTmpfs small(mount_point);
    if (!small.Mount()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";

    const std::string block(64 * 1024, 'x');
    auto output = fs_->OpenForWriting(mount_point + "/ATp.csv", kNoSource);
    const FailureCode code = FailureCodeOf([&] {
        for (int i = 0; i < 8; ++i) output->Write(block.data(), block.size());
        output->Close();
    });
    EXPECT_EQ(code, FailureCode::DiskFull);
    EXPECT_GT(std::filesystem::file_size(mount_point + "/ATp.csv"), 0u);
}
#endif

}  // namespace
}  // namespace talvoren
