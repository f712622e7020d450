// Test host of the main window whose runs go through a slow file layer: each
// source file waits 50 ms before it opens, so that a folder of a few dozen
// small files holds a run open for seconds. Each run prints the line "run" as
// it starts.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/files/host_files.h"
#include "platform/winui/message_loop_win32.h"
#include "tests/support/forwarding_file_system.h"
#include "ui/dat_inst_dig_form.h"

namespace talvoren {
namespace {

class SlowFileSystem final : public test::ForwardingFileSystem {
public:
    SlowFileSystem() : ForwardingFileSystem(MakeHostFileSystem()) {}
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        Sleep(50);
        return ForwardingFileSystem::OpenForReading(path);
    }
};

class SlowRunForm final : public DatInstDigForm {
protected:
    // Called once as each run starts.
    std::unique_ptr<FileSystem> FileLayer() const override {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "run\n", 4, &written, nullptr);
        return std::make_unique<SlowFileSystem>();
    }
};

}  // namespace
}  // namespace talvoren

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace talvoren;
    winui::StartRuntime();
    SlowRunForm form;
    return winui::RunUntilUnloaded(form);
}
