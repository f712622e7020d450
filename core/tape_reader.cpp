// The legacy reader. Parsing is byte-level: in code page 932 the second byte
// of a character is never `"`, `,`, a blank, CR or LF, so every byte of a
// text passes through unchanged, a 0x5C second byte included.
//
// Details of the reading rules decided here:
// - Blanks are spaces and tabs only.
// - A CR ends a line at once; an LF right after it (even in the next read)
//   belongs to it, so CR LF, CR and LF each count as one line end.
// - A file starts with a byte order mark only when its very first bytes are
//   EF BB BF; the same bytes later on are text.
// - A number of leading zeros of any length is accepted; "-0" is 0.
// - The field text of a refusal is cut to kShownFieldBytes on a character
//   boundary and marked with an ellipsis, so a 1 MiB text cannot flood the
//   message.
#include "core/tape_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace talvoren {

namespace {

constexpr std::size_t kShownFieldBytes = 48;
constexpr std::string_view kEllipsis = "\x81\x63";  // "…" in code page 932
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kSentinel = '\n';
// The sentinel and room for a sixty-four-byte read that starts at it.
constexpr std::size_t kPadding = 64;
// The longest text that ConvBufferedTapeRecords converts itself; it copies
// texts in blocks of thirty-two bytes.
constexpr std::size_t kBlockTextMax = kTapeBlockRoom - kTapeLineEndMax;
static_assert(kBlockTextMax % 32 == 0, "whole blocks of a text fit the room");

// Three stop bytes, as a table for byte loops, as bytes for scanning sixteen
// bytes at a time and as words for scanning eight at a time.
struct StopSet {
    bool stops[256];
    unsigned char bytes[3];
    std::uint64_t words[3];
};

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

constexpr StopSet MakeStops(char a, char b, char c) {
    StopSet set{};
    const unsigned char bytes[] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                   static_cast<unsigned char>(c)};
    for (int i = 0; i < 3; ++i) {
        set.stops[bytes[i]] = true;
        set.bytes[i] = bytes[i];
        set.words[i] = kEveryByte * bytes[i];
    }
    return set;
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "FindStop takes the first byte of a word as its lowest");

// The first stop byte at or after `p`. The buffer's sentinel guarantees one,
// and its padding keeps the wide reads inside the allocation. With SSE2 (every
// x86-64 build) sixteen bytes are compared at once; texts are mostly shorter,
// so one step usually finds the stop.
#if defined(__SSE2__)
const char* FindStop(const char* p, const StopSet& set) {
    const __m128i a = _mm_set1_epi8(static_cast<char>(set.bytes[0]));
    const __m128i b = _mm_set1_epi8(static_cast<char>(set.bytes[1]));
    const __m128i c = _mm_set1_epi8(static_cast<char>(set.bytes[2]));
    for (;;) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, a), _mm_cmpeq_epi8(chunk, b)), _mm_cmpeq_epi8(chunk, c));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) return p + __builtin_ctz(mask);
        p += 16;
    }
}
#else
const char* FindStop(const char* p, const StopSet& set) {
    for (;;) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t x0 = word ^ set.words[0];
        const std::uint64_t x1 = word ^ set.words[1];
        const std::uint64_t x2 = word ^ set.words[2];
        // The high bit of each byte that is zero in x0, x1 or x2; a borrow can
        // mark bytes after a true match, never before it, so the lowest is exact.
        const std::uint64_t found =
            (((x0 - kEveryByte) & ~x0) | ((x1 - kEveryByte) & ~x1) | ((x2 - kEveryByte) & ~x2)) & kHighBits;
        if (found != 0) return p + __builtin_ctzll(found) / 8;
        p += sizeof word;
    }
}
#endif

// Copies the bytes from `p` up to the first `first`, CR or LF to `out` in
// blocks of thirty-two, so up to 31 bytes past them are overwritten too, and
// returns where it stopped; nullptr when that is more than kBlockTextMax bytes
// on. The buffer's sentinel and padding keep every read inside the allocation.
#if defined(__SSE2__)
inline __attribute__((always_inline)) const char* CopyUntilStop(const char* p, char* out, char first) {
    const __m128i a = _mm_set1_epi8(first);
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const auto hits = [&](__m128i chunk) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, a), _mm_cmpeq_epi8(chunk, cr)), _mm_cmpeq_epi8(chunk, lf))));
    };
    for (std::size_t done = 0; done < kBlockTextMax; done += 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + done));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + done + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done + 16), high);
        const unsigned mask = hits(low) | hits(high) << 16;
        if (mask != 0) return p + done + __builtin_ctz(mask);
    }
    return nullptr;
}

// Bit i set where p[i] is an LF, for the sixty-four bytes at `p`.
std::uint64_t LineFeeds(const char* p) {
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        bits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf))))
                << (16 * i);
    }
    return bits;
}
#else
const char* CopyUntilStop(const char* p, char* out, char first) {
    for (std::size_t done = 0; done < kBlockTextMax; ++done) {
        if (p[done] == first || p[done] == '\r' || p[done] == '\n') return p + done;
        out[done] = p[done];
    }
    return nullptr;
}

std::uint64_t LineFeeds(const char* p) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 64; ++i) bits |= static_cast<std::uint64_t>(p[i] == '\n') << i;
    return bits;
}
#endif

constexpr StopSet kFieldStops = MakeStops(',', '\r', '\n');
constexpr StopSet kQuotedStops = MakeStops('"', '\r', '\n');
constexpr StopSet kLineStops = MakeStops('\r', '\n', '\n');

// "32767" as five big-endian bytes; one more is "32768".
constexpr std::uint64_t kLargestPositive = 0x3332373637u;

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsLineEnd(int c) { return c == '\r' || c == '\n' || c == TapeInput::kEnd; }

bool IsBlank(int c) { return c == ' ' || c == '\t'; }

// Appends to a text, keeping its storage within kMaxTapeText: a string left
// to grow by itself would double a long text's storage past the limit.
void AppendToText(std::string& text, const char* data, std::size_t size) {
    const std::size_t needed = text.size() + size;
    // Up to a quarter of the limit, doubling stays below half of it, and from
    // there the limit itself is at least double: reserve takes it exactly.
    if (needed > text.capacity() && needed > kMaxTapeText / 4) text.reserve(kMaxTapeText);
    text.append(data, size);
}

// The start of a field for a message, never splitting a double-byte character.
std::string Shorten(std::string_view field) {
    if (field.size() <= kShownFieldBytes) return std::string(field);
    std::size_t cut = 0;
    while (true) {
        const std::size_t step = IsLeadByte(static_cast<unsigned char>(field[cut])) ? 2 : 1;
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
        AppendToText(text, "\"", 1);
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

// How many of the eight bytes of `word` are decimal digits before the first
// that is not (8 when all are), the lowest byte first.
std::size_t CountDigits(std::uint64_t word) {
    // The high bit of each byte that is not a digit: below "0" or above "9" in
    // its low seven bits, or with its high bit set. Each byte is computed on
    // its own: with the high bit set first, the subtraction never borrows, and
    // with it cleared, the addition never carries.
    const std::uint64_t below = ~((word | kHighBits) - kEveryByte * '0') & kHighBits;
    const std::uint64_t above = ((word & ~kHighBits) + kEveryByte * (0x80 - '9' - 1)) & kHighBits;
    const std::uint64_t others = below | above | (word & kHighBits);
    return others == 0 ? 8 : static_cast<std::size_t>(__builtin_ctzll(others) / 8);
}

// The decimal digits at `p`, eight bytes at a time: their count (8 when
// there may be more) and, up to that count, their value. The buffer's
// padding keeps the read inside the allocation.
std::size_t ReadDigits(const char* p, std::uint32_t& value) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::size_t count = CountDigits(word);
    if (count == 0 || count == 8) {
        value = 0;
        return count;
    }
    // The digits moved to the top, zeros before them, then combined in pairs,
    // fours and eights.
    std::uint64_t v = (word & (kEveryByte * 0x0F)) << (8 * (8 - count));
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFu;
    value = static_cast<std::uint32_t>(v);
    return count;
}

// The usual record, whole in the buffer up to its line end, read with plain
// pointers; `end` is followed by the LF sentinel. Returns where the next line
// starts, or nullptr for anything else (a doubled quote, a quoted number,
// leading zeros, a refusal, a record running past `end`): the full reader then
// takes the record from its start, so both always agree.
const char* ReadRecordInBuffer(const char* p, const char* end, TapeRecordView& record) {
    while (IsBlank(*p)) ++p;
    const char* text = p;
    if (*p == '"') {
        text = ++p;
        p = FindStop(p, kQuotedStops);
        if (*p != '"') return nullptr;
        record.text = std::string_view(text, static_cast<std::size_t>(p - text));
        ++p;
        while (IsBlank(*p)) ++p;
    } else {
        p = FindStop(p, kFieldStops);
        record.text = std::string_view(text, static_cast<std::size_t>(p - text));
    }
    if (*p != ',' || record.text.size() > kMaxTapeText) return nullptr;
    ++p;
    while (IsBlank(*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    std::uint32_t magnitude;
    const std::size_t digits = ReadDigits(p, magnitude);
    if (digits == 0 || digits > 5 || magnitude > (negative ? 32768u : 32767u)) return nullptr;
    p += digits;
    while (IsBlank(*p)) ++p;
    // At `end` the file may go on, or end without a line end: the full reader knows.
    if (p == end || (*p != '\r' && *p != '\n')) return nullptr;
    if (*p++ == '\r' && p != end && *p == '\n') ++p;
    record.number = static_cast<std::int16_t>(negative ? -static_cast<int>(magnitude) : static_cast<int>(magnitude));
    return p;
}

}  // namespace

TapeInput::TapeInput(InputFile& file, std::size_t buffer_size)
    : file_(file),
      capacity_(std::min(kFirstTapeBufferSize, std::max<std::size_t>(buffer_size, 1))),
      largest_(std::max<std::size_t>(buffer_size, 1)),
      buffer_(new char[capacity_ + kPadding]),
      next_(buffer_.get()),
      end_(buffer_.get()) {
    std::memset(buffer_.get(), 0, kPadding);
    buffer_[0] = kSentinel;
}

bool TapeInput::Refill() {
    if (at_file_end_) return false;
    const std::size_t last_count = static_cast<std::size_t>(end_ - buffer_.get());
    consumed_ += last_count;
    if (last_count == capacity_ && capacity_ < largest_) {
        capacity_ = std::min(largest_, capacity_ * kTapeBufferGrowth);
        buffer_.reset(new char[capacity_ + kPadding]);
    }
    const std::size_t count = file_.Read(buffer_.get(), capacity_);
    next_ = buffer_.get();
    end_ = next_ + count;
    // The sentinel, then zeros: a word read that starts before the sentinel
    // sees only bytes that were written.
    std::memset(buffer_.get() + count, 0, kPadding);
    buffer_[count] = kSentinel;
    at_file_end_ = count == 0;
    return count != 0;
}

void TapeInput::SkipBlanks() {
    while (IsBlank(Peek())) Skip();
}

bool TapeInput::TakeLineEnd() {
    const int c = Peek();
    if (c != '\r' && c != '\n') return false;
    Skip();
    ++line_;
    after_cr_ = c == '\r';
    return true;
}

bool TapeInput::SkipBlankLines() {
    for (;;) {
        if (after_cr_) {
            after_cr_ = false;
            if (Peek() == '\n') Skip();
        }
        SkipBlanks();
        if (Peek() == kEnd) return true;
        if (!TakeLineEnd()) return false;
    }
}

int TapeInput::TakeUntil(const bool* stops, std::string& out, std::size_t limit) {
    for (;;) {
        if (next_ == end_ && !Refill()) return kEnd;
        const char* stop = next_;
        while (!stops[static_cast<unsigned char>(*stop)]) ++stop;
        const std::size_t count = static_cast<std::size_t>(stop - next_);
        const std::size_t room = limit - std::min(limit, out.size());
        if (count > room) {
            AppendToText(out, next_, room);
            next_ += room;
            return kOverLimit;
        }
        AppendToText(out, next_, count);
        next_ = stop;
        if (stop != end_) return static_cast<unsigned char>(*stop);
    }
}

TapeRecordView ReadTapeRecordView(TapeInput& input, std::string& storage) {
    // Called at the end of the file, the record has no comma after its (empty) text.
    if (input.AtEnd()) Refuse(input, FailureCode::MissingComma);
    TapeRecordView record;
    // The first record may start with a byte order mark; only the full reader looks.
    if (input.offset() != 0) {
        if (const char* next = ReadRecordInBuffer(input.next_, input.end_, record)) {
            input.after_cr_ = next == input.end_ && next[-1] == '\r';
            input.next_ = next;
            ++input.line_;
            return record;
        }
    }
    storage.clear();
    ReadText(input, storage);
    record.text = storage;
    record.number = ReadNumber(input);
    return record;
}

namespace {

// Past the blanks at `p`. Every byte above a space is taken with one test.
inline const char* PastBlanks(const char* p) {
    while (static_cast<unsigned char>(*p) <= ' ' && IsBlank(*p)) ++p;
    return p;
}

// Converts the line from `p` to the LF at `feed` into an upgraded line at
// `out`, with the checks of ReadRecordInBuffer; returns the end of what it
// wrote, or nullptr for a line it leaves to the full reader. Also left: leading
// zeros and "-0", so that the digits of the line are those of the record.
inline __attribute__((always_inline)) char* ConvLine(const char* p, const char* feed, char* out) {
    p = PastBlanks(p);
    // Without a branch: which texts are quoted is unpredictable.
    const bool quoted = *p == '"';
    p += quoted;
    const char delimiter = quoted ? '"' : ',';
    const char* const stop = CopyUntilStop(p, out, delimiter);
    if (stop == nullptr) return nullptr;
    char* const line_end = out + (stop - p);
    const char* q = PastBlanks(stop + quoted);
    if ((*stop != delimiter) | (*q != ',')) return nullptr;
    q = PastBlanks(q + 1);
    const bool negative = *q == '-';
    q += (*q == '-') | (*q == '+');
    // The digits run to the line end, CR LF or LF, and the blanks before it;
    // found from the LF, without waiting for the fields before them.
    const char* number_end = feed - (feed[-1] == '\r');
    while (IsBlank(number_end[-1])) --number_end;
    const std::size_t count = static_cast<std::size_t>(number_end - q);
    if (count - 1 > 4) return nullptr;
    std::uint64_t digits;
    std::memcpy(&digits, q, sizeof digits);
    // Each of the `count` bytes less "0" must be below 10; a carry out of a
    // byte that is not a digit only marks bytes after it.
    const std::uint64_t values = digits ^ (kEveryByte * '0');
    const std::uint64_t not_digits = ((values + kEveryByte * (0x80 - 10)) | values) & kHighBits;
    // Five digits are compared as a big-endian number with "32767" or "32768".
    const bool too_large = (count == 5) & ((__builtin_bswap64(digits) >> 24) > kLargestPositive + negative);
    const bool leading_zero = ((digits & 0xFF) == '0') & ((count > 1) | negative);
    if ((not_digits & (~std::uint64_t{0} >> (64 - 8 * count))) | leading_zero | too_large) return nullptr;
    // ",", the sign slot, the digits (a whole word, the rest overwritten next), ",0" and CR LF.
    line_end[0] = ',';
    line_end[1] = negative ? '-' : ' ';
    std::memcpy(line_end + 2, &digits, sizeof digits);
    std::memcpy(line_end + 2 + count, ",0\r\n", 4);
    return line_end + 6 + count;
}

}  // namespace

char* ConvBufferedTapeRecords(TapeInput& input, char* out, const char* out_end) {
    // The first record may start with a byte order mark; only the full reader looks.
    if (input.offset() == 0) return out;
    const char* line = input.next_;
    // A line's output is at most four bytes longer than the line, which is at
    // least three bytes long: up to three bytes out for each byte in. Lines
    // that start before `stop_at` thus leave room for one more.
    const std::size_t room = static_cast<std::size_t>(out_end - out);
    if (room < kTapeBlockRoom) return out;
    const char* const stop_at = line + std::min<std::size_t>((room - kTapeBlockRoom) / 3, input.end_ - line);
    std::uint64_t lines = 0;
    // The lines are found from their LFs, sixty-four bytes at a time, so that
    // where a line starts never waits for the one before it to be read. The
    // sentinel LF at the end of the data stops the loop at the latest.
    const char* block = line;
    std::uint64_t feeds = LineFeeds(block);
    for (;;) {
        if (feeds == 0) {
            block += 64;
            feeds = LineFeeds(block);
            continue;
        }
        const char* const feed = block + __builtin_ctzll(feeds);
        feeds &= feeds - 1;
        if (feed >= stop_at) break;
        char* const next = ConvLine(line, feed, out);
        if (next == nullptr) break;
        out = next;
        line = feed + 1;
        ++lines;
    }
    if (lines != 0) {
        input.after_cr_ = false;
        input.next_ = line;
        input.line_ += lines;
    }
    return out;
}

void ReadTapeRecord(TapeInput& input, TapeRecord& record) {
    const TapeRecordView view = ReadTapeRecordView(input, record.text);
    if (view.text.data() != record.text.data()) record.text.assign(view.text);
    record.number = view.number;
}

TapeRecord ReadTapeRecord(TapeInput& input) {
    TapeRecord record;
    ReadTapeRecord(input, record);
    return record;
}

}  // namespace talvoren
