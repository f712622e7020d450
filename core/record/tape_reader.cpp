// The full reader. Parsing is byte-level: in code page 932 the second byte
// of a character is never `"`, `,`, a blank, CR or LF, so every byte of a
// text passes through unchanged, a 0x5C second byte included.
//
// Details of the reading rules decided here:
// - Blanks are spaces and tabs only.
// - CR LF, CR and LF each count as one line end (tape_input.h).
// - A file starts with a byte order mark only when its very first bytes are
//   EF BB BF; the same bytes later on are text.
// - A number of leading zeros of any length is accepted; "-0" is 0.
// - The field text of a refusal is cut to kShownFieldBytes on a character
//   boundary and marked with an ellipsis, so a 1 MiB text cannot flood the
//   message.
#include "core/record/tape_reader.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "core/texts/code_page_932.h"
#include "core/texts/failure.h"

namespace talvoren {

namespace {

constexpr std::size_t kShownFieldBytes = 48;
constexpr std::string_view kEllipsis = "\x81\x63";  // "…" in code page 932
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Stop bytes of TakeUntil, as 256-entry tables.
struct StopSet {
    bool stops[256];
};

constexpr StopSet MakeStops(char a, char b, char c) {
    StopSet set{};
    set.stops[static_cast<unsigned char>(a)] = true;
    set.stops[static_cast<unsigned char>(b)] = true;
    set.stops[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr StopSet kFieldStops = MakeStops(',', '\r', '\n');
constexpr StopSet kQuotedStops = MakeStops('"', '\r', '\n');
constexpr StopSet kLineStops = MakeStops('\r', '\n', '\n');

bool IsLineEnd(int c) { return c == '\r' || c == '\n' || c == TapeInput::kEnd; }

// The start of a field for a message, never splitting a double-byte character.
std::string Shorten(std::string_view field) {
    if (field.size() <= kShownFieldBytes) return std::string(field);
    std::size_t cut = 0;
    while (true) {
        const std::size_t step = IsCodePage932LeadByte(static_cast<unsigned char>(field[cut])) ? 2 : 1;
        if (cut + step > kShownFieldBytes) break;
        cut += step;
    }
    std::string shown(field.substr(0, cut));
    shown.append(kEllipsis);
    return shown;
}

[[noreturn]] void Refuse(const TapeInput& input, FailureCode code, std::string_view field = {}) {
    Failure failure;
    failure.code = code;
    failure.line = input.line();
    failure.field = Shorten(field);
    throw ConvError(std::move(failure));
}

// The first bytes of a number field, kept only for a refusal's message; one
// byte more than is shown, so that Shorten sees when it was cut.
class FieldSample {
public:
    void Add(int c) {
        if (size_ < sizeof bytes_) bytes_[size_++] = static_cast<char>(c);
    }
    std::size_t size() const { return size_; }
    std::string_view Prefix(std::size_t size) const { return {bytes_, size}; }
    std::string_view All() const { return {bytes_, size_}; }

private:
    char bytes_[kShownFieldBytes + 1];
    std::size_t size_ = 0;
};

// `sample` followed by the rest of the field up to a byte of `stops`.
std::string WithRest(TapeInput& input, std::string_view sample, const StopSet& stops) {
    std::string field(sample);
    input.TakeUntil(stops.stops, field, kShownFieldBytes + 1);
    return field;
}

void ReadQuotedText(TapeInput& input, std::string& text) {
    for (;;) {
        const int stop = input.TakeUntil(kQuotedStops.stops, text, kMaxTapeText);
        if (stop == TapeInput::kOverLimit) Refuse(input, FailureCode::TextTooLong, text);
        if (stop != '"') Refuse(input, FailureCode::UnclosedQuote, text);
        input.Skip();
        if (input.Peek() != '"') break;
        // A doubled quote stands for one.
        if (text.size() == kMaxTapeText) Refuse(input, FailureCode::TextTooLong, text);
        if (text.size() == text.capacity()) {
            AppendWithin(text, "\"", 1, kMaxTapeText);
        } else {
            text.push_back('"');  // inline, unlike append: a file may be all doubled quotes
        }
        input.Skip();
    }
    input.SkipBlanks();
    const int c = input.Peek();
    if (c == ',') {
        input.Skip();
        return;
    }
    if (IsLineEnd(c)) Refuse(input, FailureCode::MissingComma, text);
    Refuse(input, FailureCode::BytesAfterQuote, WithRest(input, {}, kFieldStops));
}

// Reads the text field and the comma after it.
void ReadText(TapeInput& input, std::string& text) {
    const bool at_file_start = input.offset() == 0;
    input.SkipBlanks();
    if (input.Peek() == '"') {
        input.Skip();
        ReadQuotedText(input, text);
        return;
    }
    const int stop = input.TakeUntil(kFieldStops.stops, text, kMaxTapeText);
    if (at_file_start && std::string_view(text).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        Refuse(input, FailureCode::Utf8ByteOrderMark);
    }
    if (stop == ',') {
        input.Skip();
        return;
    }
    if (stop == TapeInput::kOverLimit) Refuse(input, FailureCode::TextTooLong, text);
    Refuse(input, FailureCode::MissingComma, text);
}

// Reads the number field and the line end after it (none at the end of the file).
std::int16_t ReadNumber(TapeInput& input) {
    input.SkipBlanks();
    const bool quoted = input.Peek() == '"';
    if (quoted) {
        input.Skip();
        input.SkipBlanks();
    }
    FieldSample sample;
    int c = input.Peek();
    const bool has_sign = c == '+' || c == '-';
    const bool negative = c == '-';
    if (has_sign) {
        sample.Add(c);
        input.Skip();
        c = input.Peek();
    }
    bool has_digits = false;
    std::uint32_t magnitude = 0;
    while (c >= '0' && c <= '9') {
        has_digits = true;
        // Capped just past the range: leading zeros make the digit count unbounded.
        magnitude = std::min<std::uint32_t>(magnitude * 10 + static_cast<std::uint32_t>(c - '0'), 100000);
        sample.Add(c);
        input.Skip();
        c = input.Peek();
    }
    const std::size_t number_size = sample.size();
    while (IsBlank(c)) {
        sample.Add(c);
        input.Skip();
        c = input.Peek();
    }
    if (quoted) {
        if (c != '"') {
            if (IsLineEnd(c)) Refuse(input, FailureCode::UnclosedQuote, sample.Prefix(number_size));
            Refuse(input, FailureCode::BadNumber, WithRest(input, sample.All(), kQuotedStops));
        }
        input.Skip();
        input.SkipBlanks();
        c = input.Peek();
    }
    if (c != ',' && !IsLineEnd(c)) {
        if (quoted) Refuse(input, FailureCode::BytesAfterQuote, WithRest(input, {}, kFieldStops));
        Refuse(input, FailureCode::BadNumber, WithRest(input, sample.All(), kFieldStops));
    }
    if (!has_digits) {
        if (has_sign) Refuse(input, FailureCode::BadNumber, sample.Prefix(number_size));
        Refuse(input, FailureCode::EmptyNumber);
    }
    if (c == ',') {
        std::string field(sample.Prefix(number_size));
        input.Skip();
        field.push_back(',');
        Refuse(input, FailureCode::ThirdField, WithRest(input, field, kLineStops));
    }
    if (magnitude > (negative ? 32768u : 32767u)) {
        Refuse(input, FailureCode::NumberOutOfRange, sample.Prefix(number_size));
    }
    input.TakeLineEnd();
    const std::int32_t value = negative ? -static_cast<std::int32_t>(magnitude) : static_cast<std::int32_t>(magnitude);
    return static_cast<std::int16_t>(value);
}

}  // namespace

void ReadTapeRecord(TapeInput& input, TapeRecord& record) {
    // Called at the end of the file, the record has no comma after its (empty) text.
    if (input.AtEnd()) Refuse(input, FailureCode::MissingComma);
    record.text.clear();
    ReadText(input, record.text);
    record.number = ReadNumber(input);
}

}  // namespace talvoren
