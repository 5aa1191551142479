// The settings dialog: the column check boxes and the default file name,
// driven through the dialog's own controls.
#include <windows.h>

#include <functional>

#include "dialogs/settings_dialog.h"
#include "listview/columns.h"
#include "resources/resource.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

namespace {

const wchar_t SettingsCaption[] = L"设置";

HWND CheckBox(HWND dialog, int flag) { return GetDlgItem(dialog, ColumnCheckBoxOf(flag)); }
bool IsTickedBox(HWND dialog, int flag) { return IsDlgButtonChecked(dialog, ColumnCheckBoxOf(flag)) == BST_CHECKED; }
// Clicks a check box as the user does: it toggles itself.
void Toggle(HWND dialog, int flag) {
    SendMessageW(CheckBox(dialog, flag), BM_CLICK, 0, 0);
}
HWND NameBox(HWND dialog) { return GetDlgItem(dialog, IDC_SETTINGS_DEFAULT_FILE); }

std::vector<int> Flags() { return std::vector<int>(App.settings.ColumnFlags, App.settings.ColumnFlags + ColumnFlagCount); }

class SettingsDialogTest : public MainWindowTest {
protected:
    void OpenSettings(std::function<void(HWND)> act) {
        ModalAnswers answers;
        answers.ExpectDialog(SettingsCaption, act);
        SendCommand(IDM_SETTINGS);
        EXPECT_TRUE(answers.AllAnswered());
    }
    void ConfirmName(const std::wstring& typed) {
        OpenSettings([typed](HWND dialog) {
            TypeInto(NameBox(dialog), typed);
            ClickButton(dialog, IDOK);
        });
    }
};

}  // namespace

TEST_F(SettingsDialogTest, OpensOnTheCurrentFlagsWithTheColumnHeadersAsLabels) {
    StartCorvelle();
    App.settings.ColumnFlags[EmailColumn] = 2;  // only 1 counts as shown
    OpenSettings([](HWND dialog) {
        EXPECT_FALSE(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU);
        std::vector<int> ticked;
        for (int flag = 0; flag < ColumnFlagCount; ++flag) {
            EXPECT_EQ(AsWide(ColumnInfoOf(flag).header), WindowText(CheckBox(dialog, flag)));
            if (IsTickedBox(dialog, flag)) ticked.push_back(flag);
        }
        EXPECT_EQ((std::vector<int>{GenderColumn, NicknameColumn, MobileColumn, HomePhoneColumn, WorkPhoneColumn}), ticked);
        EXPECT_EQ(L"default.txl", WindowText(NameBox(dialog)));
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(2, App.settings.ColumnFlags[EmailColumn]);
}

TEST_F(SettingsDialogTest, ColumnChangesTakeEffectAtOnceAndSurviveARestart) {
    WriteBook("default.txl", BookWith({Person("apple"), Person("bean")}));
    StartCorvelle();
    TypeInto(App.quickSearchBox, L"b");
    ChooseInCombo(App.groupFilter, 1);
    ChooseInCombo(App.fieldFilter, 2);
    OpenSettings([](HWND dialog) {
        Toggle(dialog, GenderColumn);
        Toggle(dialog, EmailColumn);
        Toggle(dialog, BirthdayColumn);
        Toggle(dialog, HomeFaxColumn);
        TypeInto(NameBox(dialog), L"  my book.txl ");
        ClickButton(dialog, IDOK);
    });
    const std::vector<std::wstring> headers = {L"姓名", L"昵称", L"生日", L"手机号", L"邮箱",
                                               L"家庭电话", L"公司电话", L"家庭传真"};
    EXPECT_EQ(headers, ColumnHeaders(List()));
    EXPECT_EQ(0, ComboSelection(App.fieldFilter));
    EXPECT_EQ(1, ComboSelection(App.groupFilter));
    EXPECT_EQ(L"b", WindowText(App.quickSearchBox));
    EXPECT_EQ((std::vector<std::wstring>{L"bean"}), ColumnTexts(List()));
    EXPECT_EQ("my book.txl", FieldString(App.settings.DefaultFileName, DefaultFileNameWidth));

    ModalAnswers answers;
    answers.ExpectMessage(L"在退出之前是否保存？", L"退出", MB_YESNOCANCEL | MB_ICONQUESTION, IDNO);
    EXPECT_TRUE(CloseCorvelle());
    WriteBook("my book.txl", BookWith({Person("mine")}));
    StartCorvelle();
    EXPECT_EQ(headers, ColumnHeaders(List()));
    EXPECT_EQ((std::vector<std::wstring>{L"mine"}), ColumnTexts(List()));
}

TEST_F(SettingsDialogTest, WithEveryBoxUntickedOnlyTheNameColumnIsLeft) {
    StartCorvelle();
    OpenSettings([](HWND dialog) {
        for (int flag = 0; flag < ColumnFlagCount; ++flag) {
            if (IsTickedBox(dialog, flag)) Toggle(dialog, flag);
        }
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{L"姓名"}), ColumnHeaders(List()));
    EXPECT_EQ(std::vector<int>(ColumnFlagCount, 0), Flags());
    EXPECT_EQ((std::vector<std::wstring>{L"- 所有类别 -", L"姓名"}), ComboTexts(App.fieldFilter));

    OpenSettings([](HWND dialog) {
        for (int flag = 0; flag < ColumnFlagCount; ++flag) Toggle(dialog, flag);
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<int>(ColumnFlagCount, 1), Flags());
    EXPECT_EQ(static_cast<size_t>(ColumnFlagCount + 1), ColumnHeaders(List()).size());
}

TEST_F(SettingsDialogTest, TheNameIsTrimmedAndAnEmptyOneIsTheDefault) {
    StartCorvelle();
    struct Case {
        std::wstring typed;
        std::string stored;
    } cases[] = {
        {L"  a b.txl  ", "a b.txl"},
        {L"", "default.txl"},
        {L"     ", "default.txl"},
        {L"通讯录.txl", Gbk("通讯录.txl")},
    };
    for (const Case& c : cases) {
        ConfirmName(c.typed);
        EXPECT_EQ(c.stored, FieldString(App.settings.DefaultFileName, DefaultFileNameWidth));
    }
    // At most 255 bytes are read, never half a character.
    ConfirmName(L"a" + std::wstring(200, L'书'));
    EXPECT_EQ("a" + [] {
        std::string name;
        for (int i = 0; i < 127; ++i) name += Gbk("书");
        return name;
    }(), FieldString(App.settings.DefaultFileName, DefaultFileNameWidth));
}

TEST_F(SettingsDialogTest, CancelAndEscapeChangeNothing) {
    StartCorvelle();
    ChooseInCombo(App.fieldFilter, 2);
    std::vector<int> before = Flags();
    OpenSettings([](HWND dialog) {
        Toggle(dialog, GenderColumn);
        TypeInto(NameBox(dialog), L"other.txl");
        ClickButton(dialog, IDCANCEL);
    });
    OpenSettings([](HWND dialog) {
        Toggle(dialog, QQColumn);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // what Esc sends
    });
    EXPECT_EQ(before, Flags());
    EXPECT_EQ("default.txl", FieldString(App.settings.DefaultFileName, DefaultFileNameWidth));
    EXPECT_EQ(2, ComboSelection(App.fieldFilter));
    EXPECT_EQ(6u, ColumnHeaders(List()).size());
}

TEST_F(SettingsDialogTest, ConfirmingWithoutChangesStillRebuildsTheList) {
    WriteBook("default.txl", BookWith({Person("a")}));
    StartCorvelle();
    ChooseInCombo(App.fieldFilter, 3);
    App.document.contacts.records[0]->Surname[0] = 'z';  // changed behind the list's back
    OpenSettings([](HWND dialog) { ClickButton(dialog, IDOK); });
    EXPECT_EQ(0, ComboSelection(App.fieldFilter));
    EXPECT_EQ((std::vector<std::wstring>{L"z"}), ColumnTexts(List()));
}
