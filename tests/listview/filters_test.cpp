#include <gtest/gtest.h>

#include <random>

#include "listview/filters.h"
#include "test_support.h"

TEST(MatchText, AnEmptyPatternMatchesEverything) {
    EXPECT_EQ(1, MatchText("", ""));
    EXPECT_EQ(1, MatchText("", "abc"));
    EXPECT_EQ(0, MatchText("a", ""));
}

TEST(MatchText, FindsPlainSubstrings) {
    EXPECT_EQ(1, MatchText("abc", "abc"));
    EXPECT_EQ(1, MatchText("bc", "abcd"));
    EXPECT_EQ(1, MatchText("cd", "abcd"));
    EXPECT_EQ(1, MatchText("ab", "aab"));
    EXPECT_EQ(0, MatchText("abcd", "abc"));
    EXPECT_EQ(0, MatchText("x", "abc"));
}

// After a partial match fails the scan restarts at the failing byte, never
// behind it, so some occurrences are missed.
TEST(MatchText, RestartsAtTheFailingByteWithoutBackingUp) {
    EXPECT_EQ(0, MatchText("aab", "aaab"));
    EXPECT_EQ(0, MatchText("abac", "ababac"));
    EXPECT_EQ(1, MatchText("aab", "aabaab"));
    EXPECT_EQ(1, MatchText("ab", "aab"));  // the failing 'a' is compared with the first byte again
}

TEST(MatchText, ComparesBytesExactly) {
    EXPECT_EQ(0, MatchText("abc", "ABC"));
    // A match may begin on the second byte of a double-byte character:
    // 中 is D6 D0, 文 is CE C4; the bytes D0 CE span the two.
    EXPECT_EQ(1, MatchText("\xD0\xCE", Gbk("中文").c_str()));
}

// The scan as it was first written, byte by byte: the faster one must
// find exactly the same texts, misses included.
int PlainScan(const char* pattern, const char* text) {
    if (pattern[0] == '\0') return 1;
    size_t j = 0;
    for (size_t i = 0; text[i] != '\0';) {
        if (pattern[j] == '\0') return 1;
        if (pattern[j] == text[i]) {
            ++j;
            ++i;
        } else if (j == 0) {
            ++i;
        } else {
            j = 0;
        }
    }
    return pattern[j] == '\0' ? 1 : 0;
}

TEST(MatchText, AgreesWithAPlainScanOnRandomTexts) {
    std::mt19937 random(9);
    auto text = [&random](int most) {
        std::string s(random() % (most + 1), ' ');
        for (char& c : s) c = "aab\xD5\xC5"[random() % 5];
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string pattern = text(4);
        std::string haystack = text(24);
        ASSERT_EQ(PlainScan(pattern.c_str(), haystack.c_str()), MatchText(pattern.c_str(), haystack.c_str()))
            << pattern << " in " << haystack;
    }
}

namespace {

FilterState Filters(const std::string& pattern, int fieldChoice = 0, int groupChoice = 0) {
    FilterState filters = {};
    filters.groupChoice = groupChoice;
    filters.fieldChoice = fieldChoice;
    filters.pattern = pattern;
    DisplaySettings settings = DefaultSettings();  // gender, nickname, mobile, home phone, work phone
    std::copy(settings.ColumnFlags, settings.ColumnFlags + ColumnFlagCount, filters.columnFlags);
    return filters;
}

ContactRecord Contact() {
    ContactRecord record = Record({{Surname, Gbk("王")},
                                   {GivenName, Gbk("小明")},
                                   {Mobile, "13800001111"},
                                   {HomePostcode, "310000"},
                                   {Nickname, "Ming"}});
    record.Gender = 1;
    record.GroupIndex = 2;
    return record;
}

}  // namespace

TEST(PassesFilters, WithNothingChosenEveryRecordPasses) {
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("")));
    EXPECT_EQ(1, PassesFilters(EmptyRecord(), Filters("")));
}

TEST(PassesFilters, AllFieldsSearchesEveryTextAlsoOfHiddenColumns) {
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("310000")));  // home postcode, not shown
    EXPECT_EQ(1, PassesFilters(Contact(), Filters(Gbk("小明"))));
    EXPECT_EQ(1, PassesFilters(Contact(), Filters(Gbk("女"))));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters(Gbk("男"))));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("ming")));  // case matters
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("00001", -1)));  // no choice searches everything
}

TEST(PassesFilters, TheYearUnitMatchesEveryRecordEvenWithoutABirthday) {
    EXPECT_EQ(1, PassesFilters(EmptyRecord(), Filters(Gbk("年"))));
    EXPECT_EQ(1, PassesFilters(Contact(), Filters(Gbk("日"))));
}

TEST(PassesFilters, TheNameChoiceSearchesOnlyTheName) {
    EXPECT_EQ(1, PassesFilters(Contact(), Filters(Gbk("王小"), 1)));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("138", 1)));
}

TEST(PassesFilters, ALaterChoiceSearchesTheShownColumnAtThatPlace) {
    // Shown optional columns: 0 gender, 1 nickname, 3 mobile, 8 home phone, 9 work phone.
    EXPECT_EQ(1, PassesFilters(Contact(), Filters(Gbk("女"), 2)));
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("Ming", 3)));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("Ming", 4)));
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("138", 4)));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("310000", 4)));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("138", 7)));  // no such column
}

TEST(PassesFilters, TheChoiceFollowsTheFlagsThatAreShown) {
    FilterState filters = Filters("310000", 2);
    std::fill(filters.columnFlags, filters.columnFlags + ColumnFlagCount, 0);
    filters.columnFlags[HomePostcodeColumn] = 1;
    EXPECT_EQ(1, PassesFilters(Contact(), filters));
    filters.columnFlags[HomePostcodeColumn] = 2;  // only 1 shows a column
    EXPECT_EQ(0, PassesFilters(Contact(), filters));
}

TEST(PassesFilters, TheGroupComesFirst) {
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("", 0, 3)));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("", 0, 1)));
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("138", 0, 1)));
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("138", 0, 3)));
}

TEST(PassesFilters, ARecordOutsideTheGroupListShowsOnlyUnderAllGroups) {
    ContactRecord record = Contact();
    for (int32_t group : {-1, 5, 1000}) {
        record.GroupIndex = group;
        EXPECT_EQ(1, PassesFilters(record, Filters("")));
        for (int choice = 1; choice <= 5; ++choice) EXPECT_EQ(0, PassesFilters(record, Filters("", 0, choice)));
    }
}

TEST(PassesFilters, AddressesMatchAcrossTheirParts) {
    ContactRecord record = Record({{WorkCity, Gbk("杭州")}, {WorkStreet, Gbk("西湖路")}});
    EXPECT_EQ(1, PassesFilters(record, Filters(Gbk("州西"))));
}
