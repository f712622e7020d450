// The writes behind a long file: bytes arrive whole and in order, only a long
// file gets a second thread, a failure is never lost, and nothing runs once
// the writes are destroyed.
#include "platform/files/overlapped_writes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/texts/failure.h"
#include "tests/support/memory_files.h"

namespace talvoren {
namespace {

constexpr std::size_t kPiece = 32 * 1024;

// A file of `pieces` writes of kPiece bytes each, every byte naming its piece.
struct PieceWriter {
    std::string written;
    std::vector<std::thread::id> threads;  // the thread of every write, in order
    int fail_at = -1;                      // the write (0-based) that fails

    std::function<void(const char*, std::size_t)> Function() {
        return [this](const char* data, std::size_t size) {
            threads.push_back(std::this_thread::get_id());
            if (static_cast<int>(threads.size()) - 1 == fail_at) {
                throw ConvError(test::OsFailure(FailureCode::DiskFull, 28));
            }
            written.append(data, size);
        };
    }
};

std::vector<std::string> Pieces(int count) {
    std::vector<std::string> pieces;
    for (int i = 0; i < count; ++i) pieces.emplace_back(kPiece, static_cast<char>('a' + i % 26));
    return pieces;
}

TEST(OverlappedWrites, OnlyALongFileMovesToASecondThread) {
    for (const int count : {1, 8, 20}) {  // 32 KiB, 256 KiB, 640 KiB
        SCOPED_TRACE(count);
        PieceWriter writer;
        const std::vector<std::string> pieces = Pieces(count);
        std::string expected;
        {
            OverlappedWrites writes(writer.Function());
            for (const std::string& piece : pieces) {
                writes.Write(piece.data(), piece.size());
                expected += piece;
            }
            writes.Finish();
        }
        EXPECT_EQ(writer.written, expected);
        for (std::size_t i = 0; i < writer.threads.size(); ++i) {
            EXPECT_EQ(writer.threads[i] == std::this_thread::get_id(), i < 8) << "write " << i;
        }
    }
}

// A failed write, in the caller's thread or the second one, is thrown by the
// next Write or by Finish, and by every call after it; nothing more is written.
TEST(OverlappedWrites, AFailureIsThrownByEveryLaterCall) {
    for (const int fail_at : {2, 12}) {
        for (const bool then_finish : {false, true}) {
            SCOPED_TRACE(std::to_string(fail_at) + (then_finish ? ", then Finish" : ", then Write"));
            PieceWriter writer;
            writer.fail_at = fail_at;
            const std::vector<std::string> pieces = Pieces(20);
            OverlappedWrites writes(writer.Function());
            int call = 0;
            for (; call <= fail_at; ++call) {
                try {
                    writes.Write(pieces[call].data(), kPiece);
                } catch (const ConvError&) {
                    break;  // thrown at once when written in the caller's thread
                }
            }
            const auto next = [&] {
                if (then_finish) {
                    writes.Finish();
                } else {
                    writes.Write(pieces[call].data(), kPiece);
                }
            };
            for (int repeat = 0; repeat < 2; ++repeat) {
                try {
                    next();
                    ADD_FAILURE() << "the failure was lost";
                } catch (const ConvError& error) {
                    EXPECT_EQ(error.failure().code, FailureCode::DiskFull);
                }
            }
            EXPECT_EQ(writer.threads.size(), static_cast<std::size_t>(fail_at + 1));
            EXPECT_EQ(writer.written.size(), fail_at * kPiece);
        }
    }
}

TEST(OverlappedWrites, DestructionWaitsForTheWriteInProgress) {
    bool done = false;
    {
        OverlappedWrites writes([&](const char*, std::size_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            done = true;
        });
        const std::string long_write(512 * 1024, 'x');
        writes.Write(long_write.data(), long_write.size());
    }
    EXPECT_TRUE(done);
}

}  // namespace
}  // namespace talvoren
