// talvoren-convert's arguments, exit statuses and output streams, over real
// temporary folders.
#include "cli/driver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/texts/failure_description.h"
#include "core/texts/message_texts.h"
#include "platform/files/host_files.h"
#include "tests/support/memory_files.h"
#include "tests/support/temp_folder.h"
#ifdef _WIN32
#include <windows.h>
#endif

namespace talvoren {
namespace {

struct Printed {
    std::string out;
    std::string err;
};

Printed RunAndCapture(const std::vector<std::string>& arguments, int& status) {
    Printed printed;
    status = RunDriver(arguments, [&](ConsoleStream stream, const std::string& text) {
        (stream == ConsoleStream::Output ? printed.out : printed.err) += text;
    });
    return printed;
}

// A run message as the terminal shows it: one line per line.
std::string AsLines(const RunMessage& message) {
    std::string text = message.text;
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
    return text + "\n";
}

// A terminal shows only printable text and line ends.
bool OnlyPrintableAndLineEnds(const std::string& text) {
    for (const char c : text) {
        if ((c != '\n' && static_cast<unsigned char>(c) < 0x20) || c == '\x7f') return false;
    }
    return true;
}

class DriverTest : public ::testing::Test {
protected:
    DriverTest() {
        source_ = temp_.MakeFolder("src");
        destination_ = temp_.MakeFolder("dst");
    }
    std::string Sep() const { return std::string(1, MakeHostFileSystem()->Separator()); }

    TempFolder temp_;
    std::string source_;
    std::string destination_;
};

TEST_F(DriverTest, HelpAndVersionGoToStandardOutput) {
    int status = -1;
    Printed printed = RunAndCapture({"--version"}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(printed.out, "Talvoren 1.00.0018\n");
    EXPECT_EQ(printed.err, "");

    for (const char* help : {"--help", "-h"}) {
        printed = RunAndCapture({source_, help}, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(printed.out.rfind("使い方: talvoren-convert", 0), 0u) << printed.out;
        EXPECT_EQ(printed.err, "");
    }
}

TEST_F(DriverTest, BadUsageExitsWith64AndTouchesNothing) {
    temp_.Write("src/ATp.csv", "X,1\r\n");
    const std::vector<std::vector<std::string>> usages = {
        {},
        {source_},
        {source_, destination_, destination_},
        {"-x", source_, destination_},
        {source_, "--verbose", destination_},
        {"--\x1b[2J", source_, destination_},
        {"--check"},
        {"--check", source_, destination_, destination_},
    };
    for (const auto& arguments : usages) {
        int status = -1;
        const Printed printed = RunAndCapture(arguments, status);
        EXPECT_EQ(status, 64) << arguments.size();
        EXPECT_EQ(printed.out, "");
        EXPECT_EQ(printed.err.rfind("talvoren-convert: ", 0), 0u) << printed.err;
        EXPECT_TRUE(OnlyPrintableAndLineEnds(printed.err)) << printed.err;
    }
    EXPECT_FALSE(temp_.Exists("dst/ATp.csv"));
}

TEST_F(DriverTest, EachEndOfTheRunHasItsStatusAndStream) {
    temp_.Write("src/ATp.csv", "X,1\r\n");
    temp_.MakeFolder("none");
    const std::string sep = Sep();
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        int status;
        RunMessage message;
    } cases[] = {
        {"completed", {source_, destination_}, 0, CompletedMessage()},
        {"options ended by --", {"--", source_, destination_}, 0, CompletedMessage()},
        {"identical texts", {source_, source_}, 2, IdenticalFoldersMessage()},
        {"no matching files", {temp_.PathOf("none"), ""}, 2, NoMatchingFilesMessage()},
        {"empty source text", {"", destination_}, 2, NoMatchingFilesMessage()},
        {"empty destination text", {source_, ""}, 2, DestinationNotGivenMessage()},
        {"same folder under another text",
         {source_, source_ + sep},
         1,
         ConversionFailedMessage(source_ + sep + "ATp.csv", source_ + sep + "ATp.csv",
                                 DescribeFailure(test::OsFailure(FailureCode::SameAsSource)))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int status = -1;
        const Printed printed = RunAndCapture(c.arguments, status);
        EXPECT_EQ(status, c.status);
        const bool critical = c.message.icon == MessageIcon::Critical;
        EXPECT_EQ(critical ? printed.err : printed.out, AsLines(c.message));
        EXPECT_EQ(critical ? printed.out : printed.err, "");
    }
    EXPECT_EQ(temp_.Read("dst/ATp.csv"), "X, 1,0\r\n");
    EXPECT_EQ(temp_.Read("src/ATp.csv"), "X,1\r\n");
}

TEST_F(DriverTest, AConversionFailureIsReportedOnStandardErrorWithStatus1) {
    temp_.MakeFolder("bad");
    temp_.Write("bad/ATp.csv", "X,1\r\nX,1,0\r\n");
    const std::string sep = Sep();
    int status = -1;
    const Printed printed = RunAndCapture({temp_.PathOf("bad"), destination_}, status);

    EXPECT_EQ(status, 1);
    EXPECT_EQ(printed.out, "");
    const std::string expected_start = "変換中に問題が発生しました。\n\n変換元ファイル：" + temp_.PathOf("bad") + sep +
                                       "ATp.csv\n変換先ファイル：" + destination_ + sep +
                                       "ATp.csv\n\nエラー内容：2 行目：";
    EXPECT_EQ(printed.err.rfind(expected_start, 0), 0u) << printed.err;
    EXPECT_EQ(printed.err.back(), '\n');
    EXPECT_FALSE(temp_.Exists("dst/ATp.csv"));
}

// Whatever a name or a field holds, the report shows it without driving the
// terminal or reordering what is read; valid Japanese stays as it is, and
// CR LF between the report's lines stays a line end.
TEST_F(DriverTest, NamesAndFieldsAreShownEscaped) {
    const struct {
        const char* what;
        bool windows_name;  // a name Windows can hold
        std::string name;
        std::string shown_name;
        std::string field;  // of the one record, refused as a number
        std::string shown_field;
    } cases[] = {
        {"ESC sequences, BEL, DEL", false, "\x1b]0;owned\x07\x1b[2J\x7fTp.csv", R"(\x1B]0;owned\x07\x1B[2J\x7FTp.csv)",
         "x", "x"},
        {"a lone 0x9B, CSI to 8-bit terminals", false, "\x9b[2JTp.csv", R"(\x9B[2JTp.csv)", "x", "x"},
        {"bytes of no UTF-8", false, "\xff\xfeTp.csv", R"(\xFF\xFETp.csv)", "x", "x"},
        {"a sequence cut short keeps its follower", false, "\xe3\x81-Tp.csv", R"(\xE3\x81-Tp.csv)", "x", "x"},
        {"C1 as UTF-8", true, "\xc2\x9b[2JTp.csv", R"(\x9B[2JTp.csv)", "x", "x"},
        {"bidirectional override and isolate", true, "\u202Evsc.\u2066ATp.csv", R"(\u202Evsc.\u2066ATp.csv)", "x", "x"},
        {"bidirectional marks", true, "\u200Fvsc.\u200E\u061CBTp.csv", R"(\u200Fvsc.\u200E\u061CBTp.csv)", "x", "x"},
        {"Japanese", true, "東京駅ｱTp.csv", "東京駅ｱTp.csv", "x", "x"},
        {"a control byte in a field", true, "ATp.csv", "ATp.csv", "1\x1b[2J", R"(1\x1B[2J)"},
    };
    const std::string sep = Sep();
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
#ifdef _WIN32
        if (!c.windows_name) continue;
#endif
        const std::string folder = "src" + std::to_string(++index);
        const std::string source = temp_.MakeFolder(folder);
        temp_.Write(folder + "/" + c.name, "X," + c.field + "\r\n");
        int status = -1;
        const Printed printed = RunAndCapture({source, destination_}, status);

        EXPECT_EQ(status, 1);
        const std::string files = "変換元ファイル：" + source + sep + c.shown_name + "\n変換先ファイル：" +
                                  destination_ + sep + c.shown_name + "\n";
        EXPECT_NE(printed.err.find(files), std::string::npos) << printed.err;
        EXPECT_NE(printed.err.find("（「" + c.shown_field + "」）\n"), std::string::npos) << printed.err;
        EXPECT_TRUE(OnlyPrintableAndLineEnds(printed.err)) << printed.err;
    }
}

using test::ReaderFailure;

// The check lists every file a run would fail on, each by its first
// problem and in the listing's order, with its line where a record is at
// fault; then the summary. It writes nothing: the destination and the
// source files stay as they were.
TEST_F(DriverTest, CheckListsEveryFileARunWouldFailOnAndWritesNothing) {
    std::string deep;
    for (int i = 0; i < 500; ++i) deep += "\"駅" + std::to_string(i) + "\"," + std::to_string(i) + "\r\n";
    temp_.Write("src/AGoodTp.csv", "X,1\r\nY,-2\r\n");
    temp_.Write("src/BDeepTp.csv", deep + "Z,40000\r\n" + "W,1,0\r\n");
    temp_.Write("src/CBomTp.csv", "\xEF\xBB\xBFX,1\r\n");
    temp_.Write("src/EConvertedTp.csv", "X, 1,0\r\n");
    temp_.Write("src/FEmptyTp.csv", "");
    temp_.Write("dst/AGoodTp.csv", "protected");
    const std::string sep = Sep();
    // A file that lists but cannot be read: held with no sharing, or one
    // whose reads fail.
#ifdef _WIN32
    temp_.Write("src/DUnreadableTp.csv", "X,1\r\n");
    const HANDLE held = CreateFileW(temp_.Native("src/DUnreadableTp.csv").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string unreadable = DescribeFailure(test::OsFailure(FailureCode::FileInUse));
#else
    std::filesystem::create_symlink("/proc/self/mem", temp_.Native("src/DUnreadableTp.csv"));
    const std::string unreadable = DescribeFailure(test::OsFailure(FailureCode::IoError));
#endif
    std::filesystem::permissions(temp_.Native("dst/AGoodTp.csv"), std::filesystem::perms::owner_read);
    const std::vector<std::string> sources_before = temp_.List("src");

    const std::string reading = source_ + sep + "BDeepTp.csv:501: " +
                                DescribeCause(ReaderFailure(FailureCode::NumberOutOfRange, 501, "40000")) + "\n" +
                                source_ + sep + "CBomTp.csv:1: " +
                                DescribeCause(ReaderFailure(FailureCode::Utf8ByteOrderMark, 1)) + "\n" + source_ +
                                sep + "DUnreadableTp.csv: " + unreadable + "\n" + source_ + sep +
                                "EConvertedTp.csv:1: " + DescribeCause(ReaderFailure(FailureCode::ThirdField, 1, "1,0")) +
                                "\n";
    const std::string read_only = destination_ + sep + "AGoodTp.csv: " +
                                  DescribeFailure(test::OsFailure(FailureCode::ReadOnlyFile)) + "\n";
    const std::string alias = source_ + sep + "AGoodTp.csv: " +
                              DescribeFailure(test::OsFailure(FailureCode::SameAsSource)) + "\n";
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        int status;
        std::string out;
    } cases[] = {
        {"the source alone", {"--check", source_}, 1, reading + AsLines(CheckSummaryMessage(6, 4))},
        {"with a read-only destination", {"--check", source_, destination_}, 1,
         read_only + reading + AsLines(CheckSummaryMessage(6, 5))},
        {"into the source under another text", {source_, source_ + sep, "--check"}, 1,
         alias + reading + AsLines(CheckSummaryMessage(6, 5))},
        {"good files only", {"--check", "--", temp_.MakeFolder("good")}, 0, ""},
    };
    temp_.Write("good/ATp.csv", "X,1\r\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int status = -1;
        const Printed printed = RunAndCapture(c.arguments, status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(printed.out, c.out.empty() ? AsLines(CheckSummaryMessage(1, 0)) : c.out);
        EXPECT_EQ(printed.err, "");
    }
#ifdef _WIN32
    CloseHandle(held);
#endif
    EXPECT_EQ(temp_.List("dst"), std::vector<std::string>{"AGoodTp.csv"});
    EXPECT_EQ(temp_.Read("dst/AGoodTp.csv"), "protected");
    EXPECT_EQ(temp_.List("src"), sources_before);
    EXPECT_EQ(temp_.Read("src/AGoodTp.csv"), "X,1\r\nY,-2\r\n");
}

TEST_F(DriverTest, ASourceFolderThatCannotBeListedIsReportedWithStatus1) {
    const std::string missing = temp_.PathOf("missing");
    int status = -1;
    const Printed printed = RunAndCapture({missing, destination_}, status);

    EXPECT_EQ(status, 1);
    EXPECT_EQ(printed.out, "");
    EXPECT_EQ(printed.err, "変換元のフォルダーを読み取れません。\n\nフォルダー：" + missing + "\n\nエラー内容：" +
                               DescribeFailure(test::OsFailure(FailureCode::NotFound)) + "\n");
}

}  // namespace
}  // namespace talvoren
