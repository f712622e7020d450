// ChkFile: a directory search that counts only plain files, over a real folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "tests/ui/gui_driver.h"
#include "ui/dat_inst_dig_form.h"

namespace talvoren {
namespace {

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
    CloseHandle(file);
}

TEST(ChkFile, FindsOnlyFilesThatAreNeitherHiddenNorSystemNorFolders) {
    const std::wstring plain = gui::FreshFolder(L"chkfile-plain");
    MakeFile(plain + L"\\AB01Tp.csv");
    const std::wstring skipped = gui::FreshFolder(L"chkfile-skipped");
    MakeFile(skipped + L"\\hiddenTp.csv", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(skipped + L"\\systemTp.csv", FILE_ATTRIBUTE_SYSTEM);
    gui::MakeFolder(skipped + L"\\folderTp.csv");
    const std::wstring empty = gui::FreshFolder(L"chkfile-empty");

    struct Case {
        std::wstring pattern;
        bool found;
    };
    const Case cases[] = {
        {plain + L"\\*Tp.csv", true},         {plain + L"\\AB01Tp.csv", true}, {plain + L"\\ab01tp.CSV", true},
        {plain + L"\\*.txt", false},          {skipped + L"\\*Tp.csv", false}, {skipped + L"\\*", false},
        {skipped + L"\\hiddenTp.csv", false}, {empty + L"\\*", false},         {empty + L"\\missing\\*Tp.csv", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DatInstDigForm::ChkFile(Narrow(c.pattern)), c.found) << Narrow(c.pattern);
    }
}

}  // namespace
}  // namespace talvoren
