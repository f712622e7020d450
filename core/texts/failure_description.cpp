// The message table: every failure's Japanese description, made from its code
// and details in this one place.
#include "core/texts/failure_description.h"

#include "core/texts/code_page_932.h"

namespace talvoren {

namespace {

// What was wrong, then the field text in 「」 when there is one. The field
// holds bytes of the legacy file, in code page 932.
std::string WithField(const Failure& failure, const char* what) {
    std::string text = what;
    if (!failure.field.empty()) text += "（「" + CodePage932ToUtf8(failure.field) + "」）";
    return text;
}

std::string OsFailure(const Failure& failure) {
    const std::string code = "（エラー コード " + std::to_string(failure.os_error) + "）";
    if (failure.os_text.empty()) return "ファイルの操作に失敗しました" + code;
    return failure.os_text + code;
}

}  // namespace

std::string DescribeFailure(const Failure& failure) {
    // "N 行目：" before what the reader refused; other failures have no line.
    const std::string cause = DescribeCause(failure);
    return failure.line > 0 ? std::to_string(failure.line) + " 行目：" + cause : cause;
}

std::string DescribeCause(const Failure& failure) {
    switch (failure.code) {
    case FailureCode::Utf8ByteOrderMark:
        return WithField(failure,
                         "ファイルが UTF-8 のバイト順マーク（BOM）で始まっています。"
                         "シフト JIS（コード ページ 932）のファイルを指定してください");
    case FailureCode::MissingComma:
        return WithField(failure, "テキストの後にカンマ（,）がありません");
    case FailureCode::EmptyNumber:
        return WithField(failure, "数値がありません");
    case FailureCode::BadNumber:
        return WithField(failure, "数値の形式が正しくありません");
    case FailureCode::NumberOutOfRange:
        return WithField(failure, "数値が 16 ビット整数の範囲（-32768～32767）を超えています");
    case FailureCode::ThirdField:
        return WithField(failure, "数値の後に 3 つ目の項目があります。変換済みのファイルではないか確認してください");
    case FailureCode::BytesAfterQuote:
        return WithField(failure, "閉じる引用符（\"）の後に余分な文字があります");
    case FailureCode::UnclosedQuote:
        return WithField(failure, "引用符（\"）が閉じられていません");
    case FailureCode::TextTooLong:
        return WithField(failure, "テキストが長すぎます（1,048,576 バイトを超えています）");
    case FailureCode::NotFound:
        return "ファイルまたはフォルダーが見つかりません。";
    case FailureCode::AccessDenied:
        return "アクセスが拒否されました。";
    case FailureCode::DiskFull:
        return "ディスクの空き領域が不足しています。";
    case FailureCode::FileInUse:
        return "ファイルがほかのプログラムで使用されています。";
    case FailureCode::NameTooLong:
        return "ファイル名またはパスが長すぎます。";
    case FailureCode::LinkLoop:
        return "リンクが多すぎるか、シンボリック リンクがループしています。";
    case FailureCode::IoError:
        return "ディスクの読み書きでエラーが発生しました（入出力エラー）。";
    case FailureCode::FileTooLarge:
        return "ファイルが大きすぎます。";
    case FailureCode::TooManyOpenFiles:
        return "開いているファイルが多すぎます。";
    case FailureCode::DeviceBusy:
        return "デバイスまたはリソースが使用中です。";
    case FailureCode::QuotaExceeded:
        return "ディスク クォータを超えています。";
    case FailureCode::OtherOsError:
        return OsFailure(failure);
    case FailureCode::SameAsSource:
        return "変換先のファイルが変換元のファイルそのものです。変換元のファイルは変更していません。";
    case FailureCode::NotARegularFile:
        return "変換先に同じ名前のフォルダーまたは特殊なファイルがあります。置き換えられません。";
    case FailureCode::SymbolicLink:
        return "変換先に同じ名前のシンボリック リンクがあります。リンクもリンク先も変更していません。";
    case FailureCode::ReadOnlyFile:
        return "変換先のファイルは読み取り専用です。置き換えていません。";
    case FailureCode::WrittenThisRun:
        return "この変換で別の変換元ファイルから書き込んだ変換先ファイルと同じファイルになります。"
               "大文字と小文字だけが違う名前がないか確認してください。書き込み済みのファイルは変更していません。";
    case FailureCode::OutOfMemory:
        return "メモリが不足しています。";
    }
    return OsFailure(failure);
}

}  // namespace talvoren
