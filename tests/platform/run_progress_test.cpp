// What a folder run tells its progress observer, over real temporary folders:
// the file count once, the bytes of each file, each converted file, and
// nothing for a run that converts nothing.
#include "core/run/run_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/run/folder_run.h"
#include "platform/files/host_files.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_folder.h"

namespace talvoren {
namespace {

// The calls seen, as counts: the bytes read in a file are credited to it when
// it is reported converted.
class RecordingProgress final : public RunProgress {
public:
    void Started(std::size_t file_count) override { started.push_back(file_count); }
    void BytesRead(std::size_t bytes) override { pending_bytes_ += bytes; }
    void FileConverted() override {
        converted_bytes.push_back(pending_bytes_);
        pending_bytes_ = 0;
    }

    std::vector<std::size_t> started;
    std::vector<std::size_t> converted_bytes;

private:
    std::size_t pending_bytes_ = 0;
};

TEST(RunProgress, IsToldTheFileCountOnceAndEachConvertedFileWithItsBytes) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        bool destination_given;
        std::vector<std::size_t> started;
        std::vector<std::size_t> converted_bytes;
    };
    const Case cases[] = {
        {"every file converted",
         {{"ATp.csv", "A,1\r\n"}, {"BTp.csv", ""}, {"CTp.csv", "\"C\",2\r\nD,3\r\n"}},
         true,
         {3},
         {5, 0, 12}},
        {"a failure in the second file",
         {{"ATp.csv", "A,1\r\n"}, {"BTp.csv", "B,x\r\n"}, {"CTp.csv", "C,1\r\n"}},
         true,
         {3},
         {5}},
        {"no matching file", {{"notes.txt", "A,1\r\n"}}, true, {}, {}},
        {"no destination text", {{"ATp.csv", "A,1\r\n"}}, false, {}, {}},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const std::string source = temp.MakeFolder("src");
        const std::string destination = temp.MakeFolder("dst");
        for (const auto& [name, bytes] : c.files) temp.Write("src/" + name, bytes);
        const auto files = MakeHostFileList();
        const auto fs = MakeHostFileSystem();
        test::RecordingSink sink;
        RecordingProgress progress;

        ConvertFolder(source, c.destination_given ? destination : "", *files, *fs, sink, progress);

        EXPECT_EQ(progress.started, c.started) << c.name;
        EXPECT_EQ(progress.converted_bytes, c.converted_bytes) << c.name;
        EXPECT_EQ(sink.messages.size(), 1u) << c.name;
    }
}

}  // namespace
}  // namespace talvoren
