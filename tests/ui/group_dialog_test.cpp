// The group dialog: adding, renaming and deleting groups through its own
// controls, and what that does to the contacts and the group filter.
#include <windows.h>
#include <windowsx.h>

#include <functional>

#include "resources/resource.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

namespace {

const wchar_t GroupsCaption[] = L"分组管理";
const wchar_t DeleteQuestion[] = L"你确定删除该分组？\n删除该组后原属于该组的项目全部归于第一组";
const wchar_t DeleteCaption[] = L"删除组";
const UINT YesNoQuestion = MB_YESNO | MB_ICONQUESTION;

HWND Entries(HWND dialog) { return GetDlgItem(dialog, IDC_GROUP_LIST); }
HWND NameBox(HWND dialog) { return GetDlgItem(dialog, IDC_GROUP_NAME); }

ContactRecord InGroup(const std::string& surname, int32_t group) {
    ContactRecord record = Person(surname);
    record.GroupIndex = group;
    return record;
}

std::vector<int32_t> GroupIndexes() {
    std::vector<int32_t> indexes;
    for (const auto& record : App.document.contacts.records) indexes.push_back(record->GroupIndex);
    return indexes;
}

std::vector<std::wstring> StoredGroupNames() {
    std::vector<std::wstring> names;
    for (int i = 0; i < GroupCount(App.document.groups); ++i) {
        names.push_back(WideFromGbk(GroupName(App.document.groups, i)));
    }
    return names;
}

class GroupDialogTest : public MainWindowTest {
protected:
    // One contact in each default group, and one more in 朋友 and 同学.
    void StartWithContactsInEveryGroup() {
        WriteBook("default.txl", BookWith({InGroup("g0", 0), InGroup("g1", 1), InGroup("g2", 2), InGroup("g3", 3),
                                           InGroup("g4", 4), InGroup("g2b", 2), InGroup("none", -1), InGroup("g4b", 4)}));
        StartCorvelle();
    }
    // Opens the dialog and works it; messages it shows are expected first.
    void OpenGroups(std::function<void(HWND)> act, std::function<void(ModalAnswers&)> expectMore = nullptr) {
        ModalAnswers answers;
        answers.ExpectDialog(GroupsCaption, act);
        if (expectMore) expectMore(answers);
        SendCommand(IDM_GROUPS);
        EXPECT_TRUE(answers.AllAnswered());
    }
};

void ExpectDeleteQuestion(ModalAnswers& answers, int answer) {
    answers.ExpectMessage(DeleteQuestion, DeleteCaption, YesNoQuestion, answer);
}

}  // namespace

TEST_F(GroupDialogTest, OpensOnTheGroupsWithTheFirstSelected) {
    StartCorvelle();
    OpenGroups([](HWND dialog) {
        EXPECT_FALSE(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU);
        EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"家人", L"朋友", L"同事", L"同学"}), ListBoxTexts(Entries(dialog)));
        EXPECT_EQ(0, ListBox_GetCurSel(Entries(dialog)));
        EXPECT_EQ(L"默认分组", WindowText(NameBox(dialog)));
        ChooseInListBox(Entries(dialog), 3);
        EXPECT_EQ(L"同事", WindowText(NameBox(dialog)));
        ClickButton(dialog, IDOK);
    });
}

TEST_F(GroupDialogTest, DeletingAGroupInTheMiddleMovesItsContactsToTheFirst) {
    StartWithContactsInEveryGroup();
    ChooseInCombo(App.groupFilter, 3);  // 朋友
    OpenGroups(
        [](HWND dialog) {
            ChooseInListBox(Entries(dialog), 2);
            ClickButton(dialog, IDC_GROUP_DELETE);
            EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"家人", L"同事", L"同学"}), ListBoxTexts(Entries(dialog)));
            EXPECT_EQ(LB_ERR, ListBox_GetCurSel(Entries(dialog)));
            EXPECT_EQ(L"朋友", WindowText(NameBox(dialog)));
            ClickButton(dialog, IDOK);
        },
        [](ModalAnswers& answers) { ExpectDeleteQuestion(answers, IDYES); });
    EXPECT_EQ((std::vector<int32_t>{0, 1, 0, 2, 3, 0, -1, 3}), GroupIndexes());
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有分组 -", L"默认分组", L"家人", L"同事", L"同学"}),
              ComboTexts(App.groupFilter));
    EXPECT_EQ(0, ComboSelection(App.groupFilter));
    EXPECT_EQ(8, RowCount(List()));
    ChooseInCombo(App.groupFilter, 1);
    EXPECT_EQ((std::vector<std::wstring>{L"g0", L"g2", L"g2b"}), ColumnTexts(List()));
}

TEST_F(GroupDialogTest, DeletingTheFirstGroupMovesItsContactsToTheFormerSecond) {
    StartWithContactsInEveryGroup();
    OpenGroups(
        [](HWND dialog) {
            ClickButton(dialog, IDC_GROUP_DELETE);  // entry 0 is selected on opening
            ClickButton(dialog, IDOK);
        },
        [](ModalAnswers& answers) { ExpectDeleteQuestion(answers, IDYES); });
    EXPECT_EQ((std::vector<std::wstring>{L"家人", L"朋友", L"同事", L"同学"}), StoredGroupNames());
    EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 2, 3, 1, -1, 3}), GroupIndexes());
    ChooseInCombo(App.groupFilter, 1);
    EXPECT_EQ((std::vector<std::wstring>{L"g0", L"g1"}), ColumnTexts(List()));
}

TEST_F(GroupDialogTest, NoKeepsTheGroupAndTheLastGroupIsNeverDeleted) {
    StartWithContactsInEveryGroup();
    OpenGroups(
        [](HWND dialog) {
            ChooseInListBox(Entries(dialog), 4);
            ClickButton(dialog, IDC_GROUP_DELETE);
            EXPECT_EQ(5, ListBox_GetCount(Entries(dialog)));
            for (int i = 0; i < 4; ++i) {
                ChooseInListBox(Entries(dialog), 0);
                ClickButton(dialog, IDC_GROUP_DELETE);
            }
            ClickButton(dialog, IDC_GROUP_DELETE);  // nothing selected: nothing asked
            ChooseInListBox(Entries(dialog), 0);
            ClickButton(dialog, IDC_GROUP_DELETE);  // the last group: nothing asked
            EXPECT_EQ((std::vector<std::wstring>{L"同学"}), ListBoxTexts(Entries(dialog)));
            ClickButton(dialog, IDOK);
        },
        [](ModalAnswers& answers) {
            ExpectDeleteQuestion(answers, IDNO);
            for (int i = 0; i < 4; ++i) ExpectDeleteQuestion(answers, IDYES);
        });
    EXPECT_EQ((std::vector<std::wstring>{L"同学"}), StoredGroupNames());
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 0, 0, 0, -1, 0}), GroupIndexes());
}

TEST_F(GroupDialogTest, AddedGroupsAreAllNamedNewGroup) {
    StartCorvelle();
    OpenGroups([](HWND dialog) {
        ClickButton(dialog, IDC_GROUP_ADD);
        ClickButton(dialog, IDC_GROUP_ADD);
        EXPECT_EQ(6, ListBox_GetCurSel(Entries(dialog)));
        EXPECT_EQ(L"新建分组", WindowText(NameBox(dialog)));
        EXPECT_EQ(L"新建分组", ListBoxTexts(Entries(dialog)).back());
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"家人", L"朋友", L"同事", L"同学", L"新建分组", L"新建分组"}),
              StoredGroupNames());
    EXPECT_EQ(L"新建分组", ComboTexts(App.groupFilter).back());
}

// A name keeps at most 15 bytes, never half a character; an empty one
// becomes "默认分组". Enter confirms rather than renames.
TEST_F(GroupDialogTest, RenameCutsTheNameAndGivesAnEmptyOneTheDefaultName) {
    StartCorvelle();
    OpenGroups([](HWND dialog) {
        ChooseInListBox(Entries(dialog), 1);
        TypeInto(NameBox(dialog), L"亲戚");
        ClickButton(dialog, IDC_GROUP_RENAME);
        EXPECT_EQ(1, ListBox_GetCurSel(Entries(dialog)));
        ChooseInListBox(Entries(dialog), 2);
        TypeInto(NameBox(dialog), L"");
        ClickButton(dialog, IDC_GROUP_RENAME);
        EXPECT_EQ(L"默认分组", WindowText(NameBox(dialog)));
        ChooseInListBox(Entries(dialog), 3);
        TypeInto(NameBox(dialog), L"一二三四五六七八");
        ClickButton(dialog, IDC_GROUP_RENAME);
        EXPECT_EQ(L"一二三四五六七", WindowText(NameBox(dialog)));
        ChooseInListBox(Entries(dialog), 4);
        TypeInto(NameBox(dialog), L"a一二三四五六七八");
        ClickButton(dialog, IDC_GROUP_RENAME);
        EXPECT_EQ(L"a一二三四五六七", WindowText(NameBox(dialog)));
        EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"亲戚", L"默认分组", L"一二三四五六七", L"a一二三四五六七"}),
                  ListBoxTexts(Entries(dialog)));
        TypeInto(NameBox(dialog), L"not renamed");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // what Enter in the name box sends
    });
    EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"亲戚", L"默认分组", L"一二三四五六七", L"a一二三四五六七"}),
              StoredGroupNames());
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有分组 -", L"默认分组", L"亲戚", L"默认分组", L"一二三四五六七",
                                         L"a一二三四五六七"}),
              ComboTexts(App.groupFilter));
}

TEST_F(GroupDialogTest, AfterADeleteRenameWaitsForASelection) {
    StartCorvelle();
    OpenGroups(
        [](HWND dialog) {
            ChooseInListBox(Entries(dialog), 1);
            ClickButton(dialog, IDC_GROUP_DELETE);
            TypeInto(NameBox(dialog), L"x");
            ClickButton(dialog, IDC_GROUP_RENAME);
            EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"朋友", L"同事", L"同学"}), ListBoxTexts(Entries(dialog)));
            ClickButton(dialog, IDOK);
        },
        [](ModalAnswers& answers) { ExpectDeleteQuestion(answers, IDYES); });
    EXPECT_EQ((std::vector<std::wstring>{L"默认分组", L"朋友", L"同事", L"同学"}), StoredGroupNames());
}

TEST_F(GroupDialogTest, AnEmptyListGetsTheDefaultGroup) {
    StartCorvelle();
    ClearGroups(App.document.groups);
    OpenGroups([](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"默认分组"}), ListBoxTexts(Entries(dialog)));
        EXPECT_EQ(L"默认分组", WindowText(NameBox(dialog)));
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{L"默认分组"}), StoredGroupNames());
}

TEST_F(GroupDialogTest, EscapeDoesNothingAndOkShowsEveryGroupAgain) {
    WriteBook("default.txl", BookWith({InGroup("ab", 0), InGroup("ac", 1), InGroup("b", 1)}));
    StartCorvelle();
    TypeInto(App.quickSearchBox, L"a");
    ChooseInCombo(App.groupFilter, 2);
    ASSERT_EQ((std::vector<std::wstring>{L"ac"}), ColumnTexts(List()));
    OpenGroups([](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindowVisible(dialog));
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(0, ComboSelection(App.groupFilter));
    EXPECT_EQ((std::vector<std::wstring>{L"ab", L"ac"}), ColumnTexts(List()));
}
