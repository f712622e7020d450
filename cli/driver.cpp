// The driver's arguments, its message sink and its exit statuses.
#include "cli/driver.h"

#include "cli/progress_line.h"
#include "cli/terminal_text.h"
#include "core/conversion_run.h"
#include "platform/files/host_files.h"
#include "talvoren_version.h"

namespace talvoren {
namespace {

const char kUsage[] =
    "使い方: talvoren-convert [--] 変換元フォルダー 変換先フォルダー\n"
    "\n"
    "変換元フォルダーの *Tp.csv をすべて Ver4 用の放送データに変換し、\n"
    "同じ名前で変換先フォルダーに書き込みます（同じ名前のファイルは上書きされます）。\n"
    "各ファイルは一時ファイルに変換し、完成してから元の名前に置き換えます。失敗や中断\n"
    "（Ctrl+C など）のときは、そのファイルは変換前の内容のまま残り、一時ファイルは削除されます。\n"
    "\n"
    "  --help     この説明を表示して終了します\n"
    "  --version  バージョンを表示して終了します\n"
    "\n"
    "終了ステータス: 0 完了、1 変換または変換元フォルダーの読み取りに失敗、\n"
    "2 中止（同一のフォルダー、該当ファイルなし、フォルダーの指定なし）、64 使い方の誤り\n";

const char kUsageHint[] = "詳しくは talvoren-convert --help を参照してください。\n";

class PrintingSink : public MessageSink {
public:
    PrintingSink(const ConsolePrinter& print, ProgressLine* progress) : print_(print), progress_(progress) {}
    void Show(const RunMessage& message) override {
        if (progress_ != nullptr) progress_->Erase();
        const ConsoleStream stream =
            message.icon == MessageIcon::Critical ? ConsoleStream::Error : ConsoleStream::Output;
        print_(stream, AsTerminalLines(message.text));
    }

private:
    const ConsolePrinter& print_;
    ProgressLine* progress_;
};

int ExitStatusOf(RunEnd end) {
    switch (end) {
    case RunEnd::Completed:
        return kExitCompleted;
    case RunEnd::Failed:
    case RunEnd::SourceUnreadable:
        return kExitFailed;
    case RunEnd::IdenticalFolders:
    case RunEnd::NoMatchingFiles:
    case RunEnd::SourceNotGiven:
    case RunEnd::DestinationNotGiven:
        return kExitRefused;
    }
    return kExitFailed;
}

int Convert(const std::string& source, const std::string& destination, const ConsolePrinter& print,
            bool progress_on_error) {
    ProgressLine progress({[&print](const std::string& text) { print(ConsoleStream::Error, text); },
                           [] { return TerminalColumns(ConsoleStream::Error); }, SetColumnsToBlankOnInterrupt});
    PrintingSink sink(print, progress_on_error ? &progress : nullptr);
    const auto files = MakeHostFileList();
    const auto fs = MakeHostFileSystem();
    RunProgress& watcher = progress_on_error ? static_cast<RunProgress&>(progress) : NoRunProgress();
    return ExitStatusOf(RunConversion(source, destination, *files, *fs, sink, watcher));
}

int UsageError(const std::string& problem, const ConsolePrinter& print) {
    print(ConsoleStream::Error, AsTerminalLines("talvoren-convert: " + problem) + kUsageHint);
    return kExitUsage;
}

}  // namespace

int RunDriver(const std::vector<std::string>& arguments, const ConsolePrinter& print, bool progress_on_error) {
    std::vector<std::string> folders;
    bool options_ended = false;
    for (const std::string& argument : arguments) {
        if (options_ended || argument.size() < 2 || argument[0] != '-') {
            folders.push_back(argument);
        } else if (argument == "--") {
            options_ended = true;
        } else if (argument == "--help" || argument == "-h") {
            print(ConsoleStream::Output, kUsage);
            return kExitCompleted;
        } else if (argument == "--version") {
            print(ConsoleStream::Output, "Talvoren " TALVOREN_VERSION_TEXT "\n");
            return kExitCompleted;
        } else {
            return UsageError("不明なオプションです: " + argument, print);
        }
    }
    if (folders.size() != 2) {
        return UsageError("変換元フォルダーと変換先フォルダーの 2 つを指定してください", print);
    }
    return Convert(folders[0], folders[1], print, progress_on_error);
}

}  // namespace talvoren
