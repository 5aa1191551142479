#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "listview/filters.h"
#include "platform/gbk.h"
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

TEST(MatchText, FindsEveryOccurrence) {
    EXPECT_EQ(1, MatchText("aab", "aaab"));
    EXPECT_EQ(1, MatchText("abac", "ababac"));
    EXPECT_EQ(1, MatchText(Gbk("小明").c_str(), Gbk("小小明").c_str()));
}

TEST(MatchText, MatchesWholeCharactersOnly) {
    EXPECT_EQ(0, MatchText("abc", "ABC"));
    // 中 is D6 D0, 文 is CE C4: the bytes D0 CE span the two.
    EXPECT_EQ(0, MatchText("\xD0\xCE", Gbk("中文").c_str()));
    // 祎 is B5 74: its second byte is a "t", yet the name holds no letter t.
    EXPECT_EQ(0, MatchText("t", Gbk("刘祎").c_str()));
    EXPECT_EQ(1, MatchText("t", Gbk("刘祎t").c_str()));
    // A lone lead byte is not the character it begins.
    EXPECT_EQ(0, MatchText("\xD6", Gbk("中").c_str()));
    EXPECT_EQ(1, MatchText(Gbk("文").c_str(), Gbk("中文").c_str()));
}

namespace {

// Where characters start, walking the text as GBK.
std::vector<bool> CharacterStarts(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (size_t i = 0; i < text.size();) {
        starts[i] = true;
        bool pair = IsGbkLead(text[i]) && i + 1 < text.size() && IsGbkTrail(text[i + 1]);
        bool four = IsGbkLead(text[i]) && i + 3 < text.size() && IsGb18030Digit(text[i + 1]) && IsGbkLead(text[i + 2]) &&
                    IsGb18030Digit(text[i + 3]);
        i += four ? 4 : pair ? 2 : 1;
    }
    starts[text.size()] = true;
    return starts;
}

// Every place the pattern's bytes stand, kept when it starts and ends on a character.
int PlainSearch(const std::string& pattern, const std::string& text) {
    std::vector<bool> starts = CharacterStarts(text);
    for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1)) {
        if (starts[at] && starts[at + pattern.size()]) return 1;
    }
    return 0;
}

}  // namespace

TEST(MatchText, AgreesWithAPlainSearchOnRandomTexts) {
    std::mt19937 random(9);
    auto text = [&random](int most) {
        std::string s(random() % (most + 1), ' ');
        for (char& c : s) c = "aab\xD5\xC5\xB5"[random() % 6];
        return s;
    };
    for (int i = 0; i < 50000; ++i) {
        std::string pattern = text(4);
        std::string haystack = text(24);
        ASSERT_EQ(PlainSearch(pattern, haystack), MatchText(pattern.c_str(), haystack.c_str()))
            << pattern << " in " << haystack;
    }
}

namespace {

int Spoken(const char* search, const char* utf8, bool isName = true) {
    std::string text = Gbk(utf8);
    return MatchSpoken(PrepareSearch(search), text.data(), text.size(), isName);
}

}  // namespace

TEST(MatchText, AFourByteCharacterIsOneCharacter) {
    std::string name = Gbk("刘𬎆㻞");  // 㻞 is 82 32 89 37
    EXPECT_EQ(1, MatchText(Gbk("𬎆").c_str(), name.c_str()));
    EXPECT_EQ(1, MatchText(Gbk("㻞").c_str(), name.c_str()));
    EXPECT_EQ(0, MatchText("2", name.c_str()));
    EXPECT_EQ(0, MatchText("\x89\x37", name.c_str()));
    EXPECT_EQ(1, MatchText("2", (name + "2").c_str()));
}

TEST(MatchSpoken, ReadsCharactersBeyondGbk) {
    for (const char* search : {"yan", "ly", "liuyan", "liuy"}) EXPECT_EQ(1, Spoken(search, "刘䶮")) << search;
    // Beyond the basic plane (four bytes), and beside characters without a reading.
    for (const char* search : {"wangwei", "ww", "wei"}) EXPECT_EQ(1, Spoken(search, "王𬀩")) << search;
    for (const char* search : {"bin", "b", "lb"}) EXPECT_EQ(1, Spoken(search, "刘㻞")) << search;
    EXPECT_EQ(0, Spoken("lb", "刘𬎆㻞"));  // 𬎆 has no reading: it breaks the spelling
    EXPECT_EQ(1, Spoken("bin", "刘𬎆㻞"));
    // A long spelling takes the other way through the readings.
    std::string longName;
    for (int i = 0; i < 20; ++i) longName += "王𬀩";
    std::string spelled;
    for (int i = 0; i < 20; ++i) spelled += "wangwei";
    EXPECT_EQ(1, Spoken(spelled.c_str(), longName.c_str()));
}

TEST(MatchSpoken, FindsNamesByFullSyllablesInitialsAndAnyMix) {
    for (const char* search : {"zhangsan", "zs", "zhangs", "zhs", "zsan", "ZhangSan", "zhang san", "san", "s"}) {
        EXPECT_EQ(1, Spoken(search, "张三")) << search;
    }
    for (const char* search : {"wangxiaoming", "wxm", "xiaom", "xm", "ming", "WXM"}) {
        EXPECT_EQ(1, Spoken(search, "王小明")) << search;
    }
    for (const char* search : {"zx", "sanz", "zhangsanx", "zhangg", "hang", "wxmx", "xw"}) {
        EXPECT_EQ(0, Spoken(search, "张三")) << search;
    }
}

TEST(MatchSpoken, KnowsPolyphonesButNotRareReadings) {
    EXPECT_EQ(1, Spoken("yinle", "音乐", false));
    EXPECT_EQ(1, Spoken("kuaile", "快乐", false));
    EXPECT_EQ(1, Spoken("yue", "快乐", false));
    EXPECT_EQ(1, Spoken("chang", "长江", false));
    EXPECT_EQ(1, Spoken("zhang", "长江", false));
    EXPECT_EQ(1, Spoken("guangzhou", "广州", false));
    EXPECT_EQ(0, Spoken("anzhou", "广州", false));
}

TEST(MatchSpoken, ReadsSurnamesAsSurnamesAtTheStartOfAName) {
    EXPECT_EQ(1, Spoken("shanxiong", "单雄"));
    EXPECT_EQ(1, Spoken("danxiong", "单雄"));
    EXPECT_EQ(1, Spoken("zengguofan", "曾国藩"));
    EXPECT_EQ(1, Spoken("piaojin", "朴金"));
    EXPECT_EQ(1, Spoken("moqi", "万俟卨"));
    EXPECT_EQ(1, Spoken("mq", "万俟卨"));
    EXPECT_EQ(1, Spoken("linghuchong", "令狐冲"));
    EXPECT_EQ(1, Spoken("chanyu", "单于"));
    EXPECT_EQ(1, Spoken("yuchigong", "尉迟恭"));
}

TEST(MatchSpoken, TakesUAndVForUUmlaut) {
    EXPECT_EQ(1, Spoken("lvxin", "吕新"));
    EXPECT_EQ(1, Spoken("luxin", "吕新"));
    EXPECT_EQ(1, Spoken("nv", "女"));
    EXPECT_EQ(0, Spoken("lvxin", "陆新"));  // 陆 is lu, not lü
}

TEST(MatchSpoken, ReadsSpellingsLongerThanAWordOfPositions) {
    std::string text;
    std::string spelled;
    for (int i = 0; i < 10; ++i) text += Gbk("张三");
    for (int i = 0; i < 9; ++i) spelled += "zhangsan";  // 72 letters
    EXPECT_EQ(1, MatchSpoken(PrepareSearch(spelled), text.data(), text.size(), false));
    EXPECT_EQ(1, MatchSpoken(PrepareSearch(spelled + "zs"), text.data(), text.size(), false));
    EXPECT_EQ(0, MatchSpoken(PrepareSearch(spelled + "x"), text.data(), text.size(), false));
}

TEST(MatchSpoken, SpellsOnlyChineseText) {
    EXPECT_EQ(0, Spoken("ming", "Ming"));
    EXPECT_EQ(0, Spoken("zs", "张x三"));
    EXPECT_EQ(1, Spoken("zs", "张 三"));  // a space does not break the reading
    EXPECT_EQ(0, Spoken("zs1", "张三"));  // not a spelling: only letters and spaces are
    EXPECT_EQ(0, Spoken("", "张三"));
}

namespace {

int Phone(const char* search, const char* text) {
    return MatchPhone(PrepareSearch(search), text, std::strlen(text));
}

}  // namespace

TEST(MatchPhone, TheBytesOfAFourByteCharacterAreNoDigits) {
    const char rare[] = "\x82\x32\x89\x37";  // 㻞
    EXPECT_EQ(0, Phone("27", rare));
    EXPECT_EQ(1, Phone("27", (std::string(rare) + " 27").c_str()));
    EXPECT_EQ(0, Phone("1327", ("1" + std::string(rare) + "3").c_str()));
    // The trail byte of a pair is no lead: 张 (D5 C5), "1" and 𬎆 (99 31 DE 30)
    // hold no four-byte code C5 31 99 31, so the 1 stays a digit.
    EXPECT_EQ(1, Phone("1", "\xD5\xC5" "1" "\x99\x31\xDE\x30"));
}

TEST(MatchPhone, FindsTheDigitsWhateverTheSeparators) {
    for (const char* text : {"138 0013 8000", "+86 138-0013-8000", "(+86)13800138000", "008613800138000"}) {
        EXPECT_EQ(1, Phone("13800138000", text)) << text;
        EXPECT_EQ(1, Phone("+86 138 0013 8000", text)) << text;
        EXPECT_EQ(1, Phone("0086-138-0013-8000", text)) << text;
        EXPECT_EQ(1, Phone("0013", text)) << text;
        EXPECT_EQ(0, Phone("13800138001", text)) << text;
    }
    EXPECT_EQ(1, Phone("86138", "+86 138 0013"));
    EXPECT_EQ(0, Phone("+86", "138 0013 8000"));
    EXPECT_EQ(0, Phone("abc", "abc"));  // not a number: the plain search finds it, not this
    EXPECT_EQ(0, Phone("()", "138"));
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
    EXPECT_EQ(0, PassesFilters(Contact(), Filters("MING", 3)));  // Latin letters keep their case
    EXPECT_EQ(1, PassesFilters(Contact(), Filters("Ming", 3)));
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

TEST(PassesFilters, SpellsTheTextsPeopleTypeButNotTheGenderOrTheBirthday) {
    ContactRecord record = Record({{Surname, Gbk("王")},
                                   {GivenName, Gbk("小明")},
                                   {Company, Gbk("华为")},
                                   {HomeCity, Gbk("杭州")},
                                   {BirthYear, "1990"},
                                   {Mobile, "+86 138-0013-8000"},
                                   {Email, "1380013@example.com"}});
    record.Gender = 1;
    EXPECT_EQ(1, PassesFilters(record, Filters("wxm")));
    EXPECT_EQ(1, PassesFilters(record, Filters("huawei")));
    EXPECT_EQ(1, PassesFilters(record, Filters("hangzhou")));
    EXPECT_EQ(0, PassesFilters(record, Filters("nv")));    // 女, the gender word
    EXPECT_EQ(0, PassesFilters(record, Filters("nian")));  // 年 of the birthday
    EXPECT_EQ(1, PassesFilters(record, Filters("wxm", 1)));
    EXPECT_EQ(0, PassesFilters(record, Filters("huawei", 1)));  // the name choice searches the name only
}

TEST(PassesFilters, FindsNumbersByTheirDigitsInPhoneFieldsOnly) {
    ContactRecord record = Record({{Mobile, "+86 138-0013-8000"}, {Email, "138 0013@example.com"}});
    EXPECT_EQ(1, PassesFilters(record, Filters("13800138000")));
    EXPECT_EQ(1, PassesFilters(record, Filters("13800138000", 4)));  // the mobile column
    EXPECT_EQ(0, PassesFilters(record, Filters("13800138000", 3)));  // the nickname column
    ContactRecord mailOnly = Record({{Email, "138 0013@example.com"}});
    EXPECT_EQ(0, PassesFilters(mailOnly, Filters("1380013")));
    EXPECT_EQ(1, PassesFilters(mailOnly, Filters("138 0013")));  // as written, it is still found
}

TEST(PassesFilters, TheItemsAndWholeFormsAreSearchedToo) {
    ContactRecord record = Contact();
    ContactDetails details;
    details.items = {MakeItem(ItemKind::Phone, Gbk("微信"), "+86 139-0000-2222"),
                     MakeItem(ItemKind::Email, "", "ming@example.com"),
                     MakeItem(ItemKind::Note, "", Gbk("在杭州见面"))};
    SetWholeField(record, details, Company, std::string(25, 'c') + "Zuckerfabrik");
    auto passes = [&](const std::string& pattern, int fieldChoice = 0) {
        FilterState filters = Filters(pattern, fieldChoice);
        return PassesFilters(record, filters, PrepareSearch(filters.pattern), &details);
    };
    EXPECT_EQ(1, passes("13900002222"));       // the digits of a number
    EXPECT_EQ(1, passes("ming@example"));      // an e-mail address
    EXPECT_EQ(1, passes(Gbk("杭州")));         // a word of a note
    EXPECT_EQ(1, passes("hangzhou"));          // its pinyin
    EXPECT_EQ(1, passes("Zuckerfabrik"));      // the end of a company cut in its field
    EXPECT_EQ(0, passes("shanghai"));
    EXPECT_EQ(0, passes("13900002222", 1));    // the name alone holds no number
    // Without the details, the items are not there.
    FilterState filters = Filters("13900002222");
    EXPECT_EQ(0, PassesFilters(record, filters, PrepareSearch(filters.pattern)));
}
