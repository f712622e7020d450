// Writes deterministic, realistic legacy record files (code page 932) for the
// benchmarks: usage `generate_legacy FOLDER COUNT BYTES_PER_FILE [SEED]`.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Announcement phrases in code page 932. Several hold a double-byte character
// whose second byte is 0x5C (表, 能, 十, 予, 申, 構, ソ), the byte a careless
// reader would take for a backslash; the last ones are half-width kana.
// One phrase a line, its reading beside it:
// clang-format off
const char* const kPhrases[] = {
    "\x8E\x9F\x82\xCD\x81" "A",  // 次は、
    "\x95\x5C\x92\xAC",  // 表町
    "\x82\xC5\x82\xB7\x81" "B",  // です。
    "\x94\x5C\x8C\xA9\x91\xE4",  // 能見台
    "\x8F\x5C\x93\xFA\x92\xAC",  // 十日町
    "\x92\x86\x89\x9B\x89w\x91O",  // 中央駅前
    "\x8Es\x96\xF0\x8F\x8A\x91O",  // 市役所前
    "\x8FI\x93_",  // 終点
    "\x82\xA8\x8D~\x82\xE8\x82\xCC\x95\xFB\x82\xCD",  // お降りの方は
    "\x83{\x83^\x83\x93\x82\xF0\x89\x9F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81" "B",  // ボタンを押してください。
    "\x97\x5C\x96\xF1",  // 予約
    "\x90\x5C\x8D\x9E",  // 申込
    "\x8D\x5C\x93\xE0",  // 構内
    "\x83\x5C\x83t\x83g\x83N\x83\x8A\x81[\x83\x80",  // ソフトクリーム
    "\x90\xAE\x97\x9D\x8C\x94",  // 整理券
    "\x97\xBC\x91\xD6\x8B@",  // 両替機
    "\x89^\x92\xC0",  // 運賃
    "\x89^\x92\xC0\x94\xA0",  // 運賃箱
    "\x82\xA8\x96Y\x82\xEA\x95\xA8",  // お忘れ物
    "\x82\xB2\x92\x8D\x88\xD3\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81" "B",  // ご注意ください。
    "\x96{\x93\xFA\x82\xCD",  // 本日は
    "\x95\x5C\x8E\xA6",  // 表示
    "\x83\x8F\x83\x93\x83}\x83\x93",  // ワンマン
    "\x94\x5C",  // 能
    "No.12 ",  // "No.12" and a blank
    "\x8Cn\x93\x9D",  // 系統
    "\x8Ds\x82\xAB",  // 行き
    "\xC2\xB7\xDE\xCA ",  // ﾂｷﾞﾊ and a blank
    "\xC1\xAD\xB3\xB5\xB3\xB4\xB7\xCF\xB4",  // ﾁｭｳｵｳｴｷﾏｴ
    "\xC3\xDE\xBD",  // ﾃﾞｽ
    "\xBC\xAD\xB3\xC3\xDD",  // ｼｭｳﾃﾝ
    "\xC0\xDE\xB2\xCB\xAE\xB3",  // ﾀﾞｲﾋｮｳ
};
// clang-format on
constexpr unsigned kPhraseCount = sizeof kPhrases / sizeof kPhrases[0];

// splitmix64: the same sequence on every compiler and platform, unlike the
// standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }
    bool Percent(unsigned p) { return Below(100) < p; }

private:
    std::uint64_t state_;
};

std::string MakeText(Random& random) {
    std::string text;
    const unsigned pieces = 1 + random.Below(3);
    for (unsigned i = 0; i < pieces; ++i) text += kPhrases[random.Below(kPhraseCount)];
    return text;
}

// Most numbers are small counts and codes; a third spread over the whole
// 16-bit range, the two extremes included now and then.
int MakeNumber(Random& random) {
    const unsigned kind = random.Below(100);
    if (kind < 2) return kind == 0 ? -32768 : 32767;
    if (kind < 35) return static_cast<int>(random.Below(65536)) - 32768;
    if (kind < 45) return -static_cast<int>(random.Below(1000));
    return static_cast<int>(random.Below(1000));
}

// One record as the old application wrote it: mostly a quoted text, now and
// then a comma or a doubled quote inside the quotes, a bare text, or blanks
// around the number from a hand-edited file.
std::string MakeRecord(Random& random) {
    std::string text = MakeText(random);
    std::string line;
    const unsigned form = random.Below(100);
    if (form < 75) {
        line = '"' + text + '"';
    } else if (form < 85) {
        line = '"' + text + ", " + MakeText(random) + '"';
    } else if (form < 87) {
        line = "\"\"\"" + text + "\"\"\"";
    } else {
        line = text;
    }
    const int number = MakeNumber(random);
    line += random.Percent(3) ? ", " + std::to_string(number) + " " : "," + std::to_string(number);
    return line;
}

bool WriteFile(const std::string& path, std::uint64_t size, bool final_line_end, Random& random) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::string block;
    std::uint64_t written = 0;
    for (;;) {
        std::string record = MakeRecord(random);
        if (written + block.size() + record.size() + 2 > size && (written + block.size()) > 0) break;
        block += record;
        block += "\r\n";
        if (block.size() >= (1u << 20)) {
            if (std::fwrite(block.data(), 1, block.size(), file) != block.size()) {
                std::fclose(file);
                return false;
            }
            written += block.size();
            block.clear();
        }
    }
    if (!final_line_end && block.size() >= 2) block.resize(block.size() - 2);
    const bool ok = std::fwrite(block.data(), 1, block.size(), file) == block.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: generate_legacy FOLDER COUNT BYTES_PER_FILE [SEED]\n");
        return 64;
    }
    const std::string folder = argv[1];
    const unsigned long count = std::strtoul(argv[2], nullptr, 10);
    const std::uint64_t size = std::strtoull(argv[3], nullptr, 10);
    Random random(argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 1);
    for (unsigned long i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/R%05luTp.csv", i);
        // Every seventh file ends without a line end after its last record.
        if (!WriteFile(folder + name, size, i % 7 != 3, random)) {
            std::perror((folder + name).c_str());
            return 1;
        }
    }
    return 0;
}
