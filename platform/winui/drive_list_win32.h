// The drive list: a drop-down COMBOBOX of every drive as "c: [volume label]",
// starting at the current drive.
#pragma once

#include <string>
#include <vector>

#include "platform/winui/control_win32.h"

namespace talvoren::winui {

class DriveListBox : public Control {
public:
    DriveListBox(const ControlRow& row, HWND parent, int id);

    // The selected entry, drive letter and colon first.
    std::string Drive() const;
    // Selects the drive of the first letter of `drive` and raises Change when
    // the selection moved. Throws WindowsError for a drive that is not listed.
    void SetDrive(const std::string& drive);
    // Selects the drive of `path`'s first letter, or no entry when it names no
    // listed drive, without raising Change: the list goes back to agree with
    // a directory list that stayed where it was.
    void ShowDriveOf(const std::string& path);

    void Notify(int code) override;
    void AfterLayout(int dpi) override;

private:
    void Fill(wchar_t selected_letter);
    int Find(wchar_t letter) const;

    std::vector<wchar_t> letters_;  // one per entry, lower case
};

}  // namespace talvoren::winui
