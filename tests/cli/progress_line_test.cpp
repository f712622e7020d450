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

// A terminal's rows: text overwrites from the cursor, "\r" returns to the
// start of the row. A Japanese character fills two cells (its UTF-8 bytes go
// in the first). Given a width, a character that would reach the last column
// starts a new row, as a console does, and leaves the row above stale.
class Terminal {
public:
    explicit Terminal(std::size_t width = 0) : width_(width) {}

    void Write(const std::string& text) {
        for (std::size_t i = 0; i < text.size();) {
            if (text[i] == '\r') {
                cursor_ = 0;
                ++i;
                continue;
            }
            const auto lead = static_cast<unsigned char>(text[i]);
            const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            if (width_ > 0 && cursor_ + (length > 1 ? 2 : 1) >= width_) {
                rows_.emplace_back();
                cursor_ = 0;
            }
            Put(text.substr(i, length));
            if (length > 1) Put("");
            i += length;
        }
    }
    std::size_t Width() const { return width_; }
    // What the terminal shows, its rows without the blanks at their ends.
    std::string Shown() const {
        std::string shown;
        for (const auto& row : rows_) {
            std::string text;
            for (const std::string& cell : row) text += cell;
            shown += (shown.empty() ? "" : "\n") + text.substr(0, text.find_last_not_of(' ') + 1);
        }
        return shown;
    }

private:
    void Put(const std::string& cell) {
        auto& row = rows_.back();
        if (cursor_ == row.size()) row.emplace_back();
        row[cursor_++] = cell;
    }
    std::size_t width_;
    std::vector<std::vector<std::string>> rows_{1};
    std::size_t cursor_ = 0;
};

// The line's terminal in a test: what it shows, how often it is written, and
// what an interruption would leave of it.
struct TestTerminal {
    explicit TestTerminal(std::size_t width = 0) : screen(width) {}
    ProgressTerminal Connect() {
        return {[this](const std::string& text) { ++writes, screen.Write(text); }, [this] { return screen.Width(); },
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

// A line as wide as the terminal would wrap at every rewrite and leave a
// stale row each time: it keeps off the last column, and a Japanese
// character that does not fit is left out whole.
TEST_F(ProgressLineTest, IsCutToTheTerminalWidth) {
    const struct {
        std::size_t width;  // 0: unknown
        const char* shown;
    } cases[] = {
        {0, "変換中 2/4 ファイル  2.0 MB  1.0 MB/s"},
        {38, "変換中 2/4 ファイル  2.0 MB  1.0 MB/s"},
        {37, "変換中 2/4 ファイル  2.0 MB  1.0 MB/"},
        {18, "変換中 2/4 ファイ"},
        {6, "変換"},
        {1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " columns");
        TestTerminal terminal(c.width);
        Clock::time_point now{};
        ProgressLine line(terminal.Connect(), [&] { return now; });
        line.Started(4);
        line.BytesRead(2'000'000);
        line.FileConverted();
        now = Clock::time_point(milliseconds(1000));
        line.FileConverted();
        now = Clock::time_point(milliseconds(2000));
        line.BytesRead(0);
        EXPECT_EQ(terminal.screen.Shown(), c.shown);
        EXPECT_EQ(terminal.ShownAfterInterrupt(), "");
        line.Erase();
        EXPECT_EQ(terminal.screen.Shown(), "");
    }
}

}  // namespace
}  // namespace talvoren
