// The driver's progress on a terminal: one line on standard error, shown once
// a run has lasted about a second and rewritten in place at most ten times a
// second (files done of the total, MB converted, MB/s), cut to the terminal's
// width, and erased before the run's closing message, or by the interrupt
// handler, so that the terminal keeps only what comes after it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/run/run_progress.h"

namespace talvoren {

// What the line needs of its terminal.
struct ProgressTerminal {
    // Puts text on the terminal as it is.
    std::function<void(const std::string&)> write;
    // The terminal's width in columns, asked at every rewrite; 0 when unknown.
    std::function<std::size_t()> columns;
    // Told, before the line grows and after it is erased, how many columns
    // at the line's start an interruption must blank.
    std::function<void(std::size_t)> blank_on_interrupt;
};

class ProgressLine final : public RunProgress {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // The run starts now.
    explicit ProgressLine(ProgressTerminal terminal, Clock now = &std::chrono::steady_clock::now);

    void Started(std::size_t file_count) override;
    void BytesRead(std::size_t bytes) override;
    void FileConverted() override;
    // Blanks the line if it was shown and returns to its start.
    void Erase();

private:
    void Redraw();
    // Columns the line may fill: all but the terminal's last, whose writing
    // would wrap to a new row.
    std::size_t Room() const;

    ProgressTerminal terminal_;
    Clock now_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point drawn_at_;
    std::size_t file_count_ = 0;
    std::size_t files_done_ = 0;
    std::uint64_t bytes_ = 0;
    std::size_t shown_columns_ = 0;  // 0 while nothing is shown
};

}  // namespace talvoren
