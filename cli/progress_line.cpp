#include "cli/progress_line.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace talvoren {
namespace {

constexpr auto kShowAfter = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// The longest start of `text` (UTF-8) that fills at most `room` terminal
// columns, never cut inside a character; `columns` gets what it fills. The
// line is ASCII and Japanese, and a Japanese character takes two columns.
std::string FittingStart(const std::string& text, std::size_t room, std::size_t& columns) {
    columns = 0;
    std::size_t end = 0;
    while (end < text.size()) {
        const auto lead = static_cast<unsigned char>(text[end]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::size_t width = lead < 0x80 ? 1 : 2;
        if (columns + width > room) break;
        columns += width;
        end += length;
    }
    return text.substr(0, end);
}

}  // namespace

ProgressLine::ProgressLine(ProgressTerminal terminal, Clock now)
    : terminal_(std::move(terminal)), now_(std::move(now)), start_(now_()) {}

void ProgressLine::Started(std::size_t file_count) {
    file_count_ = file_count;
    Redraw();
}

void ProgressLine::BytesRead(std::size_t bytes) {
    bytes_ += bytes;
    Redraw();
}

void ProgressLine::FileConverted() {
    ++files_done_;
    Redraw();
}

std::size_t ProgressLine::Room() const {
    const std::size_t width = terminal_.columns();
    return width == 0 ? std::numeric_limits<std::size_t>::max() : width - 1;
}

void ProgressLine::Redraw() {
    const auto now = now_();
    if (now - start_ < kShowAfter) return;
    if (shown_columns_ > 0 && now - drawn_at_ < kRedrawEvery) return;
    const std::size_t room = Room();
    if (room == 0) return;
    drawn_at_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double megabytes = static_cast<double>(bytes_) / 1e6;
    char text[96];
    std::snprintf(text, sizeof text, "変換中 %zu/%zu ファイル  %.1f MB  %.1f MB/s", files_done_, file_count_, megabytes,
                  megabytes / seconds);
    std::size_t columns = 0;
    std::string line = "\r" + FittingStart(text, room, columns);
    // A shorter line than the one shown covers what is left of it, within
    // the room of a terminal that may have narrowed meanwhile.
    const std::size_t covered = std::min(shown_columns_, room);
    if (columns < covered) line.append(covered - columns, ' ');
    shown_columns_ = std::max(columns, covered);
    terminal_.blank_on_interrupt(shown_columns_);
    terminal_.write(line);
}

void ProgressLine::Erase() {
    if (shown_columns_ == 0) return;
    terminal_.write("\r" + std::string(std::min(shown_columns_, Room()), ' ') + "\r");
    shown_columns_ = 0;
    terminal_.blank_on_interrupt(0);
}

}  // namespace talvoren
