// Every I/O operation of a folder run made to fail in turn, in the first, a
// middle and the last file, through a file system double that wraps the
// host's: the run ends in the error report naming that pair, earlier files are
// complete, the failing one and later ones keep what they held, no source
// changes, no file stays open and no temporary file stays behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/convert/conv_tape_file.h"
#include "core/run/folder_run.h"
#include "core/texts/failure.h"
#include "core/texts/failure_description.h"
#include "core/texts/message_texts.h"
#include "platform/files/host_files.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/memory_conversion.h"
#include "tests/support/memory_files.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"
#ifndef _WIN32
#include <cerrno>

#include "platform/files/os_error.h"
#include "tests/support/small_tmpfs.h"
#endif

namespace talvoren {
namespace {

enum class Operation { OpenSource, OpenDestination, Read, Write, FinalFlush, Commit };

const char* NameOf(Operation operation) {
    switch (operation) {
    case Operation::OpenSource:
        return "OpenSource";
    case Operation::OpenDestination:
        return "OpenDestination";
    case Operation::Read:
        return "Read";
    case Operation::Write:
        return "Write";
    case Operation::FinalFlush:
        return "FinalFlush";
    case Operation::Commit:
        return "Commit";
    }
    return "?";
}

Failure Injected(Operation operation) {
    return test::OsFailure(FailureCode::OtherOsError, 1000 + static_cast<int>(operation),
                           std::string("injected ") + NameOf(operation));
}

// The host's file system with `operation` failing on the pair of one file:
// a read fails at the second read, a write at the first, the final flush at
// the write that would complete the destination's `destination_size` bytes.
std::unique_ptr<test::FakeFileSystem> FaultyHost(FileSystem& host, Operation operation, const std::string& source,
                                                 const std::string& destination, std::size_t destination_size) {
    auto fs = std::make_unique<test::FakeFileSystem>(host);
    const test::Raise raise = test::Fails(Injected(operation));
    switch (operation) {
    case Operation::OpenSource:
        fs->FailOn(test::FileOperation::OpenForReading, source, raise);
        break;
    case Operation::OpenDestination:
        fs->FailOn(test::FileOperation::CreateReplacement, destination, raise);
        break;
    case Operation::Read:
        fs->FailOn(test::FileOperation::Read, source, raise, 2);
        break;
    case Operation::Write:
        fs->FailOn(test::FileOperation::Write, destination, raise);
        break;
    case Operation::FinalFlush:
        fs->FailOn(test::FileOperation::Write, destination, raise, destination_size);
        break;
    case Operation::Commit:
        fs->FailOn(test::FileOperation::Commit, destination, raise);
        break;
    }
    return fs;
}

constexpr int kFileCount = 5;

std::string FileName(int index) { return "Line" + std::to_string(index + 1) + "Tp.csv"; }

// A few records; for the failing file, enough for several reads and writes of
// the conversion's buffer, so that a middle read, a first write and a final
// flush are all different.
std::string LegacyFile(int index, bool long_enough_for_three_buffers) {
    const std::size_t size = long_enough_for_three_buffers ? kDefaultTapeBufferSize * 5 / 2 : 200;
    std::string file;
    for (int record = 0; file.size() < size; ++record) {
        file += "\"\x95\x5C\x8E\xA6 " + std::to_string(index) + "-" + std::to_string(record) + ", \x83\x5C\",";
        file += std::to_string(record % 65536 - 32768) + "\r\n";
    }
    return file;
}

std::string Converted(const std::string& legacy) { return test::ConvertInMemory(legacy).output; }

std::string OldContent(int index) { return "left from before the run " + std::to_string(index) + "\r\n"; }

// operation, index of the failing file, whether the destination files existed before the run
using FaultCase = std::tuple<Operation, int, bool>;

class FolderRunFaults : public ::testing::TestWithParam<FaultCase> {
protected:
    FolderRunFaults() : host_(MakeHostFileSystem()), files_(MakeHostFileList()) {
        source_ = temp_.MakeFolder("source");
        destination_ = temp_.MakeFolder("destination");
        for (int i = 0; i < kFileCount; ++i) {
            legacy_.push_back(LegacyFile(i, i == std::get<1>(GetParam())));
            converted_.push_back(Converted(legacy_.back()));
            temp_.Write("source/" + FileName(i), legacy_.back());
        }
    }

    std::string SourceOf(int index) const { return source_ + host_->Separator() + FileName(index); }
    std::string DestinationOf(int index) const { return destination_ + host_->Separator() + FileName(index); }
    std::string Destination(int index) const { return temp_.Read("destination/" + FileName(index)); }
    bool DestinationExists(int index) const { return temp_.Exists("destination/" + FileName(index)); }

    TempFolder temp_;
    std::unique_ptr<FileSystem> host_;
    std::unique_ptr<FileList> files_;
    std::string source_;
    std::string destination_;
    std::vector<std::string> legacy_;
    std::vector<std::string> converted_;
};

TEST_P(FolderRunFaults, EndsInTheReportAndLeavesEveryFileAsItShould) {
    const auto [operation, failing, existed] = GetParam();
    if (existed) {
        for (int i = 0; i < kFileCount; ++i) temp_.Write("destination/" + FileName(i), OldContent(i));
    }
    const auto fs =
        FaultyHost(*host_, operation, SourceOf(failing), DestinationOf(failing), converted_[failing].size());
    test::RecordingSink sink;

    EXPECT_EQ(ConvertFolder(source_, destination_, *files_, *fs, sink), RunEnd::Failed);

    // One message: the error report naming the failing pair and the injected cause.
    ASSERT_EQ(sink.messages.size(), 1u);
    const RunMessage expected =
        ConversionFailedMessage(SourceOf(failing), DestinationOf(failing), DescribeFailure(Injected(operation)));
    EXPECT_EQ(sink.messages[0].text, expected.text);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(sink.messages[0].title, expected.title);

    // Every file opened was closed, never more than the pair in conversion at
    // once, and no file after the failing one was opened at all, but where
    // the failing one had been converted and waited for its name: later ones
    // may have been converted meanwhile, and are thrown away unnamed.
    EXPECT_EQ(fs->opened, fs->closed);
    EXPECT_LE(fs->most_open_at_once, 2);
    for (int i = failing + 1; i < kFileCount && operation != Operation::Commit; ++i) {
        for (const std::string& path : fs->opened_paths) {
            EXPECT_NE(path, SourceOf(i));
            EXPECT_NE(path, DestinationOf(i));
        }
    }

    for (int i = 0; i < kFileCount; ++i) {
        SCOPED_TRACE(FileName(i));
        EXPECT_EQ(temp_.Read("source/" + FileName(i)), legacy_[i]);
        if (i < failing) {
            EXPECT_EQ(Destination(i), converted_[i]);
        } else if (existed) {
            EXPECT_EQ(Destination(i), OldContent(i));
        } else {
            EXPECT_FALSE(DestinationExists(i));
        }
    }
    EXPECT_EQ(temp_.List("destination").size(), existed ? std::size_t{kFileCount} : std::size_t(failing));
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, FolderRunFaults,
                         ::testing::Combine(::testing::Values(Operation::OpenSource, Operation::OpenDestination,
                                                              Operation::Read, Operation::Write, Operation::FinalFlush,
                                                              Operation::Commit),
                                            ::testing::Values(0, kFileCount / 2, kFileCount - 1), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(NameOf(std::get<0>(info.param))) + "InFile" +
                                    std::to_string(std::get<1>(info.param) + 1) +
                                    (std::get<2>(info.param) ? "OverOldFiles" : "IntoEmptyFolder");
                         });

// The double itself: without a fault matching the run's paths, the same run
// completes, so every failure above is the injected one.
TEST(FolderRunFaultsDouble, RunCompletesWhenTheFaultHitsNoFile) {
    TempFolder temp;
    const std::unique_ptr<FileSystem> host = MakeHostFileSystem();
    const std::unique_ptr<FileList> files = MakeHostFileList();
    const std::string source = temp.MakeFolder("source");
    const std::string destination = temp.MakeFolder("destination");
    for (int i = 0; i < kFileCount; ++i) temp.Write("source/" + FileName(i), LegacyFile(i, i == 2));
    const auto fs = FaultyHost(*host, Operation::Read, "no such file", "no such file", 0);
    test::RecordingSink sink;

    EXPECT_EQ(ConvertFolder(source, destination, *files, *fs, sink), RunEnd::Completed);
    EXPECT_EQ(fs->opened, 2 * kFileCount);
    EXPECT_EQ(fs->closed, 2 * kFileCount);
    for (int i = 0; i < kFileCount; ++i) {
        EXPECT_EQ(temp.Read("destination/" + FileName(i)), Converted(LegacyFile(i, i == 2)));
    }
}

// A file long enough for its writes to run behind the conversion on POSIX
// (past its first 256 KiB; Windows writes in the converter's thread), between
// two short ones over their old results: it converts
// to the same bytes as in memory; a disk that fills up behind the conversion
// or a record refused near the end stops the run with the report for that
// file, its old content kept and no temporary file left.
TEST(FolderRunFaultsBehind, ALongFileEndsAsItShouldWhileItsWritesRunBehind) {
    std::string long_legacy;
    while (long_legacy.size() < 2 * 1024 * 1024) long_legacy += LegacyFile(1, true);
    const std::string refused_legacy = long_legacy + "\"late\",99999\r\n";
    const struct {
        const char* name;
        const std::string& legacy;
        const char* tmpfs_size;  // the destination's size, or nullptr: an ordinary folder
        std::optional<std::string> description;
    } cases[] = {
        {"room enough", long_legacy, nullptr, std::nullopt},
        {"refused near the end", refused_legacy, nullptr, test::ConvertInMemory(refused_legacy).description},
#ifndef _WIN32
        {"disk fills up", long_legacy, "size=1m", DescribeFailure(OsError(ENOSPC).failure())},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        const std::string source = temp.MakeFolder("source");
        const std::string destination = temp.MakeFolder("destination");
#ifndef _WIN32
        SmallTmpfs small(destination);
        if (c.tmpfs_size && !small.Mount(c.tmpfs_size)) {
            std::cout << c.name << ": skipped, cannot mount a small tmpfs here\n";
            continue;
        }
#endif
        const std::string legacy[] = {LegacyFile(0, false), c.legacy, LegacyFile(2, false)};
        for (int i = 0; i < 3; ++i) {
            temp.Write("source/" + FileName(i), legacy[i]);
            temp.Write("destination/" + FileName(i), OldContent(i));
        }
        const std::unique_ptr<FileSystem> fs = MakeHostFileSystem();
        const std::unique_ptr<FileList> files = MakeHostFileList();
        test::RecordingSink sink;

        const RunEnd end = ConvertFolder(source, destination, *files, *fs, sink);

        EXPECT_EQ(end, c.description ? RunEnd::Failed : RunEnd::Completed);
        ASSERT_EQ(sink.messages.size(), 1u);
        if (c.description) {
            const std::string separator(1, fs->Separator());
            EXPECT_EQ(sink.messages[0].text,
                      ConversionFailedMessage(source + separator + FileName(1), destination + separator + FileName(1),
                                              *c.description)
                          .text);
        }
        EXPECT_EQ(temp.Read("destination/" + FileName(0)), Converted(legacy[0]));
        for (int i = 1; i < 3; ++i) {
            EXPECT_EQ(temp.Read("destination/" + FileName(i)), c.description ? OldContent(i) : Converted(legacy[i]))
                << FileName(i);
        }
        EXPECT_EQ(temp.List("destination").size(), 3u);
    }
}

}  // namespace
}  // namespace talvoren
