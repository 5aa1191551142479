// Add, Edit, Delete, Delete ticked and Select all, the check boxes, the
// double-click and the context menu of the contact list.
#include <windows.h>

#include <cstdio>

#include "listview/ui/contact_list.h"
#include "resources/resource.h"
#include "store/address_book_file.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

const wchar_t DeleteTickedQuestion[] = L"删除所有选中条目，点击“是”确认删除操作。";
const wchar_t TickedDeletedText[] = L"选中项已经删除完毕！";
const UINT YesNoWarning = MB_YESNO | MB_ICONWARNING;


std::vector<std::string> StoredSurnames() {
    std::vector<std::string> names;
    for (const auto& record : App.document.contacts.records) names.push_back(FieldValue(*record, Surname));
    return names;
}

std::vector<int> CheckFlags() {
    std::vector<int> flags;
    for (const auto& record : App.document.contacts.records) flags.push_back(record->CheckFlag);
    return flags;
}

// The contact editor on the record at this position, closed at once with "确定".
void ExpectEditorClosed(ModalAnswers& answers, int position) {
    answers.ExpectDialog(L"浏览项目 - #" + std::to_wstring(position), [](HWND editor) { PressButton(editor, IDOK); });
}

class ItemCommandTest : public MainWindowTest {
protected:
    ContactRecord* Record(int index) { return RecordAt(App.document.contacts, index); }
};

}  // namespace

TEST_F(ItemCommandTest, DeleteWithoutASelectedRowAsksForOne) {
    StartWith({Contact("a")});
    ModalAnswers answers;
    answers.ExpectMessage(L"请选择一项！", L"注意", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_ITEM_DELETE);
    answers.ExpectMessage(L"请选择一项！", L"注意", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDC_DELETE_BUTTON);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1, RowCount(List()));
}

TEST_F(ItemCommandTest, DeleteNamesTheContactAndRemovesItOnYes) {
    StartWith({Person(Gbk("张"), Gbk("三")), Person(Gbk("李"), Gbk("四")), Person("c")});
    SelectRow(List(), 1);
    ModalAnswers answers;
    const std::wstring question = L"你选择删除项目：\n姓名：李四\n点击“是”确认删除。";
    answers.ExpectMessage(question, L"删除", YesNoWarning, IDNO);
    SendCommand(IDM_ITEM_DELETE);
    EXPECT_EQ(3, RowCount(List()));

    answers.ExpectMessage(question, L"删除", YesNoWarning, IDYES);
    SendCommand(IDC_DELETE_BUTTON);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{L"张三", L"c"}), ColumnTexts(List()));
    EXPECT_EQ(2, RecordCount(App.document.contacts));
    EXPECT_EQ(-1, ListView_GetNextItem(List(), -1, LVNI_SELECTED));
}

// Row n is the n-th record that passes the filters.
TEST_F(ItemCommandTest, ARowUnderASearchIsTheRecordItShows) {
    StartWith({Contact("apple"), Contact("banana"), Contact("cherry"), Contact("bean")});
    TypeInto(App.quickSearchBox, L"b");
    ASSERT_EQ((std::vector<std::wstring>{L"banana", L"bean"}), ColumnTexts(List()));
    SelectRow(List(), 1);
    ModalAnswers answers;
    answers.ExpectMessage(L"你选择删除项目：\n姓名：bean\n点击“是”确认删除。", L"删除", YesNoWarning, IDYES);
    SendCommand(IDM_ITEM_DELETE);
    EXPECT_EQ((std::vector<std::string>{"apple", "banana", "cherry"}), StoredSurnames());
    EXPECT_EQ((std::vector<std::wstring>{L"banana"}), ColumnTexts(List()));
}

TEST_F(ItemCommandTest, EditWithoutASelectedRowDoesNothing) {
    StartWith({Contact("a")});
    ModalAnswers answers;  // no message
    App.editedRecord = nullptr;
    SendCommand(IDM_ITEM_EDIT);
    SendCommand(IDC_EDIT_BUTTON);
    EXPECT_EQ(nullptr, App.editedRecord);
}

TEST_F(ItemCommandTest, EditOpensTheEditorOnTheSelectedRowsRecord) {
    StartWith({Contact("a", 0), Contact("b", 1), Contact("c", 1)});
    ChooseInCombo(App.groupFilter, 2);  // 家人: b and c
    SelectRow(List(), 1);
    ModalAnswers answers;
    ExpectEditorClosed(answers, 2);
    SendCommand(IDM_ITEM_EDIT);
    EXPECT_EQ(Record(2), App.editedRecord);
    SelectRow(List(), 0);
    ExpectEditorClosed(answers, 1);
    SendCommand(IDC_EDIT_BUTTON);
    EXPECT_EQ(Record(1), App.editedRecord);
    EXPECT_TRUE(answers.AllAnswered());
}

TEST_F(ItemCommandTest, DoubleClickingARowEditsIt) {
    StartWith({Contact("a"), Contact("b")});
    App.editedRecord = nullptr;
    ModalAnswers answers;
    DoubleClickRow(List(), 2);  // below the rows: nothing
    EXPECT_EQ(nullptr, App.editedRecord);
    ExpectEditorClosed(answers, 1);
    DoubleClickRow(List(), 1);
    EXPECT_EQ(Record(1), App.editedRecord);
    EXPECT_TRUE(answers.AllAnswered());
}

// The editor removes a contact left without a surname when it closes.
TEST_F(ItemCommandTest, AddGivesTheEditorANewRecordThatGoesIfLeftUnnamed) {
    StartWith({Contact("a")});
    ModalAnswers answers;
    ExpectEditorClosed(answers, 1);
    SendCommand(IDM_ITEM_ADD);
    ExpectEditorClosed(answers, 1);
    SendCommand(IDC_ADD_BUTTON);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::string>{"a"}), StoredSurnames());
    EXPECT_EQ(nullptr, App.editedRecord);
    EXPECT_EQ(1, RowCount(List()));
}

TEST_F(ItemCommandTest, AddRefusesA513thContact) {
    std::vector<ContactRecord> full;
    for (int i = 0; i < TestBookCapacity; ++i) full.push_back(Contact("n" + std::to_string(i)));
    StartWith(full);
    App.document.contacts.capacity = TestBookCapacity;
    App.editedRecord = nullptr;
    ModalAnswers answers;
    const wchar_t refusal[] = L"一个通讯录最多只能保存512个联系人，现在已经满了。\n请先删除不需要的联系人，再添加新的联系人。";
    answers.ExpectMessage(refusal, L"注意", MB_OK | MB_ICONWARNING, IDOK);
    SendCommand(IDM_ITEM_ADD);
    answers.ExpectMessage(refusal, L"注意", MB_OK | MB_ICONWARNING, IDOK);
    SendCommand(IDC_ADD_BUTTON);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(TestBookCapacity, RecordCount(App.document.contacts));
    EXPECT_EQ(nullptr, App.editedRecord);
}

TEST_F(ItemCommandTest, TickingABoxSetsItsRecordsFlagAndClearsTheSelection) {
    StartWith({Contact("a"), Contact("b"), Contact("c")});
    SelectRow(List(), 0);
    ClickCheckBox(List(), 2);
    EXPECT_TRUE(IsTicked(List(), 2));
    EXPECT_EQ((std::vector<int>{0, 0, 1}), CheckFlags());
    EXPECT_FALSE(IsSelected(List(), 0));
    ClickCheckBox(List(), 2);
    EXPECT_FALSE(IsTicked(List(), 2));
    EXPECT_EQ((std::vector<int>{0, 0, 0}), CheckFlags());
}

// The box of a selected row counts as much as any other.
TEST_F(ItemCommandTest, TickingTheSelectedRowsBoxCountsToo) {
    StartWith({Contact("a"), Contact("b")});
    SelectRow(List(), 1);
    ClickCheckBox(List(), 1);
    EXPECT_TRUE(IsTicked(List(), 1));
    EXPECT_EQ((std::vector<int>{0, 1}), CheckFlags());
    SelectRow(List(), 0);  // a selection alone ticks nothing
    EXPECT_EQ((std::vector<int>{0, 1}), CheckFlags());
}

TEST_F(ItemCommandTest, ATickSurvivesBeingFilteredOut) {
    StartWith({Contact("apple"), Contact("banana")});
    SetTicked(List(), 1, true);
    TypeInto(App.quickSearchBox, L"app");
    EXPECT_EQ(1, RowCount(List()));
    EXPECT_EQ((std::vector<int>{0, 1}), CheckFlags());
    TypeInto(App.quickSearchBox, L"");
    EXPECT_FALSE(IsTicked(List(), 0));
    EXPECT_TRUE(IsTicked(List(), 1));
}

TEST_F(ItemCommandTest, SelectAllTicksEveryContactAlsoHiddenOnes) {
    StartWith({Contact("apple"), Contact("banana"), Contact("avocado")});
    TypeInto(App.quickSearchBox, L"a");
    TypeInto(App.quickSearchBox, L"av");
    ASSERT_EQ(1, RowCount(List()));
    SendCommand(IDM_ITEM_SELECT_ALL);
    EXPECT_TRUE(IsTicked(List(), 0));
    EXPECT_EQ((std::vector<int>{1, 1, 1}), CheckFlags());
    TypeInto(App.quickSearchBox, L"");
    for (int row = 0; row < 3; ++row) EXPECT_TRUE(IsTicked(List(), row)) << row;
}

TEST_F(ItemCommandTest, DeleteTickedRemovesTickedContactsAlsoHiddenOnes) {
    StartWith({Contact("apple"), Contact("banana"), Contact("avocado"), Contact("cherry")});
    SetTicked(List(), 1, true);
    SetTicked(List(), 2, true);
    TypeInto(App.quickSearchBox, L"cherry");
    ModalAnswers answers;
    answers.ExpectMessage(DeleteTickedQuestion, L"删除", YesNoWarning, IDNO);
    SendCommand(IDM_ITEM_DELETE_TICKED);
    EXPECT_EQ(4, RecordCount(App.document.contacts));

    answers.ExpectMessage(DeleteTickedQuestion, L"删除", YesNoWarning, IDYES);
    answers.ExpectMessage(TickedDeletedText, L"删除", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_ITEM_DELETE_TICKED);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::string>{"apple", "cherry"}), StoredSurnames());
    EXPECT_EQ((std::vector<std::wstring>{L"cherry"}), ColumnTexts(List()));
}

// More contacts than the list shows, and than older books held: the last
// row is reached by scrolling, and its tick and a hidden one are deleted.
TEST_F(ItemCommandTest, ALongBookScrollsToItsLastRowWhoseTickIsDeleted) {
    const int count = 600;
    std::vector<ContactRecord> contacts;
    for (int index = 0; index < count; ++index) {
        char name[8];
        snprintf(name, sizeof name, "c%03d", index);
        contacts.push_back(Contact(name));
    }
    StartWith(contacts);
    ASSERT_EQ(count, RowCount(List()));
    ASSERT_LT(ListView_GetCountPerPage(List()), count);
    ClickCheckBox(List(), 0);
    SendMessageW(List(), WM_KEYDOWN, VK_END, 0);
    SendMessageW(List(), WM_KEYUP, VK_END, 0);
    PumpMessages();
    EXPECT_GE(ListView_GetTopIndex(List()) + ListView_GetCountPerPage(List()), count);
    ClickCheckBox(List(), count - 1);
    EXPECT_EQ(1, RecordAt(App.document.contacts, count - 1)->CheckFlag);
    TypeInto(App.quickSearchBox, L"c300");
    ASSERT_EQ(1, RowCount(List()));
    ModalAnswers answers;
    answers.ExpectMessage(DeleteTickedQuestion, L"删除", YesNoWarning, IDYES);
    answers.ExpectMessage(TickedDeletedText, L"删除", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_ITEM_DELETE_TICKED);
    EXPECT_TRUE(answers.AllAnswered());
    std::vector<std::string> names = StoredSurnames();
    ASSERT_EQ(size_t(count - 2), names.size());
    EXPECT_EQ("c001", names.front());
    EXPECT_EQ("c598", names.back());
    TypeInto(App.quickSearchBox, L"");
    EXPECT_EQ(count - 2, RowCount(List()));
}

TEST_F(ItemCommandTest, SelectAllThenDeleteTickedUnderASearchEmptiesTheBook) {
    StartWith({Contact("apple"), Contact("banana")});
    TypeInto(App.quickSearchBox, L"ban");
    SendCommand(IDM_ITEM_SELECT_ALL);
    ModalAnswers answers;
    answers.ExpectMessage(DeleteTickedQuestion, L"删除", YesNoWarning, IDYES);
    answers.ExpectMessage(TickedDeletedText, L"删除", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_ITEM_DELETE_TICKED);
    EXPECT_EQ(0, RecordCount(App.document.contacts));
}

TEST_F(ItemCommandTest, DeleteTickedReportsEvenWhenNothingWasTicked) {
    StartWith({Contact("a")});
    ModalAnswers answers;
    answers.ExpectMessage(DeleteTickedQuestion, L"删除", YesNoWarning, IDYES);
    answers.ExpectMessage(TickedDeletedText, L"删除", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_ITEM_DELETE_TICKED);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ(1, RecordCount(App.document.contacts));
}

TEST_F(ItemCommandTest, RightClickingARowShowsTheItemMenu) {
    StartWith({Contact("a"), Contact("b")});
    {
        PopupMenuAnswer menu;
        RightClickRow(List(), 2);  // below the rows
        EXPECT_FALSE(menu.Shown());
    }
    PopupMenuAnswer menu;
    RightClickRow(List(), 0);
    ASSERT_TRUE(menu.Shown());
    EXPECT_EQ((std::vector<UINT>{IDM_ITEM_ADD, IDM_ITEM_EDIT, IDM_ITEM_DELETE, IDM_ITEM_DELETE_TICKED, 0,
                                 IDM_ITEM_SELECT_ALL, IDM_ITEM_SORT_BY_NAME}),
              menu.ids);
    EXPECT_EQ((std::vector<std::wstring>{L"添加...", L"编辑...", L"删除", L"删除选中", L"", L"全选", L"按姓名排序"}), menu.texts);
}

TEST_F(ItemCommandTest, AChoiceInTheContextMenuRunsItsCommand) {
    StartWith({Contact("a"), Contact("b")});
    PopupMenuAnswer menu(IDM_ITEM_SELECT_ALL);
    RightClickRow(List(), 1);
    ASSERT_TRUE(menu.Shown());
    PumpMessages();
    EXPECT_EQ((std::vector<int>{1, 1}), CheckFlags());
}

// The book itself is put in order: the rows, the editor's steps and the
// saved file follow it, and nothing is written before the user saves.
TEST_F(ItemCommandTest, SortByNameOrdersTheBookAndTheSaveKeepsIt) {
    StartWith({Contact(Gbk("张")), Contact("Li"), Contact(Gbk("安")), Contact(Gbk("曾")), Contact("1")});
    Record(1)->CheckFlag = 1;
    SendCommand(IDM_ITEM_SORT_BY_NAME);
    EXPECT_EQ((std::vector<std::wstring>{L"安", L"Li", L"曾", L"张", L"1"}), ColumnTexts(List()));
    EXPECT_TRUE(IsTicked(List(), 1));  // the tick goes with its contact
    EXPECT_EQ(Gbk("安"), FieldValue(*Record(0), Surname));

    Document saved;
    ASSERT_EQ(LoadOk, ReadAddressBook(PathOf("default.txl"), saved.groups, saved.contacts));
    EXPECT_EQ(Gbk("张"), FieldValue(*RecordAt(saved.contacts, 0), Surname));  // not saved yet

    ModalAnswers answers;
    answers.ExpectMessage(L"文件保存！", L"保存", MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_FILE_SAVE);
    EXPECT_TRUE(answers.AllAnswered());
    Document reread;
    ASSERT_EQ(LoadOk, ReadAddressBook(PathOf("default.txl"), reread.groups, reread.contacts));
    EXPECT_EQ(Gbk("安"), FieldValue(*RecordAt(reread.contacts, 0), Surname));
    EXPECT_EQ("1", FieldValue(*RecordAt(reread.contacts, 4), Surname));
}

// The list holds no texts or ticks of its own, yet the keyboard works as
// on any list: space ticks the focused row, a typed letter finds a name.
TEST_F(ItemCommandTest, TheKeyboardTicksAndFindsRows) {
    StartWith({Contact("apple"), Contact("banana"), Contact("cherry")});
    SetFocus(List());
    SelectRow(List(), 1);
    SendMessageW(List(), WM_KEYDOWN, VK_SPACE, 0);
    PumpMessages();
    EXPECT_EQ((std::vector<int>{0, 1, 0}), CheckFlags());
    EXPECT_TRUE(IsTicked(List(), 1));
    SendMessageW(List(), WM_CHAR, L'c', 1);  // one key press
    PumpMessages();
    EXPECT_EQ(2, FirstSelectedRow());
}

// Only the box ticks: a click on the name or on another column selects
// the row and ticks nothing.
TEST_F(ItemCommandTest, AClickOnARowsTextSelectsItWithoutATick) {
    StartWith({Contact("a"), Contact("b"), Contact("c")});
    ClickRow(List(), 1);
    EXPECT_TRUE(IsSelected(List(), 1));
    RECT cell = {};
    ASSERT_TRUE(ListView_GetSubItemRect(List(), 2, 1, LVIR_LABEL, &cell));
    ClickAt(List(), MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    EXPECT_TRUE(IsSelected(List(), 2));
    EXPECT_FALSE(IsSelected(List(), 1));
    EXPECT_EQ((std::vector<int>{0, 0, 0}), CheckFlags());
}
