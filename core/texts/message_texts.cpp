// The run's message texts, exactly as the user reads them.
#include "core/texts/message_texts.h"

#include <initializer_list>

namespace talvoren {
namespace {

const char kErrorTitle[] = "エラー";

std::string JoinLines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (&line != lines.begin()) text += "\r\n";
        text += line;
    }
    return text;
}

RunMessage Message(std::string text, MessageIcon icon, const char* title) {
    RunMessage message;
    message.text = std::move(text);
    message.icon = icon;
    message.title = title;
    return message;
}

}  // namespace

RunMessage IdenticalFoldersMessage() {
    return Message("変換元と変換先のフォルダーに同一の場所を指定することは出来ません", MessageIcon::Critical,
                   kErrorTitle);
}

RunMessage NoMatchingFilesMessage() {
    return Message("変換元に指定したフォルダーには該当するファイルがありませんでした。", MessageIcon::Information,
                   "確認");
}

RunMessage SourceNotGivenMessage() {
    return Message("変換元が指定されていません！", MessageIcon::Critical, kErrorTitle);
}

RunMessage DestinationNotGivenMessage() {
    return Message("変換先が指定されていません！", MessageIcon::Critical, kErrorTitle);
}

RunMessage CompletedMessage() { return Message("変換が完了しました。", MessageIcon::Information, "完了"); }

RunMessage ConversionFailedMessage(const std::string& source_file, const std::string& destination_file,
                                   const std::string& description) {
    return Message(JoinLines({"変換中に問題が発生しました。", "", "変換元ファイル：" + source_file,
                              "変換先ファイル：" + destination_file, "", "エラー内容：" + description}),
                   MessageIcon::Critical, kErrorTitle);
}

RunMessage CheckSummaryMessage(std::size_t checked, std::size_t failing) {
    std::string text = std::to_string(checked) + " 個のファイルを確認しました。";
    text += failing == 0 ? "すべて変換できます。" : std::to_string(failing) + " 個のファイルは変換できません。";
    return Message(std::move(text), MessageIcon::Information, "確認");
}

RunMessage SourceUnreadableMessage(const std::string& folder_text, const std::string& description) {
    return Message(JoinLines({"変換元のフォルダーを読み取れません。", "", "フォルダー：" + folder_text, "",
                              "エラー内容：" + description}),
                   MessageIcon::Critical, kErrorTitle);
}

}  // namespace talvoren
