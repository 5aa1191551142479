// The synchronisation dialog against the real Radicale of the sync tests
// (servers.sh, started by ctest): connecting lists the account's address
// books while the window keeps running, a refused password is asked for
// again, and a remembered password comes back encrypted, never in plain.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <functional>
#include <string>

#include "../sync/sync_servers.h"
#include "app/command_icons.h"
#include "resources/resource.h"
#include "sync/carddav_client.h"
#include "sync/sync_engine.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

namespace {

const wchar_t SyncCaption[] = L"同步";
const wchar_t SaveFirstText[] = L"这个通讯录还没有保存为文件。请先点击“文件”菜单的“保存”，然后再同步。";
const wchar_t PasswordRefusedText[] = L"服务器拒绝了用户名或密码，请重新输入密码。";

// Runs the dialog's messages until `done` holds, for at most 30 s: the
// work thread reports back through them.
bool WaitFor(const std::function<bool()>& done) {
    for (int waited = 0; waited < 30000; waited += 20) {
        PumpMessages();
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

HWND Box(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// Types the test account and presses "连接"; true once the work is over
// ("连接" can be pressed again).
bool Connect(HWND dialog, const std::string& server, const std::string& password) {
    TypeInto(Box(dialog, IDC_SYNC_SERVER), WideFromUtf8(server));
    TypeInto(Box(dialog, IDC_SYNC_USER), WideFromUtf8(TestUser));
    TypeInto(Box(dialog, IDC_SYNC_PASSWORD), WideFromUtf8(password));
    ClickButton(dialog, IDC_SYNC_CONNECT);
    EXPECT_FALSE(IsWindowEnabled(Box(dialog, IDC_SYNC_CONNECT))) << "connecting runs on";
    return WaitFor([&] { return IsWindowEnabled(Box(dialog, IDC_SYNC_CONNECT)) != FALSE; });
}

// A phone's card of one contact, "Li Lei", with a mobile number.
std::string PhoneCard(const std::string& mobile) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:conflict-uid\r\nFN:Lei Li\r\nN:Li;Lei;;;\r\nTEL;TYPE=CELL:" + mobile +
           "\r\nEND:VCARD\r\n";
}

// The phone writes to the server (PUT a card, DELETE one) straight, as
// another device would.
void PhoneRequest(const std::string& method, const std::string& url, const std::string& card = std::string()) {
    HttpRequest request;
    request.method = method;
    request.url = url;
    request.user = TestUser;
    request.password = TestPassword;
    if (!card.empty()) request.headers = {{"Content-Type", "text/vcard; charset=utf-8"}};
    request.body = card;
    HttpSession* session = OpenHttpSession();
    HttpResponse response = SendHttpRequest(session, request);
    CloseHttpSession(session);
    EXPECT_EQ(2, response.status / 100) << method << " " << url << ": " << response.message;
}

ContactRecord* ContactNamed(const std::string& surname) {
    for (const auto& record : App.document.contacts.records) {
        if (FieldValue(*record, Surname) == surname) return record.get();
    }
    return nullptr;
}

// Chooses the address book of that name after "连接".
void ChooseBook(HWND dialog, const std::wstring& name) {
    std::vector<std::wstring> books = ComboTexts(Box(dialog, IDC_SYNC_BOOKS));
    auto listed = std::find(books.begin(), books.end(), name);
    ASSERT_NE(books.end(), listed) << "the address book is listed by its name";
    ChooseInCombo(Box(dialog, IDC_SYNC_BOOKS), static_cast<int>(listed - books.begin()));
}

// Presses "同步"; true once it has ended ("同步" can be pressed again).
bool Synchronise(HWND dialog) {
    ClickButton(dialog, IDC_SYNC_START);
    EXPECT_FALSE(IsWindowEnabled(Box(dialog, IDC_SYNC_START))) << "synchronising runs on";
    return WaitFor([&] { return IsWindowEnabled(Box(dialog, IDC_SYNC_START)) != FALSE; });
}

class SyncDialogTest : public MainWindowTest {
protected:
    void OpenSync(std::function<void(HWND)> act, std::function<void(ModalAnswers&)> expectMore = nullptr) {
        ModalAnswers answers;
        answers.ExpectDialog(SyncCaption, act);
        if (expectMore) expectMore(answers);
        SendCommand(IDM_SYNC);
        EXPECT_TRUE(answers.AllAnswered());
    }
    PathString Book() const { return PathOf("default.txl"); }
};

}  // namespace

TEST_F(SyncDialogTest, ConnectListsTheBooksAndARememberedPasswordComesBackEncrypted) {
    std::string bookUrl = NewRadicaleBook("同步测试 Corvelle");
    ASSERT_FALSE(bookUrl.empty());
    std::string server = ServerUrl("radicale");
    StartWith({Person(Gbk("张"), Gbk("三"))});
    OpenSync([&](HWND dialog) {
        EXPECT_TRUE(GetWindowLongW(Box(dialog, IDC_SYNC_PASSWORD), GWL_STYLE) & ES_PASSWORD);
        ASSERT_TRUE(Connect(dialog, server, TestPassword));
        ChooseBook(dialog, L"同步测试 Corvelle");
        SendMessageW(Box(dialog, IDC_SYNC_REMEMBER), BM_CLICK, 0, 0);
        ClickButton(dialog, IDCANCEL);
    });

    std::string file = ReadFileBytes(SyncSettingsPath(Book()));
    EXPECT_EQ(std::string::npos, file.find(TestPassword)) << "no password in plain text";
    SyncSettings kept;
    ASSERT_TRUE(ReadSyncSettings(Book(), kept));
    EXPECT_EQ(server, kept.serverUrl);
    EXPECT_EQ(TestUser, kept.user);
    EXPECT_EQ(bookUrl, kept.bookUrl);
    EXPECT_FALSE(kept.protectedPassword.empty());

    OpenSync([&](HWND dialog) {
        EXPECT_EQ(WideFromUtf8(server), WindowText(Box(dialog, IDC_SYNC_SERVER)));
        EXPECT_EQ(WideFromUtf8(TestPassword), WindowText(Box(dialog, IDC_SYNC_PASSWORD)));
        EXPECT_EQ(BST_CHECKED, Button_GetCheck(Box(dialog, IDC_SYNC_REMEMBER)));
        EXPECT_EQ(0, ComboBox_GetCurSel(Box(dialog, IDC_SYNC_BOOKS))) << "the chosen book is chosen again";
        // Unticked, the password leaves the file.
        SendMessageW(Box(dialog, IDC_SYNC_REMEMBER), BM_CLICK, 0, 0);
        ClickButton(dialog, IDCANCEL);
    });
    ASSERT_TRUE(ReadSyncSettings(Book(), kept));
    EXPECT_EQ("", kept.protectedPassword);
    EXPECT_EQ(bookUrl, kept.bookUrl);
}

TEST_F(SyncDialogTest, SynchronisingRunsOnAndEndsWithTheSummaryAndTheListRefreshed) {
    std::string bookUrl = NewRadicaleBook("两边");
    ASSERT_FALSE(bookUrl.empty());
    {
        TestClient test;
        AddressBook book;
        ASSERT_TRUE(Succeeded(ReadBookProperties(test.client, bookUrl, book)));
        WriteResult written;
        std::string uid = "uid-from-server@corvelle";
        ASSERT_TRUE(Succeeded(CreateCard(test.client, book, uid, SampleCard(uid, "Server Person"), written)));
    }
    StartWith({Person(Gbk("王"), Gbk("五"))});
    OpenSync([&](HWND dialog) {
        ASSERT_TRUE(Connect(dialog, ServerUrl("radicale"), TestPassword));
        ChooseBook(dialog, L"两边");
        ASSERT_TRUE(Synchronise(dialog));
        EXPECT_EQ(L"同步完成：上传 1 个，下载 1 个，删除 0 个，冲突 0 个。", WindowText(Box(dialog, IDC_SYNC_STATUS)));
        EXPECT_EQ(0, ListView_GetItemCount(Box(dialog, IDC_SYNC_CONFLICTS)));
        EXPECT_FALSE(IsWindowEnabled(Box(dialog, IDC_SYNC_KEEP_SERVER))) << "no conflict to decide";
        ClickButton(dialog, IDCANCEL);
    });
    std::vector<std::wstring> names = ColumnTexts(List());
    EXPECT_EQ(2u, names.size()) << "the list shows the contact that came from the server";
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), L"Server Person"));
}

TEST_F(SyncDialogTest, AConflictIsListedAndTheUsersPickIsKept) {
    std::string bookUrl = NewRadicaleBook("冲突");
    ASSERT_FALSE(bookUrl.empty());
    PhoneRequest("PUT", bookUrl + "c.vcf", PhoneCard("13900000001"));
    StartWith({});
    OpenSync([&](HWND dialog) {
        ASSERT_TRUE(Connect(dialog, ServerUrl("radicale"), TestPassword));
        ChooseBook(dialog, L"冲突");
        ASSERT_TRUE(Synchronise(dialog));
        ContactRecord* li = ContactNamed("Li");
        ASSERT_NE(nullptr, li);
        // Both sides change the same number, differently.
        SetField(*li, Mobile, "13911111111");
        PhoneRequest("PUT", bookUrl + "c.vcf", PhoneCard("13922222222"));
        ASSERT_TRUE(Synchronise(dialog));

        HWND conflicts = Box(dialog, IDC_SYNC_CONFLICTS);
        std::wstring summary = WindowText(Box(dialog, IDC_SYNC_STATUS));
        EXPECT_EQ(0u, summary.find(L"同步完成：")) << Utf8FromWide(summary);
        EXPECT_NE(std::wstring::npos, summary.find(L"冲突 1 个。")) << Utf8FromWide(summary);
        ASSERT_EQ(1, ListView_GetItemCount(conflicts));
        EXPECT_EQ(L"电话", CellText(conflicts, 0, 1));
        EXPECT_EQ(L"13911111111", CellText(conflicts, 0, 2));
        EXPECT_EQ(L"13922222222", CellText(conflicts, 0, 3));
        ClickButton(dialog, IDC_SYNC_KEEP_SERVER);
        EXPECT_EQ(0, ListView_GetItemCount(conflicts));
        EXPECT_FALSE(IsWindowEnabled(Box(dialog, IDC_SYNC_KEEP_SERVER)));
        EXPECT_EQ("13922222222", FieldValue(*ContactNamed("Li"), Mobile));
        ClickButton(dialog, IDCANCEL);
    });
}

TEST_F(SyncDialogTest, DeletingManyContactsIsAskedFirstAndNoChangesNothing) {
    std::string bookUrl = NewRadicaleBook("很多");
    ASSERT_FALSE(bookUrl.empty());
    const int count = 12;
    for (int i = 0; i < count; ++i) {
        std::string uid = "many-" + std::to_string(i);
        PhoneRequest("PUT", bookUrl + uid + ".vcf", SampleCard(uid, "Many " + std::to_string(i)));
    }
    StartWith({});
    const std::wstring question = L"这次同步将删除本地的 12 个联系人。\n确定要删除吗？点击“否”则什么也不改动。";
    OpenSync(
        [&](HWND dialog) {
            ASSERT_TRUE(Connect(dialog, ServerUrl("radicale"), TestPassword));
            ChooseBook(dialog, L"很多");
            ASSERT_TRUE(Synchronise(dialog));
            ASSERT_EQ(count, RecordCount(App.document.contacts));
            for (int i = 0; i < count; ++i) PhoneRequest("DELETE", bookUrl + "many-" + std::to_string(i) + ".vcf");
            ASSERT_TRUE(Synchronise(dialog));  // answered "否"
            EXPECT_EQ(L"没有同步，通讯录和服务器都没有改动。", WindowText(Box(dialog, IDC_SYNC_STATUS)));
            EXPECT_EQ(count, RecordCount(App.document.contacts));
            EXPECT_EQ(count, RowCount(List()));
            ASSERT_TRUE(Synchronise(dialog));  // answered "是": runs again, allowed to delete
            EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(Box(dialog, IDC_SYNC_START)) != FALSE; }));
            EXPECT_EQ(L"同步完成：上传 0 个，下载 0 个，删除 12 个，冲突 0 个。", WindowText(Box(dialog, IDC_SYNC_STATUS)));
            ClickButton(dialog, IDCANCEL);
        },
        [&](ModalAnswers& answers) {
            answers.ExpectMessage(question, SyncCaption, MB_YESNO | MB_ICONWARNING, IDNO);
            answers.ExpectMessage(question, SyncCaption, MB_YESNO | MB_ICONWARNING, IDYES);
        });
    EXPECT_EQ(0, RecordCount(App.document.contacts));
    EXPECT_EQ(0, RowCount(List()));
}

TEST_F(SyncDialogTest, CancelKeepsWhatWasDoneAndClosingWaitsForTheWorkToStop) {
    std::string bookUrl = NewRadicaleBook("取消");
    ASSERT_FALSE(bookUrl.empty());
    StartWith({Person(Gbk("甲")), Person(Gbk("乙")), Person(Gbk("丙"))});
    OpenSync([&](HWND dialog) {
        ASSERT_TRUE(Connect(dialog, ServerUrl("radicale"), TestPassword));
        ChooseBook(dialog, L"取消");
        // Pressed at once, long before the first card could be sent.
        ClickButton(dialog, IDC_SYNC_START);
        ClickButton(dialog, IDC_SYNC_STOP);
        EXPECT_EQ(L"正在停止...", WindowText(Box(dialog, IDC_SYNC_STATUS)));
        EXPECT_FALSE(IsWindowEnabled(Box(dialog, IDC_SYNC_STOP)));
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(Box(dialog, IDC_SYNC_START)) != FALSE; }));
        EXPECT_EQ(L"同步已取消。取消前完成的部分已保存（上传 0 个，下载 0 个，删除 0 个），其余的下次同步时继续。",
                  WindowText(Box(dialog, IDC_SYNC_STATUS)));
        EXPECT_EQ(3, RowCount(List())) << "the list shows the book again";
        // "关闭" while it runs: the dialog stays until the work has stopped.
        ClickButton(dialog, IDC_SYNC_START);
        ClickButton(dialog, IDCANCEL);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_FALSE(IsWindowEnabled(Box(dialog, IDCANCEL)));
    });
    EXPECT_EQ(3, RowCount(List()));
    EXPECT_EQ(3, RecordCount(App.document.contacts));
}

TEST_F(SyncDialogTest, ARefusedPasswordIsAskedForAgain) {
    StartWith({Person(Gbk("李"))});
    OpenSync(
        [&](HWND dialog) {
            ASSERT_TRUE(Connect(dialog, ServerUrl("radicale"), "wrong"));
            EXPECT_EQ(Box(dialog, IDC_SYNC_PASSWORD), GetFocus());
            EXPECT_EQ(0, ComboBox_GetCount(Box(dialog, IDC_SYNC_BOOKS)));
            ClickButton(dialog, IDCANCEL);
        },
        [](ModalAnswers& answers) {
            answers.ExpectMessage(PasswordRefusedText, SyncCaption, MB_OK | MB_ICONWARNING, IDOK);
        });
    SyncSettings kept;
    ASSERT_TRUE(ReadSyncSettings(Book(), kept)) << "the account typed is kept";
    EXPECT_EQ(TestUser, kept.user);
    EXPECT_EQ("", kept.protectedPassword) << "a password not to remember is not kept";
}

TEST_F(SyncDialogTest, ABookWithoutAFileIsSavedFirst) {
    StartCorvelle();  // no default book: a new one
    ModalAnswers answers;
    answers.ExpectMessage(SaveFirstText, SyncCaption, MB_OK | MB_ICONINFORMATION, IDOK);
    SendCommand(IDM_SYNC);
    EXPECT_TRUE(answers.AllAnswered());
}

TEST_F(SyncDialogTest, TheFunctionsMenuOffersItWithItsIconAfterTheExports) {
    StartCorvelle();
    HMENU functions = GetSubMenu(GetMenu(window), 2);
    ASSERT_NE(nullptr, functions);
    wchar_t text[32] = {};
    GetMenuStringW(functions, 5, text, 32, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(L"同步..."), text);
    EXPECT_EQ(static_cast<UINT>(IDM_SYNC), GetMenuItemID(functions, 5));
    EXPECT_EQ(IDI_SYNC, MenuIconFor(IDM_SYNC));
    EXPECT_NE(nullptr, CommandIcon(IDI_SYNC));
}
