// The per-file conversion: whole files, what survives a failure, and the same
// result whatever the buffer and read sizes.
#include "core/convert/conv_tape_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/texts/failure.h"
#include "tests/support/memory_conversion.h"
#include "tests/support/memory_files.h"
#include "tests/support/seams.h"

namespace talvoren {
namespace {

using Outcome = test::MemoryConversion;
using test::ConvertInMemory;

TEST(ConvTapeFile, ConvertsWholeFiles) {
    const struct {
        const char* what;
        std::string legacy;
        std::string upgraded;
    } cases[] = {
        {"empty file", "", ""},
        {"only blank lines", "\r\n  \r\n", ""},
        {"last line with CR LF", "ABC,12\r\nABC,-7\r\n", "ABC, 12,0\r\nABC,-7,0\r\n"},
        {"last record without line end", "ABC,12\r\nABC,-7", "ABC, 12,0\r\nABC,-7,0\r\n"},
        // Text comes out exactly as read: no quotes added, commas and quotes bare.
        {"quoted comma", "\"A,B\",3\r\n", "A,B, 3,0\r\n"},
        {"doubled quotes come out single", "\"say \"\"hi\"\"\",1\r\n", "say \"hi\", 1,0\r\n"},
        {"trailing blanks of a text kept", "\x95\x5C\x8E\xA6  ,5\r\n", "\x95\x5C\x8E\xA6  , 5,0\r\n"},
        {"zero and the range ends", ",0\r\nX,32767\r\nY,-32768\r\n", ", 0,0\r\nX, 32767,0\r\nY,-32768,0\r\n"},
        {"number forms come out from their value", "A,+007\r\nB,\" -0 \"\r\n", "A, 7,0\r\nB, 0,0\r\n"},
        {"Japanese text unchanged", "\"\x95\x5C\x8E\xA6\x83\x65\x83\x58\x83\x67\",5\r\n\xB1\xB2\xB3,-1\r\n",
         "\x95\x5C\x8E\xA6\x83\x65\x83\x58\x83\x67, 5,0\r\n\xB1\xB2\xB3,-1,0\r\n"},
        {"LF and CR line ends", "A,1\nB,2\rC,3", "A, 1,0\r\nB, 2,0\r\nC, 3,0\r\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = ConvertInMemory(c.legacy);
        EXPECT_FALSE(outcome.failure) << c.what;
        EXPECT_EQ(outcome.output, c.upgraded) << c.what;
        EXPECT_EQ(outcome.commits, 0u) << "the caller commits";
        EXPECT_EQ(test::DifferenceAtSeams(c.legacy, outcome), "") << c.what;
    }
}

// Records of every shape, texts longer than the small buffers, and all three
// line ends, so that each kind of token meets a buffer boundary somewhere.
std::string MixedFile() {
    std::string data = "\xEF\xBB,1\r\n";  // two bytes of a byte order mark are text
    const char* const ends[] = {"\r\n", "\n", "\r", "\r\n \t\r\n"};
    for (int i = 0; i < 200; ++i) {
        switch (i % 5) {
        case 0:
            data += "\"\x95\x5C,\"\"" + std::string(i % 23, 'q') + "\"  ,";
            break;
        case 1:
            data += "  plain text " + std::to_string(i) + " ,";
            break;
        case 2:
            data += ",";
            break;
        case 3:
            data += "\"" + std::string(70 + i, '\x82') + "\",";
            break;
        default:
            data += "\xB1\"x\",";
            break;
        }
        data += (i % 3 == 0 ? " -" : " +00") + std::to_string(i * 163 % 32768) + " ";
        data += ends[i % 4];
    }
    return data;
}

TEST(ConvTapeFile, SameResultForEveryBufferAndReadSize) {
    const std::string mixed = MixedFile();
    const std::string inputs[] = {
        mixed,
        mixed + "A,1\r\nB,40000\r\nC,3\r\n",                                  // a refusal after many records
        mixed + "\"unclosed\r\n", "A,1\r\nB,2\r\n" + std::string(3000, 'x'),  // a long field cut short by the end
    };
    for (const std::string& input : inputs) EXPECT_EQ(test::DifferenceAtSeams(input), "") << input.substr(0, 40);
    // The baseline itself: the refusal comes with the lines before it.
    const Outcome refused = ConvertInMemory(inputs[1]);
    ASSERT_TRUE(refused.failure);
    EXPECT_EQ(refused.failure->code, FailureCode::NumberOutOfRange);
    EXPECT_EQ(refused.output, ConvertInMemory(mixed).output + "A, 1,0\r\n");
}

TEST(ConvTapeFile, ReadFailureKeepsTheLinesBeforeIt) {
    const std::string legacy = "A,1\r\nB,2\r\nC,3\r\n";
    const struct {
        std::size_t readable;
        std::string output;
    } cases[] = {
        {0, ""},
        {7, "A, 1,0\r\n"},             // inside the second record
        {10, "A, 1,0\r\nB, 2,0\r\n"},  // right after the second record
    };
    for (const auto& c : cases) {
        for (std::size_t buffer_size : {std::size_t{3}, kDefaultTapeBufferSize}) {
            test::MemoryInput input(legacy);
            input.FailAfter(c.readable, test::OsFailure(FailureCode::OtherOsError, 23, "CRC error"));
            test::MemoryOutput output;
            try {
                ConvTapeFile(input, output, buffer_size);
                ADD_FAILURE() << "no failure after " << c.readable << " bytes";
            } catch (const ConvError& error) {
                EXPECT_EQ(error.failure().code, FailureCode::OtherOsError);
                EXPECT_EQ(error.failure().os_error, 23);
            }
            EXPECT_EQ(output.data(), c.output) << c.readable << " bytes, buffer " << buffer_size;
        }
    }
}

TEST(ConvTapeFile, WriteFailureEndsTheConversionAtOnce) {
    test::MemoryInput input("A,1\r\nB,2\r\nC,3\r\nD,4\r\n");
    test::MemoryOutput output;
    output.FailOnWrite(2, test::OsFailure(FailureCode::DiskFull, 28));
    try {
        ConvTapeFile(input, output, 8);
        ADD_FAILURE() << "the write failure was lost";
    } catch (const ConvError& error) {
        EXPECT_EQ(error.failure().code, FailureCode::DiskFull);
    }
    EXPECT_EQ(output.data(), "A, 1,0\r\n");
    EXPECT_EQ(output.write_calls(), 2u);  // nothing retried
}

TEST(ConvTapeFile, FinalWriteFailureIsReported) {
    test::MemoryInput input("A,1\r\n");
    test::MemoryOutput output;
    output.FailOnWrite(1, test::OsFailure(FailureCode::DiskFull, 28));
    EXPECT_THROW(ConvTapeFile(input, output), ConvError);
}

}  // namespace
}  // namespace talvoren
