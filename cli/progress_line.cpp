#include "cli/progress_line.h"

#include <algorithm>
#include <cstdio>

namespace talvoren {
namespace {

constexpr auto kShowAfter = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// Terminal columns of UTF-8 text: the line is ASCII and Japanese, and a
// Japanese character takes two columns.
std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            columns += 1;
        } else if (byte >= 0xC0) {
            columns += 2;
        }
    }
    return columns;
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

void ProgressLine::Redraw() {
    const auto now = now_();
    if (now - start_ < kShowAfter) return;
    if (shown_columns_ > 0 && now - drawn_at_ < kRedrawEvery) return;
    drawn_at_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double megabytes = static_cast<double>(bytes_) / 1e6;
    char text[96];
    std::snprintf(text, sizeof text, "変換中 %zu/%zu ファイル  %.1f MB  %.1f MB/s", files_done_, file_count_, megabytes,
                  megabytes / seconds);
    std::string line = std::string("\r") + text;
    const std::size_t columns = Columns(text);
    // A shorter line than the one shown covers what is left of it.
    if (columns < shown_columns_) line.append(shown_columns_ - columns, ' ');
    shown_columns_ = std::max(columns, shown_columns_);
    terminal_.blank_on_interrupt(shown_columns_);
    terminal_.write(line);
}

void ProgressLine::Erase() {
    if (shown_columns_ == 0) return;
    terminal_.write("\r" + std::string(shown_columns_, ' ') + "\r");
    shown_columns_ = 0;
    terminal_.blank_on_interrupt(0);
}

}  // namespace talvoren
