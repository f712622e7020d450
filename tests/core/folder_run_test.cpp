// The folder run over small doubles of the file layer, for what a real
// folder cannot show: the order of closes, names that meet in one
// destination, tens of thousands of files. The run over real folders is in
// tests/platform/folder_run_on_disk_test.cpp.
#include "core/run/folder_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/texts/failure.h"
#include "core/texts/failure_description.h"
#include "core/texts/message_texts.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/memory_files.h"
#include "tests/support/names_list.h"
#include "tests/support/recording_sink.h"

namespace talvoren {
namespace {

using test::RecordingSink;

using test::ExpectMessage;
using test::SplitCrLf;

using test::NamesList;

TEST(FolderRunChecks, RefusalsComeInTheirOrderAndOpenNothing) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        std::string source;
        std::string destination;
        RunEnd end;
        RunMessage message;
    };
    const Case cases[] = {
        {"no files, destination empty", {}, "C:\\old", "", RunEnd::NoMatchingFiles, NoMatchingFilesMessage()},
        {"no files, source empty", {}, "", "", RunEnd::NoMatchingFiles, NoMatchingFilesMessage()},
        {"files, source empty", {"ATp.csv"}, "", "D:\\new", RunEnd::SourceNotGiven, SourceNotGivenMessage()},
        {"files, both empty", {"ATp.csv"}, "", "", RunEnd::SourceNotGiven, SourceNotGivenMessage()},
        {"files, destination empty",
         {"ATp.csv"},
         "C:\\old",
         "",
         RunEnd::DestinationNotGiven,
         DestinationNotGivenMessage()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NamesList list(c.names);
        test::FakeFileSystem fs;
        test::RecordingSink sink;

        EXPECT_EQ(ConvertFolder(c.source, c.destination, list, fs, sink), c.end);

        EXPECT_EQ(list.paths_set, std::vector<std::string>{c.source});
        ASSERT_EQ(sink.messages.size(), 1u);
        ExpectMessage(sink.messages[0], c.message);
        EXPECT_TRUE(fs.log.empty());
    }
}

// Only the file system's separator counts as one: a text ending in '/' or in
// a blank still gets a backslash (the file opened is the same).
TEST(FolderRunChecks, OnlyTheSeparatorCountsAsATrailingSeparator) {
    NamesList list({"ATp.csv"});
    test::FakeFileSystem fs;
    test::RecordingSink sink;

    EXPECT_EQ(ConvertFolder("C:\\old/", " ", list, fs, sink), RunEnd::Completed);
    EXPECT_EQ(fs.log[0], "open input C:\\old/\\ATp.csv");
    EXPECT_EQ(fs.log[1], "open output  \\ATp.csv");
}

// Each destination is closed before its source; finished files take their
// names only after a flush, in list order, and the folder is flushed again
// before the message, on the failure path too.
TEST(FolderRunChecks, FlushesBeforeNamingAndClosesTheDestinationFirst) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "B fails" : "completed");
        NamesList list({"ATp.csv", "BTp.csv"});
        test::FakeFileSystem fs;
        fs.contents["C:\\old\\ATp.csv"] = "X,1\r\n";
        if (fails) {
            fs.FailOn(test::FileOperation::Read, "C:\\old\\BTp.csv",
                      test::Fails(test::OsFailure(FailureCode::OtherOsError, 5, "read")), 1);
        }
        test::RecordingSink sink;

        EXPECT_EQ(ConvertFolder("C:\\old", "D:\\new\\", list, fs, sink), fails ? RunEnd::Failed : RunEnd::Completed);

        std::vector<std::string> expected = {
            "open input C:\\old\\ATp.csv",  "open output D:\\new\\ATp.csv", "finish output D:\\new\\ATp.csv",
            "close input C:\\old\\ATp.csv", "open input C:\\old\\BTp.csv",  "open output D:\\new\\BTp.csv",
        };
        if (fails) {
            expected.insert(expected.end(),
                            {"destroy output D:\\new\\BTp.csv", "close input C:\\old\\BTp.csv", "flush D:\\new\\",
                             "commit output D:\\new\\ATp.csv", "destroy output D:\\new\\ATp.csv", "flush D:\\new\\"});
        } else {
            expected.insert(expected.end(),
                            {"finish output D:\\new\\BTp.csv", "close input C:\\old\\BTp.csv", "flush D:\\new\\",
                             "commit output D:\\new\\ATp.csv", "destroy output D:\\new\\ATp.csv",
                             "commit output D:\\new\\BTp.csv", "destroy output D:\\new\\BTp.csv", "flush D:\\new\\"});
        }
        EXPECT_EQ(fs.log, expected);
        EXPECT_EQ(fs.written["D:\\new\\ATp.csv"], "X, 1,0\r\n");
        ASSERT_EQ(sink.messages.size(), 1u);
        if (fails) {
            EXPECT_EQ(SplitCrLf(sink.messages[0].text)[2], "変換元ファイル：C:\\old\\BTp.csv");
            EXPECT_EQ(SplitCrLf(sink.messages[0].text)[3], "変換先ファイル：D:\\new\\BTp.csv");
        }
    }
}

TEST(FolderRunChecks, AFailedCommitOfTheDestinationIsReported) {
    NamesList list({"ATp.csv", "BTp.csv"});
    test::FakeFileSystem fs;
    fs.contents["C:\\old\\ATp.csv"] = "X,1\r\n";
    fs.FailOn(test::FileOperation::Commit, "D:\\new\\ATp.csv", test::Fails(test::OsFailure(FailureCode::DiskFull)));
    RecordingSink sink;

    EXPECT_EQ(ConvertFolder("C:\\old", "D:\\new", list, fs, sink), RunEnd::Failed);

    ASSERT_EQ(sink.messages.size(), 1u);
    const std::vector<std::string> lines = SplitCrLf(sink.messages[0].text);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "変換先ファイル：D:\\new\\ATp.csv");
    EXPECT_EQ(lines[5], "エラー内容：" + DescribeFailure(test::OsFailure(FailureCode::DiskFull)));
    // B, converted meanwhile, is thrown away unnamed.
    EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "commit output D:\\new\\BTp.csv"), 0);
    EXPECT_EQ(fs.log.back(), "flush D:\\new\\");
    EXPECT_TRUE(fs.written.empty());
}

// Refusals that only the run can make, each on the file where it arises with
// everything written before it kept: names that meet in one destination file,
// a destination folder that shows in the source folder, memory running out.
TEST(FolderRunChecks, RefusesWhatWouldLoseAFile) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        bool fold_case;
        bool shared_folders;
        bool out_of_memory;  // reading the failing file
        std::size_t failing;
        FailureCode code;
    };
    // Enough files before the twin that the run's record of what it wrote
    // has sorted most of them away.
    std::vector<std::string> many;
    for (int i = 0; i < 200; ++i) many.push_back("N" + std::to_string(i) + "Tp.csv");
    std::vector<std::string> many_twice = many;
    many.push_back("n7Tp.csv");
    many_twice.push_back("N7Tp.csv");
    const Case cases[] = {
        {"letter case", {"ATp.csv", "aTp.csv", "BTp.csv"}, true, false, false, 1, FailureCode::WrittenThisRun},
        {"letter case after many files", many, true, false, false, 200, FailureCode::WrittenThisRun},
        {"one name twice", {"ATp.csv", "ATp.csv"}, false, false, false, 1, FailureCode::WrittenThisRun},
        {"one name twice after many files", many_twice, false, false, false, 200, FailureCode::WrittenThisRun},
        {"folders shared", {"ATp.csv", "BTp.csv"}, false, true, false, 0, FailureCode::SameAsSource},
        {"out of memory", {"ATp.csv", "BTp.csv"}, false, false, true, 1, FailureCode::OutOfMemory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NamesList list(c.names);
        test::FakeFileSystem fs;
        fs.fold_case = c.fold_case;
        fs.shared_folders = c.shared_folders;
        for (const std::string& name : c.names) fs.contents["C:\\old\\" + name] = name + ",1\r\n";
        RecordingSink sink;
        const std::string failing = c.names[c.failing];
        if (c.out_of_memory) fs.FailOn(test::FileOperation::Read, "C:\\old\\" + failing, test::RunsOutOfMemory(), 1);

        EXPECT_EQ(ConvertFolder("C:\\old", "D:\\new", list, fs, sink), RunEnd::Failed);

        Failure failure;
        failure.code = c.code;
        ASSERT_EQ(sink.messages.size(), 1u);
        ExpectMessage(sink.messages[0],
                      ConversionFailedMessage("C:\\old\\" + failing, "D:\\new\\" + failing, DescribeFailure(failure)));
        EXPECT_EQ(fs.written.size(), c.failing);
        if (c.failing == 1) {
            EXPECT_EQ(fs.written[fs.Key("D:\\new\\ATp.csv")], "ATp.csv, 1,0\r\n");
        }
    }
}

TEST(FolderRunChecks, ConvertsMoreFilesThanASixteenBitCounterHolds) {
    // 32768 files: the first count whose last index no longer fits 16 bits.
    std::vector<std::string> names;
    for (int i = 0; i < 32768; ++i) names.push_back(std::to_string(i) + "Tp.csv");
    NamesList list(names);
    test::FakeFileSystem fs;
    fs.contents["C:\\old\\32767Tp.csv"] = "X,5\r\n";
    test::RecordingSink sink;

    EXPECT_EQ(ConvertFolder("C:\\old", "D:\\new", list, fs, sink), RunEnd::Completed);

    EXPECT_EQ(std::count_if(fs.log.begin(), fs.log.end(),
                            [](const std::string& entry) { return entry.rfind("commit output", 0) == 0; }),
              32768);
    EXPECT_EQ(fs.written["D:\\new\\32767Tp.csv"], "X, 5,0\r\n");
    ASSERT_EQ(sink.messages.size(), 1u);
    ExpectMessage(sink.messages[0], CompletedMessage());
}

}  // namespace
}  // namespace talvoren
