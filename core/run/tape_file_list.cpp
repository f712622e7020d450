// The match is done by hand: Windows' own wildcard also matches 8.3 short
// names, which must not count.
#include "core/run/tape_file_list.h"

#include <algorithm>

namespace talvoren {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

class TapeFileList : public FileList {
public:
    explicit TapeFileList(PlainFileListing listing) : listing_(std::move(listing)) {}

    void SetPath(const std::string& folder) override {
        names_.clear();
        if (folder.empty()) return;
        std::vector<std::string> names = listing_(folder, MatchesTapePattern);
        SortIgnoringCase(names);
        names_ = std::move(names);
    }
    std::size_t ListCount() const override { return names_.size(); }
    const std::string& List(std::size_t index) const override { return names_.at(index); }

private:
    const PlainFileListing listing_;
    std::vector<std::string> names_;
};

}  // namespace

bool MatchesTapePattern(const std::string& name) {
    static const std::string kSuffix = "tp.csv";
    if (name.size() < kSuffix.size()) return false;
    const std::size_t start = name.size() - kSuffix.size();
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        if (FoldCase(name[start + i]) != kSuffix[i]) return false;
    }
    return true;
}

void SortIgnoringCase(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto folded_less = [](char x, char y) {
            return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
        };
        if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded_less)) return true;
        if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded_less)) return false;
        return a < b;
    });
}

std::unique_ptr<FileList> MakeTapeFileList(PlainFileListing listing) {
    return std::make_unique<TapeFileList>(std::move(listing));
}

}  // namespace talvoren
