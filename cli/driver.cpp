// The driver's arguments, its message sink and its exit statuses.
#include "cli/driver.h"

#include <optional>

#include "cli/progress_line.h"
#include "cli/terminal_text.h"
#include "core/run/conversion_run.h"
#include "platform/files/host_files.h"
#include "talvoren_version.h"

namespace talvoren {
namespace {

const char kUsage[] =
    "使い方: talvoren-convert [--] 変換元フォルダー 変換先フォルダー\n"
    "        talvoren-convert --check [--] 変換元フォルダー [変換先フォルダー]\n"
    "\n"
    "変換元フォルダーの *Tp.csv をすべて Ver4 用の放送データに変換し、\n"
    "同じ名前で変換先フォルダーに書き込みます（同じ名前のファイルは上書きされます）。\n"
    "各ファイルは一時ファイルに変換し、完成してディスクに書き込んでから元の名前に置き換えます。\n"
    "失敗や中断（Ctrl+C など）、停電のときも、そのファイルは変換前か変換後の内容のまま残ります。\n"
    "\n"
    "--check を付けると何も書き込まずに変換元のファイルをすべて読み、変換できないファイルを\n"
    "1 行に 1 つ「パス:行: 内容」の形で挙げ、最後に確認したファイルの数を表示します。\n"
    "変換先フォルダーも指定すると、置き換えられない変換先（読み取り専用のファイル、\n"
    "変換元と同じフォルダーなど）も挙げます。\n"
    "  例: talvoren-convert --check old\n"
    "      old/AB03Tp.csv:12: 数値が 16 ビット整数の範囲（-32768～32767）を超えています（「40000」）\n"
    "      5 個のファイルを確認しました。1 個のファイルは変換できません。\n"
    "\n"
    "  --check    変換せずに、変換できるかどうかを確認します\n"
    "  --help     この説明を表示して終了します\n"
    "  --version  バージョンを表示して終了します\n"
    "\n"
    "終了ステータス: 0 完了（--check: すべて変換できる）、1 変換または変換元フォルダーの\n"
    "読み取りに失敗（--check: 変換できないファイルがある）、\n"
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

// Each problem on a line of its own, as compilers report them, so that an
// editor or grep can jump to it: "path:line: cause", or "path: cause".
int Check(const std::string& source, const std::optional<std::string>& destination, const ConsolePrinter& print) {
    PrintingSink sink(print, nullptr);
    const auto files = MakeHostFileList();
    const auto fs = MakeHostFileSystem();
    const ProblemSink problems = [&print](const FolderProblem& problem) {
        const std::string line = problem.line > 0 ? ":" + std::to_string(problem.line) : "";
        print(ConsoleStream::Output, AsTerminalLines(problem.path + line + ": " + problem.cause));
    };
    return ExitStatusOf(RunCheck(source, destination, *files, *fs, sink, problems));
}

int UsageError(const std::string& problem, const ConsolePrinter& print) {
    print(ConsoleStream::Error, AsTerminalLines("talvoren-convert: " + problem) + kUsageHint);
    return kExitUsage;
}

}  // namespace

int RunDriver(const std::vector<std::string>& arguments, const ConsolePrinter& print, bool progress_on_error) {
    std::vector<std::string> folders;
    bool options_ended = false;
    bool check = false;
    for (const std::string& argument : arguments) {
        if (options_ended || argument.size() < 2 || argument[0] != '-') {
            folders.push_back(argument);
        } else if (argument == "--") {
            options_ended = true;
        } else if (argument == "--help" || argument == "-h") {
            print(ConsoleStream::Output, kUsage);
            return kExitCompleted;
        } else if (argument == "--check") {
            check = true;
        } else if (argument == "--version") {
            print(ConsoleStream::Output, "Talvoren " TALVOREN_VERSION_TEXT "\n");
            return kExitCompleted;
        } else {
            return UsageError("不明なオプションです: " + argument, print);
        }
    }
    if (check) {
        if (folders.empty() || folders.size() > 2) {
            return UsageError("--check には変換元フォルダー（と変換先フォルダー）を指定してください", print);
        }
        return Check(folders[0], folders.size() == 2 ? std::optional<std::string>(folders[1]) : std::nullopt, print);
    }
    if (folders.size() != 2) {
        return UsageError("変換元フォルダーと変換先フォルダーの 2 つを指定してください", print);
    }
    return Convert(folders[0], folders[1], print, progress_on_error);
}

}  // namespace talvoren
