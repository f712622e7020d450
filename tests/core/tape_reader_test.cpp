// The legacy reader, rule by rule. Every case is also converted at every
// buffer seam (tests/support/seams.h), so each record straddles refills.
#include "core/record/tape_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/convert/conv_tape_file.h"
#include "core/record/tape_line.h"
#include "tests/support/memory_conversion.h"
#include "tests/support/memory_files.h"
#include "tests/support/seams.h"

namespace talvoren {
namespace {

std::string Describe(const std::vector<TapeRecord>& records) {
    std::string text;
    for (const TapeRecord& record : records) text += "[" + record.text + "|" + std::to_string(record.number) + "]";
    return text;
}

std::string LinesOf(const std::vector<TapeRecord>& records) {
    std::string lines;
    char end[kTapeLineEndMax];
    for (const TapeRecord& record : records)
        lines += record.text + std::string(end, FormatTapeLineEnd(record.number, end));
    return lines;
}

std::vector<TapeRecord> ReadAll(const std::string& data) {
    test::MemoryInput file(data);
    TapeInput input(file);
    std::vector<TapeRecord> records;
    TapeRecord record;
    while (!input.AtEnd()) {
        ReadTapeRecord(input, record);
        records.push_back(record);
    }
    return records;
}

TEST(TapeReader, AcceptedRecords) {
    const struct {
        const char* rule;
        std::string data;
        std::vector<TapeRecord> records;
    } cases[] = {
        {"empty file", "", {}},
        {"CR LF, LF and CR each end a line", "A,1\r\nB,2\nC,3\rD,4\r\n", {{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}}},
        {"last record without line end", "A,1\r\nB,2", {{"A", 1}, {"B", 2}}},
        {"blank lines anywhere", "\r\n \t\r\nA,1\n\n\r\r  \nB,2\r\n\r\n\t \r\n  ", {{"A", 1}, {"B", 2}}},
        {"only blank lines", " \r\n\t\r\n\n", {}},
        {"blanks before fields", "  \tA, \t5\r\n", {{"A", 5}}},
        {"unquoted text keeps trailing blanks", "A B \t,1", {{"A B \t", 1}}},
        {"quote inside unquoted text", "AB\"C\"D\",1", {{"AB\"C\"D\"", 1}}},
        {"empty unquoted text", ",0\r\n", {{"", 0}}},
        {"quoted text holds a comma", "\"A,B\",3\r\n", {{"A,B", 3}}},
        {"doubled quote", "\"say \"\"hi\"\"\",1\r\n\"\"\"\",2", {{"say \"hi\"", 1}, {"\"", 2}}},
        {"empty quoted text", "\"\",-1", {{"", -1}}},
        {"blanks around a quoted text", "  \" A \" \t, 1", {{" A ", 1}}},
        {"sign and leading zeros",
         "A,+5\r\nB,-0\r\nC,007\r\nD,-00032768\r\nE,0000000000000000000032767",
         {{"A", 5}, {"B", 0}, {"C", 7}, {"D", -32768}, {"E", 32767}}},
        {"blanks around the number", "A,  12 \t\r\n", {{"A", 12}}},
        {"quoted number", "A,\"12\"\r\nB, \" -3 \" \r\nC,\"+7\"", {{"A", 12}, {"B", -3}, {"C", 7}}},
        {"code page 932 passes as bytes, 0x5C second bytes too",
         "\"\x95\x5C\x8E\xA6,\x83\x5C\",1\r\n\x95\x5C \xB1\xB2,2",
         {{"\x95\x5C\x8E\xA6,\x83\x5C", 1}, {"\x95\x5C \xB1\xB2", 2}}},
        {"byte order mark bytes later in the file are text", "A,1\r\n\xEF\xBB\xBF,2", {{"A", 1}, {"\xEF\xBB\xBF", 2}}},
        {"blank before byte order mark bytes", " \xEF\xBB\xBF,2", {{"\xEF\xBB\xBF", 2}}},
        {"first two bytes of a mark only", "\xEF\xBB,2", {{"\xEF\xBB", 2}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(ReadAll(c.data)), Describe(c.records)) << c.rule;
        // After a first line, where the block conversion may take them, the
        // records convert as read.
        const std::string after_first = "Z,0\n" + c.data;
        EXPECT_EQ(test::ConvertInMemory(after_first).output, "Z, 0,0\r\n" + LinesOf(c.records)) << c.rule;
        for (const std::string& data : {c.data, after_first}) EXPECT_EQ(test::DifferenceAtSeams(data), "") << c.rule;
    }
}

TEST(TapeReader, Refusals) {
    const std::string over_limit(kMaxTapeText + 1, 'a');
    const struct {
        std::string data;
        FailureCode code;
        std::uint64_t line;
        std::string field;
    } cases[] = {
        {"ABC\r\n", FailureCode::MissingComma, 1, "ABC"},
        {"A,1\r\nABC ", FailureCode::MissingComma, 2, "ABC "},
        {"\"AB\" \r\n", FailureCode::MissingComma, 1, "AB"},
        {"A,\r\n", FailureCode::EmptyNumber, 1, ""},
        {"A, \t", FailureCode::EmptyNumber, 1, ""},
        {"A,,5", FailureCode::EmptyNumber, 1, ""},
        {"A,\"\"", FailureCode::EmptyNumber, 1, ""},
        {"A,x", FailureCode::BadNumber, 1, "x"},
        {"A,1.5", FailureCode::BadNumber, 1, "1.5"},
        {"A,1:\r\n", FailureCode::BadNumber, 1, "1:"},  // the bytes right after '9' and before '0'
        {"A,12?\r\n", FailureCode::BadNumber, 1, "12?"},
        {"A,1/\r\n", FailureCode::BadNumber, 1, "1/"},
        {"A,1e3\r\n", FailureCode::BadNumber, 1, "1e3"},
        {"A,&H10", FailureCode::BadNumber, 1, "&H10"},
        {"A,+", FailureCode::BadNumber, 1, "+"},
        {"A,- 5", FailureCode::BadNumber, 1, "- 5"},
        {"A,1 2", FailureCode::BadNumber, 1, "1 2"},
        {"A,\x82\x50\x82\x51", FailureCode::BadNumber, 1, "\x82\x50\x82\x51"},  // full-width digits
        {"A,\"1x\"", FailureCode::BadNumber, 1, "1x"},
        {"A,32768", FailureCode::NumberOutOfRange, 1, "32768"},
        {"A,-32769\r\n", FailureCode::NumberOutOfRange, 1, "-32769"},
        {"A,\"40000\"", FailureCode::NumberOutOfRange, 1, "40000"},
        {"A,99999999999999999999", FailureCode::NumberOutOfRange, 1, "99999999999999999999"},
        {"ABC, 12,0\r\n", FailureCode::ThirdField, 1, "12,0"},
        {"\"A,B\",\"3\",0", FailureCode::ThirdField, 1, "3,0"},
        {"\"AB\"C,1", FailureCode::BytesAfterQuote, 1, "C"},
        {"A,\"12\"x", FailureCode::BytesAfterQuote, 1, "x"},
        {"\"AB\r\nC\",1", FailureCode::UnclosedQuote, 1, "AB"},
        {"A,1\r\n\"AB", FailureCode::UnclosedQuote, 2, "AB"},
        {"A,\"12", FailureCode::UnclosedQuote, 1, "12"},
        {"A,\"12\r\n\"", FailureCode::UnclosedQuote, 1, "12"},
        {over_limit + ",1", FailureCode::TextTooLong, 1, std::string(48, 'a') + "\x81\x63"},
        {"\"" + over_limit + "\",1", FailureCode::TextTooLong, 1, std::string(48, 'a') + "\x81\x63"},
        {"\"" + over_limit.substr(1) + "\"\"\",1", FailureCode::TextTooLong, 1, std::string(48, 'a') + "\x81\x63"},
        {"\xEF\xBB\xBF"
         "A,1\r\n",
         FailureCode::Utf8ByteOrderMark, 1, ""},
        {"\xEF\xBB\xBF\r\nA,1\r\n", FailureCode::Utf8ByteOrderMark, 1, ""},
        {"\xEF\xBB\xBF\"A\",1\r\n", FailureCode::Utf8ByteOrderMark, 1, ""},
        // Line counting: CR LF, CR, LF and blank lines, then the faulty line.
        {"A,1\r\n\r\nB,2\rC,3\n\n\r\nX", FailureCode::MissingComma, 7, "X"},
        {"A,1\r\rX", FailureCode::MissingComma, 3, "X"},
        {"A,1\n\rX", FailureCode::MissingComma, 3, "X"},
        {"A,1\r\nBB,2\r\n\nX", FailureCode::MissingComma, 4, "X"},
        // A long field is cut for the message, never inside a double-byte character.
        {std::string(101, 'b'), FailureCode::MissingComma, 1, std::string(48, 'b') + "\x81\x63"},
        {"b" + std::string(60, '\x88'), FailureCode::MissingComma, 1, "b" + std::string(46, '\x88') + "\x81\x63"},
    };
    for (const auto& c : cases) {
        // Also after a good first line: the first record of a file is read apart.
        for (const std::string prefix : {"", "Z,0\r\n"}) {
            if (!prefix.empty() && c.code == FailureCode::Utf8ByteOrderMark) continue;
            const std::string data = prefix + c.data;
            const std::string where = data.substr(0, 40);
            const test::MemoryConversion whole = test::ConvertInMemory(data);
            if (!whole.failure) {
                ADD_FAILURE() << "accepted: " << where;
                continue;
            }
            EXPECT_EQ(whole.failure->code, c.code) << where;
            EXPECT_EQ(whole.failure->line, c.line + (prefix.empty() ? 0 : 1)) << where;
            EXPECT_EQ(whole.failure->field, c.field) << where;
            EXPECT_EQ(test::DifferenceAtSeams(data, whole), "") << where;
        }
    }
}

TEST(TapeReader, EveryNumberIsReadBack) {
    std::string data;
    for (int n = -32768; n <= 32767; ++n) {
        const std::string digits = std::to_string(n < 0 ? -n : n);
        data += "A," + std::string(n < 0 ? "-" : "") + digits + "\r\n";
        data += "B," + std::string(n < 0 ? "-" : "+") + std::string(5 - digits.size(), '0') + digits + " \n";
    }
    const std::vector<TapeRecord> records = ReadAll(data);
    ASSERT_EQ(records.size(), 2u * 65536);
    for (int n = -32768; n <= 32767; ++n) {
        ASSERT_EQ(records[2 * (n + 32768)].number, n);
        ASSERT_EQ(records[2 * (n + 32768) + 1].number, n) << n;
    }
    EXPECT_TRUE(test::ConvertInMemory(data).output == LinesOf(records));
    EXPECT_EQ(test::DifferenceAtSeams(
                  data, std::vector<test::Seam>{{7, 7}, {kDefaultTapeBufferSize, kDefaultTapeBufferSize}}),
              "");
}

TEST(TapeReader, TextOfExactlyTheLimitIsAcceptedWithinItsStorage) {
    const std::string text(kMaxTapeText, '\x82');
    for (const std::string& data : {text + ",1\r\n", "\"" + text + "\",1", "\"" + text.substr(1) + "\"\"\",1"}) {
        test::MemoryInput file(data);
        TapeInput input(file, 4096);
        TapeRecord record;
        ReadTapeRecord(input, record);
        EXPECT_EQ(record.text.size(), kMaxTapeText);
        EXPECT_LE(record.text.capacity(), kMaxTapeText);
    }
}

TEST(TapeReader, ReadingAtTheEndIsAMissingComma) {
    test::MemoryInput file("A,1\r\n\r\n");
    TapeInput input(file);
    TapeRecord record;
    ReadTapeRecord(input, record);
    try {
        ReadTapeRecord(input, record);
        ADD_FAILURE() << "a record was read past the end";
    } catch (const ConvError& error) {
        EXPECT_EQ(error.failure().code, FailureCode::MissingComma);
        EXPECT_EQ(error.failure().line, 3u);
    }
}

TEST(TapeReader, ReusedRecordTakesOnlyTheNewText) {
    test::MemoryInput file("\"a long first text\",1\r\nB,2");
    TapeInput input(file, 5);
    TapeRecord record;
    ReadTapeRecord(input, record);
    ReadTapeRecord(input, record);
    EXPECT_EQ(record.text, "B");
    EXPECT_EQ(record.number, 2);
}

// A record is returned as soon as its line end is read: the LF that may follow
// a CR is looked for only by the next end test, so a read failure after a
// complete record does not cost that record.
TEST(TapeReader, RecordEndingInCrNeedsNoFurtherRead) {
    test::MemoryInput file("A,1\r\nB,2\r\n");
    file.FailAfter(4, test::OsFailure(FailureCode::OtherOsError, 5, "broken"));
    TapeInput input(file, 64);
    ASSERT_FALSE(input.AtEnd());
    TapeRecord record;
    ReadTapeRecord(input, record);
    EXPECT_EQ(record.number, 1);
    EXPECT_THROW(input.AtEnd(), ConvError);
}

}  // namespace
}  // namespace talvoren
