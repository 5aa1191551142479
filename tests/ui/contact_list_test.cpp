// The list's columns and rows, and how the quick search and the two
// filters narrow them, keystroke by keystroke.
#include <windows.h>

#include "listview/ui/contact_list.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

class ContactListTest : public MainWindowTest {
protected:
    // Starts with these contacts and the settings' columns: only the
    // flags listed are shown (none: just the name column).
    void StartWith(const std::vector<ContactRecord>& contacts, std::vector<ColumnFlag> shown) {
        DisplaySettings settings = DefaultSettings();
        for (int32_t& flag : settings.ColumnFlags) flag = 0;
        for (ColumnFlag flag : shown) settings.ColumnFlags[flag] = 1;
        ASSERT_EQ(1, SaveSettings(settings, PathOf("txl.dat")));
        WriteBook("default.txl", BookWith(contacts));
        StartCorvelle();
    }

    // Types into the search box one key at a time, as the user does.
    void Search(const std::wstring& text) { TypeInto(App.quickSearchBox, text); }
    std::vector<std::wstring> Names() { return ColumnTexts(List(), 0); }
};


std::vector<ColumnFlag> AllColumns() {
    std::vector<ColumnFlag> flags;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) flags.push_back(static_cast<ColumnFlag>(flag));
    return flags;
}

}  // namespace

TEST_F(ContactListTest, WithNoFlagsOnlyTheNameColumnShows) {
    StartWith({Contact("a")}, {});
    EXPECT_EQ((std::vector<std::wstring>{L"姓名"}), ColumnHeaders(List()));
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有类别 -", L"姓名"}), ComboTexts(App.fieldFilter));
}

TEST_F(ContactListTest, EveryFlagShowsItsColumnInFlagOrder) {
    ContactRecord full = Record({{Surname, Gbk("王")},
                                 {GivenName, Gbk("小明")},
                                 {Nickname, "Ming"},
                                 {BirthYear, "1985"},
                                 {BirthMonth, "03"},
                                 {BirthDay, "7"},
                                 {Mobile, "13800001111"},
                                 {QQNumber, "10001"},
                                 {Email, "ming@example.com"},
                                 {HomeCountry, Gbk("中国")},
                                 {HomeCity, Gbk("杭州")},
                                 {HomeStreet, Gbk("西湖路1号")},
                                 {WorkProvince, Gbk("上海")},
                                 {WorkStreet, Gbk("南京路")},
                                 {HomePhone, "0571-1"},
                                 {WorkPhone, "021-2"},
                                 {Company, Gbk("公司甲")},
                                 {Department, Gbk("研发")},
                                 {JobTitle, Gbk("工程师")},
                                 {WorkPostcode, "200000"},
                                 {WorkFax, "021-3"},
                                 {HomePostcode, "310000"},
                                 {HomeFax, "0571-4"}});
    full.Gender = 2;
    StartWith({full}, AllColumns());

    EXPECT_EQ((std::vector<std::wstring>{L"姓名", L"性别", L"昵称", L"生日", L"手机号", L"QQ号", L"邮箱", L"家庭住址",
                                         L"工作地址", L"家庭电话", L"公司电话", L"公司", L"部门", L"职务", L"工作邮编",
                                         L"工作传真", L"家庭邮编", L"家庭传真"}),
              ColumnHeaders(List()));
    const int widths[] = {80, 40, 80, 130, 130, 130, 150, 200, 200, 100, 100, 150, 100, 100, 80, 100, 80, 100};
    for (int column = 0; column < 18; ++column) EXPECT_EQ(widths[column], ColumnWidth(List(), column)) << column;
    std::vector<std::wstring> cells;
    for (int column = 0; column < 18; ++column) cells.push_back(CellText(List(), 0, column));
    EXPECT_EQ((std::vector<std::wstring>{L"王小明", L"女", L"Ming", L"1985年03月7日", L"13800001111", L"10001",
                                         L"ming@example.com", L"中国杭州西湖路1号", L"上海南京路", L"0571-1", L"021-2",
                                         L"公司甲", L"研发", L"工程师", L"200000", L"021-3", L"310000", L"0571-4"}),
              cells);
    EXPECT_EQ(19u, ComboTexts(App.fieldFilter).size());  // all categories, the name, 17 columns
}

TEST_F(ContactListTest, AnEmptyBirthdayShowsOnlyItsUnits) {
    StartWith({Contact("a")}, {GenderColumn, BirthdayColumn});
    EXPECT_EQ(L"男", CellText(List(), 0, 1));
    EXPECT_EQ(L"年月日", CellText(List(), 0, 2));
}

TEST_F(ContactListTest, RowsFollowTheStoreAndTheFilters) {
    StartWith({Contact("one", 0), Contact("two", 1), Contact("three", 1)}, {});
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"two", L"three"}), Names());
    ChooseInCombo(App.groupFilter, 2);  // 家人
    EXPECT_EQ((std::vector<std::wstring>{L"two", L"three"}), Names());
    EXPECT_EQ(RecordAt(App.document.contacts, 1), ShownRecordAt(App.document.contacts, 0));
    EXPECT_EQ(RecordAt(App.document.contacts, 2), ShownRecordAt(App.document.contacts, 1));
    EXPECT_EQ(0, RecordAt(App.document.contacts, 0)->ShownFlag);
}

TEST_F(ContactListTest, EveryKeystrokeNarrowsTheList) {
    StartWith({Contact("apple"), Contact("apricot"), Contact("banana")}, {});
    SetWindowTextW(App.quickSearchBox, L"");
    SendMessageW(App.quickSearchBox, WM_CHAR, L'a', 0);
    PumpMessages();
    EXPECT_EQ(3, RowCount(List()));
    SendMessageW(App.quickSearchBox, WM_CHAR, L'p', 0);
    PumpMessages();
    EXPECT_EQ((std::vector<std::wstring>{L"apple", L"apricot"}), Names());
    SendMessageW(App.quickSearchBox, WM_CHAR, L'r', 0);
    PumpMessages();
    EXPECT_EQ((std::vector<std::wstring>{L"apricot"}), Names());
    SendMessageW(App.quickSearchBox, WM_CHAR, VK_BACK, 0);
    PumpMessages();
    EXPECT_EQ(2, RowCount(List()));
}

TEST_F(ContactListTest, TheSearchFindsEveryOccurrenceOfWholeCharacters) {
    StartWith({Contact("aaab"), Contact("aab"), Contact(Gbk("刘祎"))}, {});
    Search(L"aab");
    EXPECT_EQ((std::vector<std::wstring>{L"aaab", L"aab"}), Names());
    Search(L"t");  // 祎 ends in the byte of "t"
    EXPECT_EQ(0, RowCount(List()));
}

// What a user of any phone types: initials, syllables, or both.
TEST_F(ContactListTest, TypingPinyinFindsChineseNames) {
    StartWith({Contact(Gbk("张三")), Contact(Gbk("李四")), Contact(Gbk("曾国藩"))}, {});
    for (const wchar_t* search : {L"zs", L"zhangs", L"ZhangSan", L"zhang san"}) {
        Search(search);
        EXPECT_EQ((std::vector<std::wstring>{L"张三"}), Names()) << search;
    }
    Search(L"zeng");
    EXPECT_EQ((std::vector<std::wstring>{L"曾国藩"}), Names());
    Search(L"s");
    EXPECT_EQ((std::vector<std::wstring>{L"张三", L"李四"}), Names());
}

TEST_F(ContactListTest, TheYearUnitMatchesEveryContact) {
    ContactRecord born = Contact("born");
    SetField(born, BirthYear, "1990");
    StartWith({Contact("a"), born, Contact("c")}, {});
    Search(L"年");
    EXPECT_EQ(3, RowCount(List()));
}

TEST_F(ContactListTest, TheSearchIsCaseSensitive) {
    StartWith({Contact("ABC"), Contact("abc")}, {});
    Search(L"abc");
    EXPECT_EQ((std::vector<std::wstring>{L"abc"}), Names());
}

TEST_F(ContactListTest, AllCategoriesSearchesHiddenColumnsButNotAlone) {
    ContactRecord withPostcode = Record({{Surname, "post"}, {HomePostcode, "310000"}, {Mobile, "139"}});
    StartWith({withPostcode, Contact("other")}, {MobileColumn});
    Search(L"310000");
    EXPECT_EQ((std::vector<std::wstring>{L"post"}), Names());
    // Only the shown columns can be chosen one by one.
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有类别 -", L"姓名", L"手机号"}), ComboTexts(App.fieldFilter));
    ChooseInCombo(App.fieldFilter, 2);
    EXPECT_EQ(0, RowCount(List()));
    Search(L"139");
    EXPECT_EQ((std::vector<std::wstring>{L"post"}), Names());
}

TEST_F(ContactListTest, AFieldChoiceSearchesOnlyThatColumn) {
    ContactRecord a = Contact("alpha");
    SetField(a, Nickname, "beta");
    ContactRecord b = Contact("beta");
    SetField(b, Nickname, "alpha");
    StartWith({a, b}, {GenderColumn, NicknameColumn});
    Search(L"beta");
    EXPECT_EQ(2, RowCount(List()));
    ChooseInCombo(App.fieldFilter, 1);  // 姓名
    EXPECT_EQ((std::vector<std::wstring>{L"beta"}), Names());
    ChooseInCombo(App.fieldFilter, 3);  // 昵称, the second shown column
    EXPECT_EQ((std::vector<std::wstring>{L"alpha"}), Names());
    Search(L"男");
    ChooseInCombo(App.fieldFilter, 2);  // 性别
    EXPECT_EQ(2, RowCount(List()));
}

TEST_F(ContactListTest, AGroupNarrowsTheSearchAndAllGroupsBringsTheRestBack) {
    StartWith({Contact("ann", 0), Contact("anna", 1), Contact("bob", 1), Contact("anne", 2)}, {});
    ChooseInCombo(App.groupFilter, 2);  // 家人
    EXPECT_EQ((std::vector<std::wstring>{L"anna", L"bob"}), Names());
    Search(L"ann");
    EXPECT_EQ((std::vector<std::wstring>{L"anna"}), Names());
    ChooseInCombo(App.groupFilter, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"ann", L"anna", L"anne"}), Names());
}

TEST_F(ContactListTest, AContactOutsideTheGroupListShowsOnlyUnderAllGroups) {
    StartWith({Contact("lost", -1), Contact("far", 9), Contact("home", 0)}, {});
    EXPECT_EQ(3, RowCount(List()));
    for (int choice = 1; choice <= 5; ++choice) {
        ChooseInCombo(App.groupFilter, choice);
        for (const std::wstring& name : Names()) EXPECT_EQ(L"home", name) << choice;
    }
}

TEST_F(ContactListTest, AFileWithItsOwnGroupsFillsTheGroupFilter) {
    Document book;
    AppendGroup(book.groups, Gbk("甲"));
    AppendGroup(book.groups, Gbk("乙"));
    AppendRecord(book.contacts, Contact("x", 1));
    WriteBook("default.txl", book);
    StartCorvelle();
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有分组 -", L"甲", L"乙"}), ComboTexts(App.groupFilter));
    ChooseInCombo(App.groupFilter, 2);
    EXPECT_EQ((std::vector<std::wstring>{L"x"}), ColumnTexts(List()));
}

TEST_F(ContactListTest, ARefreshLeavesNoRowSelected) {
    StartWith({Contact("a"), Contact("b")}, {});
    SelectRow(List(), 1);
    RefreshList();
    EXPECT_EQ(-1, FirstSelectedRow());
    SelectRow(List(), 1);
    EXPECT_EQ(1, FirstSelectedRow());
}

TEST_F(ContactListTest, KeysMoveTheOneSelectedRowAndAKeyThatMovesNothingKeepsIt) {
    StartWith({Contact("a"), Contact("b"), Contact("c")}, {});
    SetFocus(List());
    SelectRow(List(), 0);
    auto press = [this](WPARAM key) {
        SendMessageW(List(), WM_KEYDOWN, key, 0);
        PumpMessages();
        EXPECT_EQ(1u, ListView_GetSelectedCount(List()));
        return FirstSelectedRow();
    };
    EXPECT_EQ(1, press(VK_DOWN));
    EXPECT_EQ(2, press(VK_END));
    EXPECT_EQ(2, press(VK_DOWN));
    EXPECT_EQ(2, press(VK_NEXT));
    EXPECT_EQ(0, press(VK_HOME));
    EXPECT_EQ(0, press(VK_UP));
    SendMessageW(List(), WM_CHAR, L'c', 1);  // a letter goes to the next name that begins with it
    PumpMessages();
    EXPECT_EQ(2, FirstSelectedRow());
}

namespace {

// The pixels a window shows now, read from its surface, not drawn anew.
std::vector<COLORREF> ShownPixels(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(window, dc);
    return pixels;
}

}  // namespace

// A refresh repaints the rows; the header keeps its titles, also when the
// vertical scroll bar goes or comes and the header changes its width.
TEST_F(ContactListTest, TheHeaderStaysDrawnWhileTheRowsChange) {
    std::vector<ContactRecord> contacts;
    for (int i = 0; i < 60; ++i) contacts.push_back(Contact(i % 2 ? "a" : "b"));
    StartWith(contacts, AllColumns());
    HWND header = ListView_GetHeader(List());
    const wchar_t* searches[] = {L"a", L"x", L"", L"b"};  // fewer rows, none, all, fewer
    for (int step = 0; step < 4; ++step) {
        Search(searches[step]);
        UpdateWindow(window);
        std::vector<COLORREF> shown = ShownPixels(header);
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_TRUE(shown == ShownPixels(header)) << "after search " << step;
    }
}
