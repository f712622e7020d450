// The host's folder listing: which names it shows, in which order, and how
// it fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/run/tape_file_list.h"
#include "core/texts/failure.h"
#include "platform/files/host_files.h"
#include "platform/files/temporary_file_name.h"
#include "tests/support/temp_folder.h"

namespace talvoren {
namespace {

std::vector<std::string> Names(const FileList& list) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.ListCount(); ++i) names.push_back(list.List(i));
    return names;
}

TEST(TapePattern, MatchesTheWholeNameEndingInTpCsvIgnoringCase) {
    const struct {
        const char* name;
        bool matches;
    } cases[] = {
        {"AB01Tp.csv", true},      {"ab01tp.CSV", true},    {"Tp.csv", true},
        {"TP.CSV", true},          {"駅名Tp.csv", true},    {"a b Tp.csv", true},
        {"AB01Tp.csv.bak", false}, {"AB01Tp.csvx", false},  {"AB01Tp_csv", false},
        {"AB01Tpcsv", false},      {"AB01T.csv", false},    {"p.csv", false},
        {"AB01Tp.cs", false},      {"AB01Ｔｐ.csv", false}, {"", false},
        {"AB01TP~1.CSV", false},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchesTapePattern(c.name), c.matches) << c.name;
    // A run's temporary files are never taken for sources.
    EXPECT_FALSE(MatchesTapePattern(NextTemporaryFileName(42)));
}

TEST(TapePattern, SortsIgnoringCaseWithAFixedOrderForCaseTwins) {
    std::vector<std::string> names = {"bTp.csv", "ATp.csv", "aTp.csv", "_Tp.csv", "駅Tp.csv", "cTp.csv", "BTp.csv"};
    SortIgnoringCase(names);
    // Letters compare as lower case, so '_' comes before them.
    const std::vector<std::string> expected = {"_Tp.csv", "ATp.csv", "aTp.csv", "BTp.csv",
                                               "bTp.csv", "cTp.csv", "駅Tp.csv"};
    EXPECT_EQ(names, expected);
}

class FileListTest : public ::testing::Test {
protected:
    TempFolder temp_;
    std::unique_ptr<FileList> list_ = MakeHostFileList();
};

TEST_F(FileListTest, ListsMatchingFilesOnlySortedIgnoringCase) {
    for (const char* name :
         {"cTp.csv", "ATP.CSV", "b01tp.csv", "駅名Tp.csv", "readme.txt", "ATp.csv.bak", ".hiddenTp.csv"}) {
        temp_.Write(name, "x");
    }
    temp_.MakeFolder("folderTp.csv");

    list_->SetPath(temp_.Path());

    const std::vector<std::string> expected = {"ATP.CSV", "b01tp.csv", "cTp.csv", "駅名Tp.csv"};
    EXPECT_EQ(Names(*list_), expected);
}

TEST_F(FileListTest, ATrailingSeparatorListsTheSameFolder) {
    temp_.Write("ATp.csv", "x");
    list_->SetPath(temp_.Path() + std::string(1, MakeHostFileSystem()->Separator()));
    EXPECT_EQ(Names(*list_), std::vector<std::string>{"ATp.csv"});
}

TEST_F(FileListTest, AnEmptyTextOrFolderListsNothing) {
    temp_.Write("ATp.csv", "x");
    list_->SetPath(temp_.Path());
    ASSERT_EQ(list_->ListCount(), 1u);

    list_->SetPath("");
    EXPECT_EQ(list_->ListCount(), 0u);
    list_->SetPath(temp_.MakeFolder("empty"));
    EXPECT_EQ(list_->ListCount(), 0u);
}

TEST_F(FileListTest, AFolderThatCannotBeListedFailsAndLeavesTheListEmpty) {
    temp_.Write("ATp.csv", "x");
    for (const std::string& folder :
         {temp_.PathOf("missing"), temp_.PathOf("ATp.csv"), temp_.PathOf("missing/deeper")}) {
        SCOPED_TRACE(folder);
        list_->SetPath(temp_.Path());
        try {
            list_->SetPath(folder);
            ADD_FAILURE() << "listed";
        } catch (const ConvError& error) {
            EXPECT_EQ(error.failure().code, FailureCode::NotFound);
        }
        EXPECT_EQ(list_->ListCount(), 0u);
    }
}

#ifdef _WIN32
TEST_F(FileListTest, HiddenAndSystemFilesAreLeftOut) {
    const struct {
        const char* name;
        DWORD attributes;
    } files[] = {
        {"hiddenTp.csv", FILE_ATTRIBUTE_HIDDEN},
        {"systemTp.csv", FILE_ATTRIBUTE_SYSTEM},
        {"readonlyTp.csv", FILE_ATTRIBUTE_READONLY},
        {"archiveTp.csv", FILE_ATTRIBUTE_ARCHIVE},
    };
    for (const auto& file : files) {
        temp_.Write(file.name, "x");
        ASSERT_TRUE(SetFileAttributesW(temp_.Native(file.name).c_str(), file.attributes)) << file.name;
    }

    list_->SetPath(temp_.Path());

    EXPECT_EQ(Names(*list_), (std::vector<std::string>{"archiveTp.csv", "readonlyTp.csv"}));
    SetFileAttributesW(temp_.Native("readonlyTp.csv").c_str(), FILE_ATTRIBUTE_NORMAL);
}
#else
TEST_F(FileListTest, OnlyRegularFilesOrLinksToThemAreListed) {
    temp_.Write("target", "x");
    std::filesystem::create_symlink(temp_.Native("target"), temp_.Native("linkTp.csv"));
    std::filesystem::create_symlink(temp_.Native("gone"), temp_.Native("danglingTp.csv"));
    temp_.MakeFolder("folder");
    std::filesystem::create_directory_symlink(temp_.Native("folder"), temp_.Native("folderlinkTp.csv"));

    list_->SetPath(temp_.Path());

    EXPECT_EQ(Names(*list_), std::vector<std::string>{"linkTp.csv"});
}
#endif

}  // namespace
}  // namespace talvoren
