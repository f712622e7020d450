// The folder run over real temporary folders with the host's file layer:
// what reaches the disk, links, devices, a disk that fills up. Doubles for
// what a real folder cannot show are in tests/core/folder_run_test.cpp.
#include "core/run/folder_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/texts/failure.h"
#include "core/texts/failure_description.h"
#include "core/texts/message_texts.h"
#include "platform/files/host_files.h"
#include "tests/support/memory_files.h"
#include "tests/support/names_list.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"
#ifndef _WIN32
#include <sys/stat.h>

#include "tests/support/small_tmpfs.h"
#endif

namespace talvoren {
namespace {

// "駅名" and "東京" in code page 932.
const std::string kStation = "\x89\x77\x96\xbc";
const std::string kTokyo = "\x93\x8c\x8b\x9e";

const std::string kLegacy = "\"" + kStation + "\",12\r\n\"A,B\",-7\r\n" + kTokyo + ",0";
const std::string kUpgraded = kStation + ", 12,0\r\nA,B,-7,0\r\n" + kTokyo + ", 0,0\r\n";

using test::RecordingSink;

using test::ExpectMessage;
using test::SplitCrLf;

class FolderRunTest : public ::testing::Test {
protected:
    FolderRunTest() : files_(MakeHostFileList()), fs_(MakeHostFileSystem()) {
        source_ = temp_.MakeFolder("src");
        destination_ = temp_.MakeFolder("dst");
    }

    RunEnd Run(const std::string& source, const std::string& destination) {
        return ConvertFolder(source, destination, *files_, *fs_, sink_);
    }
    RunEnd Run() { return Run(source_, destination_); }

    const RunMessage& OnlyMessage() {
        EXPECT_EQ(sink_.messages.size(), 1u);
        if (sink_.messages.empty()) throw std::logic_error("the run showed no message");
        return sink_.messages.front();
    }

    // The failure the host's file layer gives when replacing `path`.
    Failure WriteFailureOf(const std::string& path) {
        try {
            fs_->CreateReplacement(path, [](const FileId&) {});
        } catch (const ConvError& error) {
            return error.failure();
        }
        ADD_FAILURE() << path << " opened";
        return {};
    }

    std::string Separator() const { return std::string(1, fs_->Separator()); }

    TempFolder temp_;
    std::unique_ptr<FileList> files_;
    std::unique_ptr<FileSystem> fs_;
    test::RecordingSink sink_;
    std::string source_;
    std::string destination_;
};

TEST_F(FolderRunTest, ConvertsEveryMatchingFileAndReportsCompletion) {
    temp_.Write("src/A01Tp.csv", kLegacy);
    temp_.Write("src/b02tp.CSV", "X,1\n");
    temp_.Write("src/駅名Tp.csv", "\"" + kTokyo + "\",-32768");
    temp_.Write("src/note.txt", "X,1\n");
    temp_.Write("src/A01Tp.csv.bak", "X,1\n");
    temp_.Write("src/.hiddenTp.csv", "X,1\n");
    temp_.MakeFolder("src/folderTp.csv");

    EXPECT_EQ(Run(), RunEnd::Completed);

    ExpectMessage(OnlyMessage(), CompletedMessage());
    EXPECT_EQ(temp_.Read("dst/A01Tp.csv"), kUpgraded);
    EXPECT_EQ(temp_.Read("dst/b02tp.CSV"), "X, 1,0\r\n");
    EXPECT_EQ(temp_.Read("dst/駅名Tp.csv"), kTokyo + ",-32768,0\r\n");
    for (const char* left_out : {"dst/note.txt", "dst/A01Tp.csv.bak", "dst/.hiddenTp.csv", "dst/folderTp.csv"}) {
        EXPECT_FALSE(temp_.Exists(left_out)) << left_out;
    }
    EXPECT_EQ(temp_.Read("src/A01Tp.csv"), kLegacy);
}

TEST_F(FolderRunTest, ReplacesAnExistingDestinationFileWhole) {
    temp_.Write("src/ATp.csv", "X,1\r\n");
    temp_.Write("dst/ATp.csv", std::string(5000, 'z'));

    EXPECT_EQ(Run(), RunEnd::Completed);
    EXPECT_EQ(temp_.Read("dst/ATp.csv"), "X, 1,0\r\n");
}

TEST_F(FolderRunTest, AnEmptyFileGivesAnEmptyFileAndTheRunGoesOn) {
    temp_.Write("src/ATp.csv", "");
    temp_.Write("src/BTp.csv", "X,1\r\n");
    temp_.Write("dst/ATp.csv", "old contents");

    EXPECT_EQ(Run(), RunEnd::Completed);
    EXPECT_EQ(temp_.Read("dst/ATp.csv"), "");
    EXPECT_EQ(temp_.Read("dst/BTp.csv"), "X, 1,0\r\n");
}

TEST_F(FolderRunTest, NoMatchingFileIsReportedBeforeTheDestinationIsLookedAt) {
    temp_.Write("src/readme.txt", "X,1\r\n");
    for (const std::string& destination : {std::string(), destination_, temp_.PathOf("missing")}) {
        sink_.messages.clear();
        EXPECT_EQ(Run(source_, destination), RunEnd::NoMatchingFiles);
        ExpectMessage(OnlyMessage(), NoMatchingFilesMessage());
    }
    EXPECT_TRUE(std::filesystem::is_empty(temp_.Native("dst")));
    EXPECT_FALSE(temp_.Exists("missing"));
}

TEST_F(FolderRunTest, AnEmptySourceTextListsNoFiles) {
    EXPECT_EQ(Run("", destination_), RunEnd::NoMatchingFiles);
    ExpectMessage(OnlyMessage(), NoMatchingFilesMessage());
}

TEST_F(FolderRunTest, AnEmptyDestinationTextIsRefusedAndNothingIsWritten) {
    temp_.Write("src/ATp.csv", "X,1\r\n");

    EXPECT_EQ(Run(source_, ""), RunEnd::DestinationNotGiven);
    ExpectMessage(OnlyMessage(), DestinationNotGivenMessage());
    EXPECT_EQ(temp_.Read("src/ATp.csv"), "X,1\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(temp_.Native("dst")));
}

TEST_F(FolderRunTest, AMissingDestinationFolderFailsOnTheFirstFileAndWritesNothing) {
    temp_.Write("src/ATp.csv", "X,1\r\n");
    temp_.Write("src/BTp.csv", "X,1\r\n");
    const std::string missing = temp_.PathOf("missing");
    const Failure failure = WriteFailureOf(missing + Separator() + "ATp.csv");
    EXPECT_EQ(failure.code, FailureCode::NotFound);

    EXPECT_EQ(Run(source_, missing), RunEnd::Failed);

    const std::string sep = Separator();
    ExpectMessage(OnlyMessage(), ConversionFailedMessage(source_ + sep + "ATp.csv", missing + sep + "ATp.csv",
                                                         DescribeFailure(failure)));
    EXPECT_FALSE(temp_.Exists("missing"));
}

TEST_F(FolderRunTest, TheErrorReportIsSixLinesNamingBothFiles) {
    const std::string source = temp_.MakeFolder("旧データ");
    temp_.Write("旧データ/ATp.csv", "X,1\r\nY,2\r\nZ,40000\r\n");

    EXPECT_EQ(Run(source, destination_), RunEnd::Failed);

    const RunMessage& message = OnlyMessage();
    EXPECT_EQ(message.icon, MessageIcon::Critical);
    EXPECT_EQ(message.title, "エラー");
    const std::vector<std::string> lines = SplitCrLf(message.text);
    ASSERT_EQ(lines.size(), 6u) << message.text;
    EXPECT_EQ(lines[0], "変換中に問題が発生しました。");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "変換元ファイル：" + source + Separator() + "ATp.csv");
    EXPECT_EQ(lines[3], "変換先ファイル：" + destination_ + Separator() + "ATp.csv");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5].rfind("エラー内容：3 行目：", 0), 0u) << lines[5];
    EXPECT_NE(lines[5].find("40000"), std::string::npos) << lines[5];
}

TEST_F(FolderRunTest, AFolderTextEndingInTheSeparatorGetsNoSecondOne) {
    temp_.Write("src/ATp.csv", "bad line\r\n");
    const std::string sep = Separator();

    EXPECT_EQ(Run(source_ + sep, destination_ + sep), RunEnd::Failed);

    const std::vector<std::string> lines = SplitCrLf(OnlyMessage().text);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], "変換元ファイル：" + source_ + sep + "ATp.csv");
    EXPECT_EQ(lines[3], "変換先ファイル：" + destination_ + sep + "ATp.csv");
}

// Five files, the third fails: the first two are complete, the third and the
// last two keep what they held, and nothing follows.
TEST_F(FolderRunTest, AFailureInTheThirdOfFiveFilesStopsTheRun) {
    struct Case {
        const char* what;
        bool third_vanishes;  // removed after the listing: its open for reading fails
    };
    const Case cases[] = {
        {"malformed third file", false},
        {"third file vanished after the listing", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder temp;
        const std::string source = temp.MakeFolder("src");
        const std::string destination = temp.MakeFolder("dst");
        for (const char* name : {"ATp.csv", "BTp.csv", "DTp.csv", "ETp.csv"}) {
            temp.Write(std::string("src/") + name, std::string(1, name[0]) + ",1\r\n" + name[0] + ",2\r\n");
        }
        temp.Write("src/CTp.csv", "C,1\r\nC,2\r\nC,3,0\r\nC,4\r\n");
        temp.Write("dst/CTp.csv", "old C");
        temp.Write("dst/DTp.csv", "old D");
        files_->SetPath(source);
        if (c.third_vanishes) std::filesystem::remove(temp.Native("src/CTp.csv"));

        // The names as listed before the file vanished.
        test::NamesList listed = test::NamesList::Of(*files_);
        test::RecordingSink sink;

        EXPECT_EQ(ConvertFolder(source, destination, listed, *fs_, sink), RunEnd::Failed);

        ASSERT_EQ(sink.messages.size(), 1u);
        const std::vector<std::string> lines = SplitCrLf(sink.messages[0].text);
        ASSERT_EQ(lines.size(), 6u);
        EXPECT_EQ(lines[2], "変換元ファイル：" + source + Separator() + "CTp.csv");
        EXPECT_EQ(lines[3], "変換先ファイル：" + destination + Separator() + "CTp.csv");
        EXPECT_EQ(temp.Read("dst/ATp.csv"), "A, 1,0\r\nA, 2,0\r\n");
        EXPECT_EQ(temp.Read("dst/BTp.csv"), "B, 1,0\r\nB, 2,0\r\n");
        EXPECT_EQ(temp.Read("dst/CTp.csv"), "old C");
        EXPECT_EQ(temp.Read("dst/DTp.csv"), "old D");
        EXPECT_EQ(temp.List("dst"), (std::vector<std::string>{"ATp.csv", "BTp.csv", "CTp.csv", "DTp.csv"}));
    }
}

// The same folder reached through another text: the destination file is the
// source file itself, which must be refused before anything is emptied.
TEST_F(FolderRunTest, NeverEmptiesASourceFileReachedThroughAnotherText) {
    temp_.Write("src/ATp.csv", kLegacy);
    temp_.Write("src/BTp.csv", "X,1\r\n");
    std::vector<std::pair<std::string, std::string>> cases = {
        {"trailing separator", source_ + Separator()},
        {"dot folder", source_ + Separator() + "."},
    };
#ifdef _WIN32
    std::string upper = source_;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    cases.push_back({"letter case", upper});
    std::string slashes = source_;
    for (char& c : slashes) c = c == '\\' ? '/' : c;
    cases.push_back({"forward slashes", slashes});
#else
    std::filesystem::create_directory_symlink(temp_.Native("src"), temp_.Native("link"));
    cases.push_back({"symbolic link to the folder", temp_.PathOf("link")});
#endif
    const Failure same = test::OsFailure(FailureCode::SameAsSource);
    for (const auto& [what, destination] : cases) {
        SCOPED_TRACE(what);
        sink_.messages.clear();

        EXPECT_EQ(Run(source_, destination), RunEnd::Failed);

        const std::string expected_destination =
            destination + (destination.back() == fs_->Separator() ? "" : Separator()) + "ATp.csv";
        ExpectMessage(OnlyMessage(), ConversionFailedMessage(source_ + Separator() + "ATp.csv", expected_destination,
                                                             DescribeFailure(same)));
        EXPECT_EQ(temp_.Read("src/ATp.csv"), kLegacy);
        EXPECT_EQ(temp_.Read("src/BTp.csv"), "X,1\r\n");
    }
}

TEST_F(FolderRunTest, NeverEmptiesASourceFileHardLinkedIntoTheDestination) {
    temp_.Write("src/ATp.csv", "X,1\r\n");
    temp_.Write("src/BTp.csv", kLegacy);
    // The destination's ATp.csv is the source's BTp.csv under another name:
    // converting ATp.csv into it would empty BTp.csv before it is read.
    std::filesystem::create_hard_link(temp_.Native("src/BTp.csv"), temp_.Native("dst/ATp.csv"));

    EXPECT_EQ(Run(), RunEnd::Failed);

    const Failure same = test::OsFailure(FailureCode::SameAsSource);
    ExpectMessage(OnlyMessage(),
                  ConversionFailedMessage(source_ + Separator() + "ATp.csv", destination_ + Separator() + "ATp.csv",
                                          DescribeFailure(same)));
    EXPECT_EQ(temp_.Read("src/BTp.csv"), kLegacy);
}

#ifdef _WIN32
// A drive-relative text names one folder for the listing and for the opens:
// "X:" is the drive's root (the run appends '\'), "X:sub" is relative to
// the drive's current folder in both.
TEST_F(FolderRunTest, ADriveRelativeTextListsAndOpensOneFolder) {
    temp_.Write("src/ATp.csv", "X,1\r\n");
    temp_.Write("ZTp.csv", "in the drive's current folder, not its root");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(temp_.Native(""));
    const std::string drive = temp_.Path().substr(0, 2);  // "C:"

    const RunEnd root = Run(drive, destination_);
    const RunEnd relative = Run(drive + "src", destination_);
    std::filesystem::current_path(previous);

    // The drive's root holds no legacy files; its current folder's do not count.
    EXPECT_EQ(root, RunEnd::NoMatchingFiles);
    EXPECT_EQ(relative, RunEnd::Completed);
    EXPECT_EQ(temp_.Read("dst/ATp.csv"), "X, 1,0\r\n");
}
#endif

// The folders swapped on a second run: the converted files are refused as
// legacy input, and every legacy file stays byte for byte.
TEST_F(FolderRunTest, SwappedFoldersKeepEveryLegacyFile) {
    const std::vector<std::string> names = {"ATp.csv", "BTp.csv", "CTp.csv"};
    for (const std::string& name : names) temp_.Write("src/" + name, kLegacy);
    ASSERT_EQ(Run(source_, destination_), RunEnd::Completed);
    sink_.messages.clear();

    EXPECT_EQ(Run(destination_, source_), RunEnd::Failed);

    EXPECT_NE(OnlyMessage().text.find("3 つ目の項目"), std::string::npos);
    EXPECT_EQ(temp_.List("src"), names);
    for (const std::string& name : names) EXPECT_EQ(temp_.Read("src/" + name), kLegacy) << name;
}

#ifndef _WIN32
TEST_F(FolderRunTest, NeverEmptiesASourceFileSymlinkedIntoTheDestination) {
    temp_.Write("src/ATp.csv", kLegacy);
    std::filesystem::create_symlink(temp_.Native("src/ATp.csv"), temp_.Native("dst/ATp.csv"));

    EXPECT_EQ(Run(), RunEnd::Failed);

    EXPECT_NE(OnlyMessage().text.find(DescribeFailure(test::OsFailure(FailureCode::SymbolicLink))), std::string::npos);
    EXPECT_EQ(temp_.Read("src/ATp.csv"), kLegacy);
    EXPECT_TRUE(std::filesystem::is_symlink(temp_.Native("dst/ATp.csv")));
}

// A FIFO, a link (to a device, to nowhere) or a folder at a destination
// name: refused at once (an open of the FIFO would wait for a reader for
// ever, a dangling link once made a run spin), nothing replaced.
TEST_F(FolderRunTest, ADestinationThatIsNoRegularFileIsRefusedAtOnce) {
    temp_.Write("src/ATp.csv", kLegacy);
    temp_.Write("src/BTp.csv", kLegacy);
    ASSERT_EQ(mkfifo(temp_.PathOf("dst/ATp.csv").c_str(), 0644), 0);
    TempFolder device_destination;
    std::filesystem::create_symlink("/dev/null", device_destination.Native("ATp.csv"));
    TempFolder dangling_destination;
    std::filesystem::create_symlink("nowhere", dangling_destination.Native("ATp.csv"));
    TempFolder folder_destination;
    folder_destination.MakeFolder("ATp.csv");
    const std::pair<std::string, FailureCode> cases[] = {
        {destination_, FailureCode::NotARegularFile},
        {device_destination.Path(), FailureCode::SymbolicLink},
        {dangling_destination.Path(), FailureCode::SymbolicLink},
        {folder_destination.Path(), FailureCode::NotARegularFile},
    };
    for (const auto& [destination, code] : cases) {
        SCOPED_TRACE(destination);
        sink_.messages.clear();

        EXPECT_EQ(Run(source_, destination), RunEnd::Failed);

        ExpectMessage(OnlyMessage(), ConversionFailedMessage(source_ + "/ATp.csv", destination + "/ATp.csv",
                                                             DescribeFailure(test::OsFailure(code))));
        EXPECT_FALSE(std::filesystem::exists(destination + "/BTp.csv"));
    }
    EXPECT_TRUE(std::filesystem::is_fifo(temp_.Native("dst/ATp.csv")));
}

// A destination that fills up part way through the second file: the first is
// complete, the second keeps its old content, the report says the disk is full.
TEST_F(FolderRunTest, ADiskThatFillsUpMidFileEndsInTheErrorReport) {
    SmallTmpfs small(destination_);
    if (!small.Mount("size=256k")) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    std::string big;
    for (int i = 0; i < 20000; ++i) big += "\"" + kStation + std::to_string(i) + "\"," + std::to_string(i) + "\r\n";
    temp_.Write("src/ATp.csv", "X,1\r\n");
    temp_.Write("src/BTp.csv", big);
    temp_.Write("src/CTp.csv", "X,1\r\n");
    temp_.Write("dst/BTp.csv", "old B");

    EXPECT_EQ(Run(), RunEnd::Failed);

    const std::vector<std::string> lines = SplitCrLf(OnlyMessage().text);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "変換先ファイル：" + destination_ + "/BTp.csv");
    EXPECT_EQ(lines[5], "エラー内容：" + DescribeFailure(test::OsFailure(FailureCode::DiskFull)));
    EXPECT_EQ(temp_.Read("dst/ATp.csv"), "X, 1,0\r\n");
    EXPECT_EQ(temp_.Read("dst/BTp.csv"), "old B");
    EXPECT_EQ(temp_.List("dst"), (std::vector<std::string>{"ATp.csv", "BTp.csv"}));
}
#endif

}  // namespace
}  // namespace talvoren
