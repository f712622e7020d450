// Test host of the main window whose runs go through a slow file layer: each
// source file waits 50 ms before it opens, so that a folder of a few dozen
// small files holds a run open for seconds. Each run prints the line "run" as
// it starts. With the argument "hold", a run puts no file in place: the first
// it writes stays under its temporary name until the process ends.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/files/host_files.h"
#include "platform/winui/message_loop_win32.h"
#include "tests/support/forwarding_file_system.h"
#include "ui/dat_inst_dig_form.h"

namespace talvoren {
namespace {

class HeldOutput final : public OutputFile {
public:
    explicit HeldOutput(std::unique_ptr<OutputFile> inner) : inner_(std::move(inner)) {}
    void Write(const char* data, std::size_t size) override { inner_->Write(data, size); }
    void WaitForWrites() noexcept override { inner_->WaitForWrites(); }
    void Finish() override { inner_->Finish(); }
    void Commit() override {
        inner_->WaitForWrites();
        Sleep(INFINITE);
    }

private:
    std::unique_ptr<OutputFile> inner_;
};

class SlowFileSystem final : public test::ForwardingFileSystem {
public:
    explicit SlowFileSystem(bool hold) : ForwardingFileSystem(MakeHostFileSystem()), hold_(hold) {}
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
        Sleep(50);
        return ForwardingFileSystem::OpenForReading(path);
    }
    std::unique_ptr<OutputFile> CreateReplacement(const std::string& path, const ExistingFileCheck& check) override {
        std::unique_ptr<OutputFile> output = ForwardingFileSystem::CreateReplacement(path, check);
        if (!hold_) return output;
        return std::make_unique<HeldOutput>(std::move(output));
    }

private:
    const bool hold_;
};

class SlowRunForm final : public DatInstDigForm {
public:
    explicit SlowRunForm(bool hold) : hold_(hold) {}

protected:
    // Called once as each run starts.
    std::unique_ptr<FileSystem> FileLayer() const override {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "run\n", 4, &written, nullptr);
        return std::make_unique<SlowFileSystem>(hold_);
    }

private:
    const bool hold_;
};

}  // namespace
}  // namespace talvoren

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    using namespace talvoren;
    winui::StartRuntime();
    SlowRunForm form(std::wstring(arguments) == L"hold");
    return winui::RunUntilUnloaded(form);
}
