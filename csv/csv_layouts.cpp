#include "csv/csv_layouts.h"

#include <map>

#include "csv/csv_format.h"
#include "store/fixed_text.h"
#include "store/text_operations.h"

bool MatchPattern(const std::string& pattern, const std::string& title, int& number) {
    size_t p = 0, t = 0;
    number = 0;
    while (p < pattern.size()) {
        if (pattern[p] == '#') {
            size_t start = t;
            int value = 0;
            while (t < title.size() && title[t] >= '0' && title[t] <= '9' && t - start < 6) {
                value = value * 10 + (title[t] - '0');
                ++t;
            }
            if (t == start) return false;
            number = value;
            ++p;
            continue;
        }
        if (t >= title.size()) return false;
        // A double-byte character compares exactly: its second byte may be a letter.
        if (static_cast<unsigned char>(title[t]) >= 0x81) {
            if (p + 1 >= pattern.size() || t + 1 >= title.size() || pattern[p] != title[t] ||
                pattern[p + 1] != title[t + 1]) {
                return false;
            }
            p += 2;
            t += 2;
            continue;
        }
        if (AsciiLower(pattern[p]) != AsciiLower(title[t])) return false;
        ++p;
        ++t;
    }
    return t == title.size();
}

namespace {

// The GBK titles of each layout, converted once.
const std::vector<std::string>& GbkTitles(const CsvLayout& layout) {
    static std::map<const CsvTitleRule*, std::vector<std::string>> converted;
    std::vector<std::string>& titles = converted[layout.rules];
    if (titles.empty()) {
        for (int r = 0; r < layout.ruleCount; ++r) titles.push_back(GbkText(layout.rules[r].title));
    }
    return titles;
}

bool IsOwnTitle(const std::string& title) {
    for (const std::string& own : CsvFieldTitles()) {
        if (title == own) return true;
    }
    return false;
}

int KnownByOwnTitles(const std::vector<std::string>& titles) {
    int known = 0;
    for (const std::string& title : titles) known += IsOwnTitle(title) ? 1 : 0;
    return known;
}

// How often each title stood before position i: the occurrence of titles[i].
std::vector<int> Occurrences(const std::vector<std::string>& titles) {
    std::map<std::string, int> seen;
    std::vector<int> occurrences;
    for (const std::string& title : titles) occurrences.push_back(seen[title]++);
    return occurrences;
}

}  // namespace

CsvColumn MatchLayoutTitle(const CsvLayout& layout, const std::string& title, int occurrence, bool& known) {
    const std::vector<std::string>& patterns = GbkTitles(layout);
    known = false;
    CsvColumn first = {CsvRole::Ignored, 0, 0};
    int matches = 0;
    for (int r = 0; r < layout.ruleCount; ++r) {
        int number = 0;
        if (!MatchPattern(patterns[r], title, number)) continue;
        CsvColumn column = {layout.rules[r].role, layout.rules[r].detail, number};
        if (matches == 0) first = column;
        if (matches++ == occurrence) {
            known = true;
            return column;
        }
    }
    // A title standing more often than the layout lists it is still known;
    // its later columns hold the same as its first.
    known = matches > 0;
    return known ? first : CsvColumn{CsvRole::Ignored, 0, 0};
}

const CsvLayout* RecogniseCsvLayout(const std::vector<std::string>& titles) {
    const int fewestKnown = 3;
    int nonEmpty = 0;
    for (const std::string& title : titles) nonEmpty += title.empty() ? 0 : 1;
    std::vector<int> occurrences = Occurrences(titles);
    const CsvLayout* best = nullptr;
    int bestKnown = KnownByOwnTitles(titles);
    for (const CsvLayout& layout : CsvLayouts()) {
        int known = 0;
        int knownOnlyHere = 0;  // titles that Corvelle's own do not have
        for (size_t i = 0; i < titles.size(); ++i) {
            bool isKnown = false;
            if (!titles[i].empty()) MatchLayoutTitle(layout, titles[i], occurrences[i], isKnown);
            known += isKnown ? 1 : 0;
            knownOnlyHere += isKnown && !IsOwnTitle(titles[i]) ? 1 : 0;
        }
        if (known > bestKnown && knownOnlyHere >= fewestKnown && 2 * known >= nonEmpty) {
            best = &layout;
            bestKnown = known;
        }
    }
    return best;
}

std::vector<CsvColumn> LayoutColumns(const CsvLayout& layout, const std::vector<std::string>& titles,
                                     std::vector<bool>& known) {
    std::vector<int> occurrences = Occurrences(titles);
    std::vector<CsvColumn> columns;
    known.clear();
    for (size_t i = 0; i < titles.size(); ++i) {
        bool isKnown = false;
        columns.push_back(MatchLayoutTitle(layout, titles[i], occurrences[i], isKnown));
        known.push_back(isKnown);
    }
    return columns;
}
