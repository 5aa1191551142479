// The contact editor driven through its own controls: typing, choosing,
// the date picker, "确定", "上一条", "下一条" and "新项目".
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <functional>

#include "editor/field_controls.h"
#include "listview/ui/contact_list.h"
#include "resources/resource.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

namespace {

const wchar_t BookFullText[] = L"一个通讯录最多只能保存512个联系人，现在已经满了。\n请先删除不需要的联系人，再添加新的联系人。";

std::wstring Caption(int index) { return L"浏览项目 - #" + std::to_wstring(index); }


ContactRecord BornOn(const std::string& surname, const char* year, const char* month, const char* day) {
    return Record({{Surname, surname}, {BirthYear, year}, {BirthMonth, month}, {BirthDay, day}});
}

HWND Box(HWND editor, ContactField field) { return GetDlgItem(editor, EditorControlOf(field)); }
HWND GroupChoice(HWND editor) { return GetDlgItem(editor, IDC_EDIT_GROUP); }
HWND GenderChoice(HWND editor) { return GetDlgItem(editor, IDC_EDIT_GENDER); }
HWND Picker(HWND editor) { return GetDlgItem(editor, IDC_EDIT_BIRTHDAY); }

void SetPicker(HWND editor, WORD year, WORD month, WORD day) {
    SYSTEMTIME date = {};
    date.wYear = year;
    date.wMonth = month;
    date.wDay = day;
    ASSERT_TRUE(DateTime_SetSystemtime(Picker(editor), GDT_VALID, &date));
}

// The date, or "none" when the picker's check box is unticked.
std::string PickerShows(HWND editor) {
    SYSTEMTIME date = {};
    if (DateTime_GetSystemtime(Picker(editor), &date) == GDT_NONE) return "none";
    return std::to_string(date.wYear) + "-" + std::to_string(date.wMonth) + "-" + std::to_string(date.wDay);
}

std::string BirthdayOf(const ContactRecord& record) {
    return FieldValue(record, BirthYear) + "-" + FieldValue(record, BirthMonth) + "-" + FieldValue(record, BirthDay);
}

std::vector<std::string> StoredSurnames() {
    std::vector<std::string> names;
    for (const auto& record : App.document.contacts.records) names.push_back(FieldValue(*record, Surname));
    return names;
}

class ContactEditorTest : public MainWindowTest {
protected:
    ContactRecord& Record(int index) { return *RecordAt(App.document.contacts, index); }
    int Count() { return RecordCount(App.document.contacts); }

    // Opens the editor with a command; `act` works the dialog, whose
    // caption must be `caption`, and must close it with "确定".
    void OpenEditor(int command, const std::wstring& caption, std::function<void(HWND)> act) {
        ModalAnswers answers;
        answers.ExpectDialog(caption, act);
        SendCommand(command);
        EXPECT_TRUE(answers.AllAnswered());
    }
    void EditRow(int row, const std::wstring& caption, std::function<void(HWND)> act) {
        SelectRow(List(), row);
        OpenEditor(IDM_ITEM_EDIT, caption, act);
    }
};

}  // namespace

TEST_F(ContactEditorTest, ANewContactIsNumberedAfterTheLastAndFilledFromTheForm) {
    StartWith({Contact("a"), Contact("b"), Contact("c")});
    OpenEditor(IDM_ITEM_ADD, Caption(3), [](HWND editor) {
        EXPECT_EQ((std::vector<std::wstring>{L"男", L"女"}), ComboTexts(GenderChoice(editor)));
        EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"家人", L"朋友", L"同事", L"同学"}),
                  ComboTexts(GroupChoice(editor)));
        EXPECT_EQ(0, ComboSelection(GenderChoice(editor)));
        EXPECT_EQ(0, ComboSelection(GroupChoice(editor)));
        SYSTEMTIME range[2] = {};
        EXPECT_EQ(static_cast<DWORD>(GDTR_MIN | GDTR_MAX), DateTime_GetRange(Picker(editor), range));
        EXPECT_EQ((std::vector<int>{1900, 1, 1, 2100, 12, 31}),
                  (std::vector<int>{range[0].wYear, range[0].wMonth, range[0].wDay, range[1].wYear, range[1].wMonth,
                                    range[1].wDay}));
        TypeInto(Box(editor, Surname), L"王");
        TypeInto(Box(editor, GivenName), L"小五");
        TypeInto(Box(editor, Mobile), L"13900001111");
        TypeInto(Box(editor, WorkStreet), L"中山路1号");
        TypeInto(Box(editor, HomeFax), L"010-1234");
        ChooseInCombo(GenderChoice(editor), 1);
        ChooseInCombo(GroupChoice(editor), 2);
        SetPicker(editor, 1985, 11, 30);
        ClickButton(editor, IDOK);
    });
    ASSERT_EQ(4, Count());
    const ContactRecord& added = Record(3);
    EXPECT_EQ(Gbk("王"), FieldValue(added, Surname));
    EXPECT_EQ(Gbk("小五"), FieldValue(added, GivenName));
    EXPECT_EQ("13900001111", FieldValue(added, Mobile));
    EXPECT_EQ(Gbk("中山路1号"), FieldValue(added, WorkStreet));
    EXPECT_EQ("010-1234", FieldValue(added, HomeFax));
    EXPECT_EQ("", FieldValue(added, Email));
    EXPECT_EQ(1, added.Gender);
    EXPECT_EQ(2, added.GroupIndex);
    EXPECT_EQ("1985-11-30", BirthdayOf(added));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c", L"王小五"}), ColumnTexts(List()));
    EXPECT_EQ(List(), GetFocus());
}

TEST_F(ContactEditorTest, EveryFieldIsShownInItsOwnBox) {
    ContactRecord full = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(full, info.field, std::string(1, static_cast<char>('a' + f)) + std::to_string(f));
    }
    SetField(full, BirthYear, "1970");
    SetField(full, BirthMonth, "2");
    SetField(full, BirthDay, "28");
    full.Gender = 7;  // any value but 0 is female
    full.GroupIndex = 4;
    StartWith({full});
    EditRow(0, Caption(0), [](HWND editor) {
        for (int f = 0; f < ContactFieldCount; ++f) {
            const ContactFieldInfo& info = FieldInfo(f);
            if (!info.isText || EditorControlOf(info.field) == IDC_EDIT_BIRTHDAY) continue;
            EXPECT_EQ(WideFromGbk(std::string(1, static_cast<char>('a' + f)) + std::to_string(f)),
                      WindowText(Box(editor, info.field)))
                << "field " << f;
        }
        EXPECT_EQ("1970-2-28", PickerShows(editor));
        EXPECT_EQ(1, ComboSelection(GenderChoice(editor)));
        EXPECT_EQ(4, ComboSelection(GroupChoice(editor)));
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ(1, Record(0).Gender);
    EXPECT_EQ(4, Record(0).GroupIndex);
    EXPECT_EQ("p15", FieldValue(Record(0), HomePhone));
}

// A new contact goes when nothing was typed into it (a gender or a group
// chosen alone is nothing); whatever was typed stays, a name or not.
TEST_F(ContactEditorTest, ANewContactIsDiscardedOnlyWhenNothingWasTypedIntoIt) {
    StartWith({Contact("a"), Contact("b")});
    SelectRow(List(), 1);
    OpenEditor(IDC_ADD_BUTTON, Caption(2), [](HWND editor) {
        ChooseInCombo(GenderChoice(editor), 1);
        ChooseInCombo(GroupChoice(editor), 2);
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), StoredSurnames());
    EXPECT_EQ(nullptr, App.editedRecord);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), ColumnTexts(List()));
    EXPECT_TRUE(IsSelected(List(), 1));
    OpenEditor(IDC_ADD_BUTTON, Caption(2), [](HWND editor) {
        TypeInto(Box(editor, Mobile), L"13800000000");
        ClickButton(editor, IDOK);
    });
    ASSERT_EQ(3, Count());
    EXPECT_EQ("13800000000", FieldValue(Record(2), Mobile));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L""}), ColumnTexts(List()));
}

// Only a contact the editor made is removed for holding nothing: one that
// was in the book before stays, opened, stepped over and confirmed.
TEST_F(ContactEditorTest, AContactThatWasInTheBookIsNeverRemovedForBeingBlank) {
    ContactRecord blank = EmptyRecord();
    blank.Gender = 1;
    blank.GroupIndex = 3;
    StartWith({Contact("a"), blank, ::Record({{Mobile, "10086"}})});
    EditRow(1, Caption(1), [](HWND editor) {
        EXPECT_EQ(3, ComboSelection(GroupChoice(editor)));
        ClickButton(editor, IDC_EDITOR_NEXT);
        ClickButton(editor, IDC_EDITOR_PREVIOUS);
        ClickButton(editor, IDOK);
    });
    EditRow(2, Caption(2), [](HWND editor) { ClickButton(editor, IDOK); });
    ASSERT_EQ(3, Count());
    EXPECT_EQ(1, Record(1).Gender);
    EXPECT_EQ(3, Record(1).GroupIndex);
    EXPECT_EQ("10086", FieldValue(Record(2), Mobile));
    EXPECT_EQ(3, RowCount(List()));
}

// As a phone's import leaves it: a given name alone, no birthday. Browsing
// such a book changes nothing, and the editor leaves no blank row behind.
TEST_F(ContactEditorTest, BrowsingKeepsAGivenNameAloneWritesNoBirthdayAndLeavesNoBlankRow) {
    StartWith({BornOn("a", "1980", "5", "6"), Person("", Gbk("大姑姑")), Contact("c")});
    EditRow(0, Caption(0), [this](HWND editor) {
        EXPECT_EQ("1980-5-6", PickerShows(editor));
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("none", PickerShows(editor));  // never the previous contact's date
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("none", PickerShows(editor));
        SetPicker(editor, 1990, 1, 2);            // ticked and picked
        ClickButton(editor, IDC_EDITOR_NEW);
        EXPECT_EQ(Caption(3), WindowText(editor));
        EXPECT_EQ("none", PickerShows(editor));
        ClickButton(editor, IDC_EDITOR_PREVIOUS);  // the new contact is left blank
        EXPECT_EQ("1990-1-2", PickerShows(editor));
        SYSTEMTIME any = {};
        any.wYear = 2000, any.wMonth = 1, any.wDay = 1;
        DateTime_SetSystemtime(Picker(editor), GDT_NONE, &any);  // unticked again
        ClickButton(editor, IDC_EDITOR_PREVIOUS);
        EXPECT_EQ(L"大姑姑", WindowText(Box(editor, GivenName)));
        ClickButton(editor, IDOK);
    });
    ASSERT_EQ(3, Count());
    EXPECT_EQ("1980-5-6", BirthdayOf(Record(0)));
    EXPECT_EQ("--", BirthdayOf(Record(1)));
    EXPECT_EQ("--", BirthdayOf(Record(2)));
    EXPECT_EQ(Gbk("大姑姑"), FieldValue(Record(1), GivenName));
    EXPECT_EQ("", FieldValue(Record(1), Surname));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"大姑姑", L"c"}), ColumnTexts(List()));
}

TEST_F(ContactEditorTest, AnEmptiedSurnameBoxKeepsTheStoredSurname) {
    StartWith({Person("a", "x"), Person(Gbk("张"), Gbk("三"))});
    EditRow(1, Caption(1), [](HWND editor) {
        EXPECT_EQ(L"张", WindowText(Box(editor, Surname)));
        TypeInto(Box(editor, Surname), L"");
        TypeInto(Box(editor, GivenName), L"");
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ(Gbk("张"), FieldValue(Record(1), Surname));
    EXPECT_EQ("", FieldValue(Record(1), GivenName));
    EXPECT_EQ((std::vector<std::wstring>{L"ax", L"张"}), ColumnTexts(List()));
}

// Texts are cut to what each field holds, never inside a character.
TEST_F(ContactEditorTest, LongTextsAreCutAtAWholeCharacterToFitTheirFields) {
    StartWith({Contact("a")});
    EditRow(0, Caption(0), [](HWND editor) {
        TypeInto(Box(editor, Surname), L"ab欧阳司马");
        TypeInto(Box(editor, GivenName), L"a欧阳司马");
        TypeInto(Box(editor, Email), std::wstring(300, L'e'));
        TypeInto(Box(editor, JobTitle), L"高级软件工程师兼经理");
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ("ab" + Gbk("欧阳司"), FieldValue(Record(0), Surname));
    EXPECT_EQ("a" + Gbk("欧阳司马"), FieldValue(Record(0), GivenName));
    EXPECT_EQ(std::string(127, 'e'), FieldValue(Record(0), Email));
    EXPECT_EQ(Gbk("高级软件工程"), FieldValue(Record(0), JobTitle));
    EXPECT_TRUE(FieldsTerminated(Record(0)));
}

// A character beyond the basic plane typed as the two WM_CHARs of its
// surrogate pair is one character of the book, the list and the search.
TEST_F(ContactEditorTest, ARareCharacterTypedIntoTheEditorIsFoundInTheList) {
    StartWith({Contact("a"), Contact("b")});
    EditRow(1, Caption(1), [](HWND editor) {
        TypeInto(Box(editor, Surname), L"王");
        TypeInto(Box(editor, GivenName), L"\xD870\xDC29\xD870\xDF86");  // 𬀩𬎆
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ(Gbk("𬀩𬎆"), FieldValue(Record(1), GivenName));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"王\xD870\xDC29\xD870\xDF86"}), ColumnTexts(List()));
    TypeInto(App.quickSearchBox, L"\xD870\xDF86");
    EXPECT_EQ((std::vector<std::wstring>{L"王\xD870\xDC29\xD870\xDF86"}), ColumnTexts(List()));
    TypeInto(App.quickSearchBox, L"ww");  // 王𬀩: wang wei
    EXPECT_EQ((std::vector<std::wstring>{L"王\xD870\xDC29\xD870\xDF86"}), ColumnTexts(List()));
    SetWindowTextW(App.quickSearchBox, L"");
}

// Opened on an empty birthday the picker's check box is unticked, and
// nothing is written.
TEST_F(ContactEditorTest, AnEmptyBirthdayStaysEmpty) {
    StartWith({BornOn("a", "1980", "05", "06"), Contact("b")});
    EditRow(1, Caption(1), [](HWND editor) {
        EXPECT_EQ("none", PickerShows(editor));
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ("--", BirthdayOf(Record(1)));
}

// The picker cannot show a date outside 1900-2100, nor text that is no
// date: such a birthday stays as stored unless the user changes the picker.
TEST_F(ContactEditorTest, ABirthdayThePickerCannotShowIsKeptUntilThePickerIsChanged) {
    StartWith({BornOn("old", "1850", "3", "4"), BornOn("late", "2222", "12", "31"), BornOn("year", "1985", "", ""),
               BornOn("bad", "1985", "13", "1"), BornOn("zeros", "1980", "05", "06"), BornOn("moved", "1777", "7", "7")});
    EditRow(0, Caption(0), [](HWND editor) {
        EXPECT_EQ("1900-1-1", PickerShows(editor));
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("2100-12-31", PickerShows(editor));
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("none", PickerShows(editor));  // no date
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("none", PickerShows(editor));
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("1980-5-6", PickerShows(editor));
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("1900-1-1", PickerShows(editor));
        SetPicker(editor, 1901, 2, 3);
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ("1850-3-4", BirthdayOf(Record(0)));
    EXPECT_EQ("2222-12-31", BirthdayOf(Record(1)));
    EXPECT_EQ("1985--", BirthdayOf(Record(2)));
    EXPECT_EQ("1985-13-1", BirthdayOf(Record(3)));
    EXPECT_EQ("1980-5-6", BirthdayOf(Record(4)));  // a date the picker shows is written in its own form
    EXPECT_EQ("1901-2-3", BirthdayOf(Record(5)));
}

// The steps walk the whole store, whatever the filters show, and stop at
// both ends without reading the form.
TEST_F(ContactEditorTest, StepsCrossGroupFiltersAndStopAtBothEndsWithoutReadingTheForm) {
    StartWith({Person("a", "1"), Contact("b", 1), Person("c", "3")});
    ChooseInCombo(App.groupFilter, 2);  // 家人: only b
    ASSERT_EQ((std::vector<std::wstring>{L"b"}), ColumnTexts(List()));
    EditRow(0, Caption(1), [this](HWND editor) {
        ClickButton(editor, IDC_EDITOR_PREVIOUS);
        EXPECT_EQ(Caption(0), WindowText(editor));
        EXPECT_EQ(L"a", WindowText(Box(editor, Surname)));
        TypeInto(Box(editor, GivenName), L"typed");
        ClickButton(editor, IDC_EDITOR_PREVIOUS);
        EXPECT_EQ(Caption(0), WindowText(editor));
        EXPECT_EQ("1", FieldValue(Record(0), GivenName));
        EXPECT_EQ(L"typed", WindowText(Box(editor, GivenName)));

        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ("typed", FieldValue(Record(0), GivenName));
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ(Caption(2), WindowText(editor));
        TypeInto(Box(editor, GivenName), L"last");
        ClickButton(editor, IDC_EDITOR_NEXT);
        EXPECT_EQ(Caption(2), WindowText(editor));
        EXPECT_EQ("3", FieldValue(Record(2), GivenName));
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ("last", FieldValue(Record(2), GivenName));
    EXPECT_EQ(2, ComboSelection(App.groupFilter));
    EXPECT_EQ((std::vector<std::wstring>{L"b"}), ColumnTexts(List()));
}

TEST_F(ContactEditorTest, AGroupOutsideTheListIsNoneAndConfirmedAsMinusOne) {
    StartWith({Contact("a", 0), Contact("lost", 9)});
    EditRow(1, Caption(1), [](HWND editor) {
        EXPECT_EQ(-1, ComboSelection(GroupChoice(editor)));
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ(-1, Record(1).GroupIndex);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"lost"}), ColumnTexts(List()));
    ChooseInCombo(App.groupFilter, 1);
    EXPECT_EQ((std::vector<std::wstring>{L"a"}), ColumnTexts(List()));
}

// A trailing unnamed record is reused: "新项目" twice makes one record.
TEST_F(ContactEditorTest, NewTwiceMakesOneRecordAndAnUnnamedOneGoesOnConfirm) {
    StartWith({Contact("a"), Contact("b")});
    EditRow(0, Caption(0), [this](HWND editor) {
        TypeInto(Box(editor, GivenName), L"x");
        ClickButton(editor, IDC_EDITOR_NEW);
        EXPECT_EQ(Caption(2), WindowText(editor));
        EXPECT_EQ(3, Count());
        EXPECT_EQ("x", FieldValue(Record(0), GivenName));
        EXPECT_EQ(L"", WindowText(Box(editor, GivenName)));
        ClickButton(editor, IDC_EDITOR_NEW);
        EXPECT_EQ(Caption(2), WindowText(editor));
        EXPECT_EQ(3, Count());

        ClickButton(editor, IDC_EDITOR_PREVIOUS);  // the unnamed record stays behind
        EXPECT_EQ(Caption(1), WindowText(editor));
        ClickButton(editor, IDC_EDITOR_NEW);       // and is found again
        EXPECT_EQ(Caption(2), WindowText(editor));
        EXPECT_EQ(3, Count());

        TypeInto(Box(editor, Surname), L"c");
        ClickButton(editor, IDC_EDITOR_NEW);
        EXPECT_EQ(Caption(3), WindowText(editor));
        EXPECT_EQ(4, Count());
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), StoredSurnames());
    EXPECT_EQ((std::vector<std::wstring>{L"ax", L"b", L"c"}), ColumnTexts(List()));
}

// On an unnamed record an emptied surname box only shows the stored one
// again; the number typed into it keeps the contact.
TEST_F(ContactEditorTest, NewOnAnUnnamedRecordOnlyRefillsTheForm) {
    StartWith({Contact("a")});
    OpenEditor(IDM_ITEM_ADD, Caption(1), [this](HWND editor) {
        TypeInto(Box(editor, Mobile), L"123");
        ClickButton(editor, IDC_EDITOR_NEW);
        EXPECT_EQ(Caption(1), WindowText(editor));
        EXPECT_EQ(L"123", WindowText(Box(editor, Mobile)));
        EXPECT_EQ(2, Count());
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ(2, Count());
}

TEST_F(ContactEditorTest, NewRefusesA513thContactLikeAdd) {
    std::vector<ContactRecord> full;
    for (int i = 0; i < TestBookCapacity; ++i) full.push_back(Contact("n" + std::to_string(i)));
    StartWith(full);
    App.document.contacts.capacity = TestBookCapacity;
    SelectRow(List(), TestBookCapacity - 1);
    ModalAnswers answers;
    answers.ExpectDialog(Caption(TestBookCapacity - 1), [this](HWND editor) {
        TypeInto(Box(editor, GivenName), L"g");
        ClickButton(editor, IDC_EDITOR_NEW);
        EXPECT_EQ(Caption(TestBookCapacity - 1), WindowText(editor));
        EXPECT_EQ(TestBookCapacity, Count());
        EXPECT_EQ("g", FieldValue(Record(TestBookCapacity - 1), GivenName));
        ClickButton(editor, IDOK);
    });
    answers.ExpectMessage(BookFullText, L"注意", MB_OK | MB_ICONWARNING, IDOK);
    SendCommand(IDM_ITEM_EDIT);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(TestBookCapacity, Count());
}

TEST_F(ContactEditorTest, EscapeAndTheCloseCommandDoNothing) {
    StartWith({Contact("a")});
    EditRow(0, Caption(0), [](HWND editor) {
        EXPECT_FALSE(GetWindowLongW(editor, GWL_STYLE) & WS_SYSMENU);
        SendMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 0);
        PressButton(editor, IDCANCEL);
        SendMessageW(editor, WM_CLOSE, 0, 0);
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(editor));
        EXPECT_EQ(Caption(0), WindowText(editor));
        ClickButton(editor, IDOK);
    });
}

// "确定" selects the same row number again and scrolls back to where the
// list was, though the row may now show another contact.
TEST_F(ContactEditorTest, ConfirmingKeepsTheSelectedRowNumberAndTheScrollPosition) {
    std::vector<ContactRecord> many;
    for (int i = 0; i < 80; ++i) many.push_back(Contact("n" + std::to_string(i)));
    StartWith(many);
    ListView_EnsureVisible(List(), 60, FALSE);
    PumpMessages();
    int top = ListView_GetTopIndex(List());
    ASSERT_GT(top, 20);
    SelectRow(List(), 50);
    ListView_EnsureVisible(List(), 60, FALSE);
    EditRow(50, Caption(50), [](HWND editor) {
        TypeInto(Box(editor, Surname), L"renamed");
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ(top, ListView_GetTopIndex(List()));
    EXPECT_EQ(50, FirstSelectedRow());
    EXPECT_EQ(50, ListView_GetNextItem(List(), -1, LVNI_FOCUSED));
    EXPECT_EQ(L"renamed", CellText(List(), 50, 0));
    EXPECT_EQ(List(), GetFocus());

    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    OpenEditor(IDM_ITEM_ADD, Caption(80), [](HWND editor) {
        TypeInto(Box(editor, Surname), L"added");
        ClickButton(editor, IDOK);
    });
    EXPECT_EQ(-1, FirstSelectedRow());
    EXPECT_EQ(top, ListView_GetTopIndex(List()));
    EXPECT_EQ(81, RowCount(List()));
}

TEST_F(ContactEditorTest, DoubleClickingARowOpensTheEditorOnIt) {
    StartWith({Contact("a"), Contact("b")});
    ModalAnswers answers;
    answers.ExpectDialog(Caption(1), [](HWND editor) {
        EXPECT_EQ(L"b", WindowText(Box(editor, Surname)));
        ClickButton(editor, IDOK);
    });
    DoubleClickRow(List(), 1);
    EXPECT_TRUE(answers.AllAnswered());
}

// "其他信息..." lists the contact's items; an item is added, changed and
// removed there, and a surname longer than its field is kept whole.
TEST_F(ContactEditorTest, TheItemsDialogAddsChangesAndRemovesItemsAndNamesStayWhole) {
    StartWith({Contact("a")});
    DetailsOf(App.document.contacts, &Record(0)).items = {MakeItem(ItemKind::Url, "", "http://old.example")};
    std::vector<std::wstring> shownFirst;
    {
    ModalAnswers answers;
    answers.ExpectDialog(Caption(0), [](HWND editor) {
        TypeInto(Box(editor, Surname), L"Mustermann");
        ClickButton(editor, IDC_EDITOR_ITEMS);
        ClickButton(editor, IDOK);
    });
    answers.ExpectDialog(L"其他信息", [&shownFirst](HWND items) {
        HWND list = GetDlgItem(items, IDC_ITEM_LIST);
        shownFirst = ListBoxTexts(list);
        ChooseInCombo(GetDlgItem(items, IDC_ITEM_KIND), static_cast<int>(ItemKind::Note));
        TypeInto(GetDlgItem(items, IDC_ITEM_LABEL), L"");
        TypeInto(GetDlgItem(items, IDC_ITEM_VALUE), L"第一行\r第二行");  // Enter
        ClickButton(items, IDC_ITEM_ADD);
        ChooseInCombo(GetDlgItem(items, IDC_ITEM_KIND), static_cast<int>(ItemKind::Phone));
        TypeInto(GetDlgItem(items, IDC_ITEM_LABEL), L"微信");
        TypeInto(GetDlgItem(items, IDC_ITEM_VALUE), L"13900001111");
        ClickButton(items, IDC_ITEM_ADD);
        // Kept by kind, as the files keep them: the number first, the website, the note.
        ChooseInListBox(list, 0);
        TypeInto(GetDlgItem(items, IDC_ITEM_VALUE), L"13900002222");
        ClickButton(items, IDC_ITEM_CHANGE);
        ChooseInListBox(list, 1);
        ClickButton(items, IDC_ITEM_REMOVE);
        ClickButton(items, IDOK);
    });
    SelectRow(List(), 0);
    SendCommand(IDM_ITEM_EDIT);
    EXPECT_TRUE(answers.AllAnswered());
    }
    EXPECT_EQ(std::vector<std::wstring>({L"网页  |    |  http://old.example"}), shownFirst);
    const ContactDetails& details = DetailsOf(App.document.contacts, &Record(0));
    ASSERT_EQ(2u, details.items.size());
    EXPECT_EQ(ItemKind::Phone, details.items[0].kind);
    EXPECT_EQ(Gbk("微信"), details.items[0].label);
    EXPECT_EQ("13900002222", details.items[0].parts[0]);
    EXPECT_EQ(ItemKind::Note, details.items[1].kind);
    EXPECT_EQ(Gbk("第一行\n第二行"), details.items[1].parts[0]);
    EXPECT_EQ("Musterman", FieldValue(Record(0), Surname));
    EXPECT_EQ(L"Mustermann", CellText(List(), 0, 0).substr(0, 10));
    EditRow(0, Caption(0), [](HWND editor) {
        EXPECT_EQ(L"Mustermann", WindowText(Box(editor, Surname)));
        ClickButton(editor, IDOK);
    });
}

// The editor is kept between openings: each opening shows the book as it
// is then, with the focus back in the surname box.
TEST_F(ContactEditorTest, OpenedAgainItShowsTheGroupsAndTheRecordAsTheyAreNow) {
    StartWith({Contact("a"), Contact("b")});
    int groups = GroupCount(App.document.groups);
    EditRow(1, Caption(1), [](HWND editor) {
        SetFocus(Box(editor, Nickname));
        ClickButton(editor, IDOK);
    });
    AppendGroup(App.document.groups, Gbk("同事"));
    EditRow(0, Caption(0), [groups](HWND editor) {
        EXPECT_EQ(L"a", WindowText(Box(editor, Surname)));
        EXPECT_EQ(groups + 1, ComboBox_GetCount(GroupChoice(editor)));
        EXPECT_EQ(Box(editor, Surname), GetFocus());
        ClickButton(editor, IDOK);
    });
}
