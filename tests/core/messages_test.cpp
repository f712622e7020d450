// The run's messages and the Japanese failure descriptions, written out here
// once (the window tests compare what they show with core's functions), and
// the decoding of the field a description quotes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/texts/code_page_932.h"
#include "core/texts/failure.h"
#include "core/texts/failure_description.h"
#include "core/texts/message_texts.h"
#include "tests/support/memory_files.h"

namespace talvoren {
namespace {

Failure At(FailureCode code, std::uint64_t line, std::string field = {}) {
    return test::ReaderFailure(code, line, std::move(field));
}

TEST(Messages, EveryRunMessageWithItsTitleAndIcon) {
    const struct {
        RunMessage made;
        std::string title, text;
        MessageIcon icon;
    } cases[] = {
        {IdenticalFoldersMessage(), "エラー", "変換元と変換先のフォルダーに同一の場所を指定することは出来ません",
         MessageIcon::Critical},
        {NoMatchingFilesMessage(), "確認", "変換元に指定したフォルダーには該当するファイルがありませんでした。",
         MessageIcon::Information},
        {SourceNotGivenMessage(), "エラー", "変換元が指定されていません！", MessageIcon::Critical},
        {DestinationNotGivenMessage(), "エラー", "変換先が指定されていません！", MessageIcon::Critical},
        {CompletedMessage(), "完了", "変換が完了しました。", MessageIcon::Information},
        {ConversionFailedMessage("C:\\old\\AB01Tp.csv", "D:\\new\\AB01Tp.csv", "原因"), "エラー",
         "変換中に問題が発生しました。\r\n\r\n"
         "変換元ファイル：C:\\old\\AB01Tp.csv\r\n"
         "変換先ファイル：D:\\new\\AB01Tp.csv\r\n\r\n"
         "エラー内容：原因",
         MessageIcon::Critical},
        {SourceUnreadableMessage("C:\\gone", "原因"), "エラー",
         "変換元のフォルダーを読み取れません。\r\n\r\nフォルダー：C:\\gone\r\n\r\nエラー内容：原因",
         MessageIcon::Critical},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.made.title, c.title) << c.text;
        EXPECT_EQ(c.made.text, c.text);
        EXPECT_EQ(c.made.icon, c.icon) << c.text;
    }
}

TEST(Messages, NumberOutOfRangeNamesLineRangeAndField) {
    EXPECT_EQ(DescribeFailure(At(FailureCode::NumberOutOfRange, 12, "40000")),
              "12 行目：数値が 16 ビット整数の範囲（-32768～32767）を超えています（「40000」）");
}

TEST(Messages, EveryCodeHasItsOwnText) {
    const FailureCode reader_codes[] = {
        FailureCode::Utf8ByteOrderMark, FailureCode::MissingComma,     FailureCode::EmptyNumber,
        FailureCode::BadNumber,         FailureCode::NumberOutOfRange, FailureCode::ThirdField,
        FailureCode::BytesAfterQuote,   FailureCode::UnclosedQuote,    FailureCode::TextTooLong,
    };
    const FailureCode file_codes[] = {
        FailureCode::NotFound,  FailureCode::AccessDenied, FailureCode::DiskFull,
        FailureCode::FileInUse, FailureCode::SameAsSource,
    };
    std::set<std::string> texts;
    for (FailureCode code : reader_codes) {
        const std::string text = DescribeFailure(At(code, 7));
        EXPECT_EQ(text.rfind("7 行目：", 0), 0u) << text;
        texts.insert(text);
    }
    for (FailureCode code : file_codes) {
        const std::string text = DescribeFailure(At(code, 0));
        EXPECT_EQ(text.find("行目"), std::string::npos) << text;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(reader_codes) + std::size(file_codes));
    EXPECT_NE(DescribeFailure(At(FailureCode::SameAsSource, 0)).find("変換元のファイルそのもの"), std::string::npos);
    EXPECT_EQ(DescribeFailure(At(FailureCode::NotFound, 0)), "ファイルまたはフォルダーが見つかりません。");
}

TEST(Messages, OtherOsErrorGivesThePlatformTextAndCode) {
    Failure failure = At(FailureCode::OtherOsError, 0);
    failure.os_error = 1392;
    failure.os_text = "ファイルまたはディレクトリが壊れているため、読み取ることができません。";
    EXPECT_EQ(DescribeFailure(failure), failure.os_text + "（エラー コード 1392）");
}

TEST(Messages, FieldIsShownDecodedFromCodePage932) {
    // 表 has 0x5C as its second byte; ｱ is a half-width katakana.
    EXPECT_EQ(DescribeFailure(At(FailureCode::BadNumber, 3, "\x82\x50\x82\x51\xB1\x95\x5C")),
              "3 行目：数値の形式が正しくありません（「１２ｱ表」）");
}

TEST(CodePage932, DecodesToValidUtf8) {
    const struct {
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"ABC\\~", "ABC\\~"},
        {"\x82\xA0\x88\x9F\x81\x40", "あ亜　"},
        {"\x87\x40\xED\x40", "①纊"},  // NEC and IBM extensions
        {"\x81\x63", "…"},
        // No character, or a control character: the byte's value.
        {std::string("\x80\xA0\xFD\xFF\x00\x01\x1B\x7F", 8), R"(\x80\xA0\xFD\xFF\x00\x01\x1B\x7F)"},
        {"\x82", R"(\x82)"},       // lead byte at the end
        {"\x82\x20", R"(\x82 )"},  // lead byte without a trail: the follower is kept
        {"\x85\x40", R"(\x85@)"},  // unassigned pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodePage932ToUtf8(c.bytes), c.utf8) << c.utf8;
    }
}

}  // namespace
}  // namespace talvoren
