// The driver's progress line as a terminal shows it, on a clock the test
// moves: when it appears, how often it is rewritten, what it says, and that
// erasing it leaves the line empty for the message.
#include "cli/progress_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace talvoren {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// One terminal line: text overwrites from the cursor, "\r" returns to the start.
// A Japanese character fills two cells (its UTF-8 bytes go in the first).
class Terminal {
public:
    void Write(const std::string& text) {
        for (std::size_t i = 0; i < text.size();) {
            if (text[i] == '\r') {
                cursor_ = 0;
                ++i;
                continue;
            }
            const auto lead = static_cast<unsigned char>(text[i]);
            const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            Put(text.substr(i, length));
            if (length > 1) Put("");
            i += length;
        }
    }
    // What the line shows, without the blanks at its end.
    std::string Shown() const {
        std::string shown;
        for (const std::string& cell : cells_) shown += cell;
        return shown.substr(0, shown.find_last_not_of(' ') + 1);
    }

private:
    void Put(const std::string& cell) {
        if (cursor_ == cells_.size()) cells_.emplace_back();
        cells_[cursor_++] = cell;
    }
    std::vector<std::string> cells_;
    std::size_t cursor_ = 0;
};

// The line's terminal in a test: what it shows, how often it is written, and
// what an interruption would leave of it.
struct TestTerminal {
    ProgressTerminal Connect() {
        return {[this](const std::string& text) { ++writes, screen.Write(text); },
                [this](std::size_t columns) { to_blank = columns; }};
    }
    // The interrupt handler blanks the columns it was last told of.
    std::string ShownAfterInterrupt() const {
        Terminal after = screen;
        after.Write("\r" + std::string(to_blank, ' ') + "\r");
        return after.Shown();
    }
    Terminal screen;
    int writes = 0;
    std::size_t to_blank = 0;
};

class ProgressLineTest : public ::testing::Test {
protected:
    ProgressLineTest() : line_(terminal_.Connect(), [this] { return now_; }) {}

    void At(int ms) { now_ = Clock::time_point(milliseconds(ms)); }

    Clock::time_point now_{};
    TestTerminal terminal_;
    ProgressLine line_;
};

TEST_F(ProgressLineTest, AppearsAfterASecondWithFilesMegabytesAndRate) {
    enum Event { kStarted, kRead, kConverted };
    struct Step {
        int at_ms;
        Event event;
        const char* shown;
    };
    const Step steps[] = {
        {0, kStarted, ""},
        {400, kRead, ""},
        {450, kConverted, ""},
        {999, kRead, ""},
        {1000, kConverted, "変換中 2/4 ファイル  2.0 MB  2.0 MB/s"},
        {1050, kRead, "変換中 2/4 ファイル  2.0 MB  2.0 MB/s"},
        {1099, kConverted, "変換中 2/4 ファイル  2.0 MB  2.0 MB/s"},
        {1100, kRead, "変換中 3/4 ファイル  4.0 MB  3.6 MB/s"},
        {2000, kConverted, "変換中 4/4 ファイル  4.0 MB  2.0 MB/s"},
    };
    for (const Step& step : steps) {
        At(step.at_ms);
        if (step.event == kStarted) line_.Started(4);
        if (step.event == kRead) line_.BytesRead(1'000'000);
        if (step.event == kConverted) line_.FileConverted();
        EXPECT_EQ(terminal_.screen.Shown(), step.shown) << "at " << step.at_ms << " ms";
        EXPECT_EQ(terminal_.ShownAfterInterrupt(), "") << "at " << step.at_ms << " ms";
    }
}

TEST_F(ProgressLineTest, IsRewrittenAtMostTenTimesASecond) {
    line_.Started(1000);
    for (int ms = 0; ms <= 3000; ms += 5) {
        At(ms);
        line_.BytesRead(100);
    }
    EXPECT_EQ(terminal_.writes, 21) << "from the first second on, one write per 100 ms";
}

TEST_F(ProgressLineTest, ErasingLeavesAnEmptyLineAndNothingWhenNeverShown) {
    struct Case {
        int last_ms;
        int writes;  // the line's own: shown and erased, or none
    };
    for (const Case c : {Case{900, 0}, Case{1500, 2}}) {
        SCOPED_TRACE(testing::Message() << "last call at " << c.last_ms << " ms");
        TestTerminal terminal;
        int now_ms = 0;
        ProgressLine line(terminal.Connect(), [&] { return Clock::time_point(milliseconds(now_ms)); });
        line.Started(2);
        now_ms = c.last_ms;
        line.BytesRead(12'345'678);
        line.Erase();
        terminal.screen.Write("変換が完了しました。");
        EXPECT_EQ(terminal.screen.Shown(), "変換が完了しました。");
        EXPECT_EQ(terminal.ShownAfterInterrupt(), "変換が完了しました。") << "an interruption blanks the message";
        EXPECT_EQ(terminal.writes, c.writes);
    }
}

TEST_F(ProgressLineTest, AShorterLineCoversTheRestOfTheLongerOne) {
    line_.Started(10);
    At(1000);
    line_.BytesRead(99'000'000);  // 99.0 MB/s
    At(10'000);
    line_.FileConverted();  // 9.9 MB/s
    EXPECT_EQ(terminal_.screen.Shown(), "変換中 1/10 ファイル  99.0 MB  9.9 MB/s");
}

}  // namespace
}  // namespace talvoren
