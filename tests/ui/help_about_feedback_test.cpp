// The help dialog, the About box and the feedback command, opened from
// the main window as the user opens them.
#include <windows.h>
#include <windowsx.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/feedback.h"
#include "dialogs/about_dialog.h"
#include "dialogs/help_dialog.h"
#include "resources/resource.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"
#include "ui_test_support.h"

namespace {

const wchar_t HelpCaption[] = L"使用说明";
const wchar_t AboutCaption[] = L"关于Corvelle";
const wchar_t FeedbackQuestion[] = L"是否向作者发送电子邮件？";
const wchar_t FeedbackAddress[] = L"kwl@cv.example";
const wchar_t FeedbackFailedCaption[] = L"反馈不能进行";
const wchar_t CsvTopicText[] =
    L"支持CSV文件，最多1024列，每个单元格最多127字节，最长的邮箱地址也能完整读入。"
    L"Google通讯录、Outlook（中文和英文）、outlook.com、Thunderbird、Windows Live Mail和QQ同步助手导出的文件按表头自动识别，不用逐列对应，列的顺序和多少不限；"
    L"其他表头按本软件的表头对应，不认识的逐个询问。\r\n"
    L"没有姓的联系人按名、显示名称、公司、邮箱或电话命名；分组（Labels、Categories、类别）导入到同名的分组；"
    L"生日可以写成1985-3-7、1985/3/7、1985年3月7日、19850307或--03-07；通讯录中已有的联系人不再重复导入。\r\n"
    L"含有逗号、双引号、换行或首尾空格的单元格写在双引号中（双引号写两遍），与电子表格相同；单元格中的换行读作空格。"
    L"可以读取GBK、UTF-8和UTF-16编码的文件，GBK中没有的字符读作问号；输出的文件为GBK编码。";

std::wstring HelpText(HWND dialog) { return WindowText(GetDlgItem(dialog, IDC_HELP_TEXT)); }

HWND TopicList(HWND dialog) { return GetDlgItem(dialog, IDC_HELP_TOPIC_LIST); }

std::vector<std::wstring> ListTexts(HWND list) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ListBox_GetCount(list); ++i) {
        std::wstring text(ListBox_GetTextLen(list, i) + 1, L'\0');
        ListBox_GetText(list, i, &text[0]);
        text.resize(text.size() - 1);
        texts.push_back(text);
    }
    return texts;
}

void ClickListEntry(HWND list, int index) {
    RECT entry;
    ListBox_GetItemRect(list, index, &entry);
    LPARAM point = MAKELPARAM((entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(list, WM_LBUTTONUP, 0, point);
}

void PressKey(HWND window, UINT key) {
    SendMessageW(window, WM_KEYDOWN, key, 1);
    SendMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// The control's text, in the control's font, fits its width.
bool TextFits(HWND control) {
    std::wstring text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT client;
    GetClientRect(control, &client);
    return size.cx <= client.right;
}

bool HasSystemMenu(HWND dialog) { return GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU; }

using HelpDialogTest = MainWindowTest;
using AboutDialogTest = MainWindowTest;

}  // namespace

TEST(HelpTopics, FitTheirBuffers) {
    ASSERT_EQ(6, HelpTopicCount);
    for (int topic = 0; topic < HelpTopicCount; ++topic) {
        EXPECT_LE(GbkFromWide(HelpTopicTitle(topic)).size(), 29u) << topic;
        std::string text = GbkFromWide(HelpTopicText(topic));
        EXPECT_LE(text.size(), 1023u) << topic;
        EXPECT_EQ(std::string::npos, text.find('?')) << "every character has a GBK code, topic " << topic;
        EXPECT_EQ(std::wstring::npos, HelpTopicText(topic).find(L"%s")) << topic;
    }
    EXPECT_EQ(0u, HelpTopicText(0).find(L"Corvelle是运行在windows系统上的通讯录管理软件，具有如下的功能和特点：\r\n1."));
    EXPECT_EQ(CsvTopicText, HelpTopicText(3));
    std::wstring contact = HelpTopicText(4);
    EXPECT_EQ(0u, contact.find(L"反馈与建议：\r\n"));
    EXPECT_NE(std::wstring::npos, contact.find(L"联系方式：\r\n电邮：kwl@cv.example\r\nQQ："));
    std::wstring history = HelpTopicText(5);
    for (const wchar_t* heading : {L"1.6版本更新内容：[20130207]", L"1.62版本更新内容：", L"1.9版本更新内容：[20130210]",
                                   L"春节快乐！"}) {
        EXPECT_NE(std::wstring::npos, history.find(heading)) << "history lacks a heading";
    }
}

TEST_F(HelpDialogTest, OpensOnTheIntroductionAndChangesTopicOnAClick) {
    StartCorvelle();
    ModalAnswers answers;
    bool checked = false;
    answers.ExpectDialog(HelpCaption, [&](HWND dialog) {
        checked = true;
        EXPECT_FALSE(HasSystemMenu(dialog));
        HWND list = TopicList(dialog);
        EXPECT_EQ((std::vector<std::wstring>{L"软件简介", L"快捷工具栏", L"vcf文件", L"CSV文件", L"反馈与建议", L"历史更新"}),
                  ListTexts(list));
        EXPECT_EQ(0, ListBox_GetCurSel(list));
        EXPECT_EQ(HelpTopicText(0), HelpText(dialog));

        ClickListEntry(list, 3);
        EXPECT_EQ(3, ListBox_GetCurSel(list));
        EXPECT_EQ(CsvTopicText, HelpText(dialog));
        ClickListEntry(list, 1);
        EXPECT_EQ(HelpTopicText(1), HelpText(dialog));

        // Escape changes nothing; 关闭 closes.
        PressButton(dialog, IDCANCEL);
        PumpMessages();
        EXPECT_TRUE(IsWindow(dialog));
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_HELP_TOPICS);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(checked);
}

TEST_F(HelpDialogTest, TheArrowKeysChangeTheTopicAsAClickDoes) {
    StartCorvelle();
    ModalAnswers answers;
    std::vector<std::wstring> shown;
    answers.ExpectDialog(HelpCaption, [&](HWND dialog) {
        HWND list = TopicList(dialog);
        EXPECT_EQ(list, GetFocus()) << "the topics have the keyboard";
        for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_END, VK_HOME}) {
            PressKey(list, key);
            shown.push_back(HelpText(dialog));
        }
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_HELP_TOPICS);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_EQ((std::vector<std::wstring>{HelpTopicText(1), HelpTopicText(2), CsvTopicText, HelpTopicText(2),
                                         HelpTopicText(5), HelpTopicText(0)}),
              shown);
}

TEST_F(HelpDialogTest, ShowsTheBannerAboveTheText) {
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectDialog(HelpCaption, [&](HWND dialog) {
        HWND banner = nullptr;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0)) banner = child;
        }
        ASSERT_NE(nullptr, banner);
        BITMAP picture = {};
        GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof picture,
                   &picture);
        EXPECT_EQ(366, picture.bmWidth);
        EXPECT_EQ(40, picture.bmHeight);
        RECT bannerRect, textRect;
        GetWindowRect(banner, &bannerRect);
        GetWindowRect(GetDlgItem(dialog, IDC_HELP_TEXT), &textRect);
        EXPECT_LE(bannerRect.top, textRect.top);
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_HELP_TOPICS);
    EXPECT_TRUE(answers.AllAnswered());
}

TEST_F(AboutDialogTest, ShowsTheFileVersionAndTheAuthor) {
    StartCorvelle();
    ModalAnswers answers;
    bool checked = false;
    answers.ExpectDialog(AboutCaption, [&](HWND dialog) {
        checked = true;
        EXPECT_FALSE(HasSystemMenu(dialog));
        EXPECT_EQ(ProgramTitle, WindowText(GetDlgItem(dialog, IDC_ABOUT_PRODUCT)));
        EXPECT_EQ(L"文件版本：2.0210(正式版)", WindowText(GetDlgItem(dialog, IDC_ABOUT_VERSION)));
        HWND author = GetDlgItem(dialog, IDC_ABOUT_AUTHOR);
        EXPECT_EQ(L"作者:柯维乐  电邮:kwl@cv.example", WindowText(author));
        RECT size = {0, 0, 187, 104};
        MapDialogRect(dialog, &size);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            LONG kind = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
            if (kind == SS_ICON || kind == SS_ETCHEDFRAME) continue;
            EXPECT_TRUE(TextFits(child)) << "the whole text of control " << GetDlgCtrlID(child) << " shows";
        }
        PressButton(dialog, IDCANCEL);
        PumpMessages();
        EXPECT_TRUE(IsWindow(dialog)) << "Escape does nothing";
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_ABOUT);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(checked);
    EXPECT_EQ(L"文件版本：2.0210(正式版)", AboutVersionLine());
}

// ---- Feedback: the shell's mail handler cannot be driven, so the link
// goes to a stand-in that records it and answers as the shell would.

namespace {

struct ShellCall {
    HWND owner;
    std::wstring link;
};
std::vector<ShellCall> shellCalls;
INT_PTR shellAnswer = 42;

INT_PTR RecordLink(HWND owner, const wchar_t* link) {
    shellCalls.push_back({owner, link});
    return shellAnswer;
}

class FeedbackTest : public MainWindowTest {
protected:
    FeedbackTest() : shellBefore_(OpenFeedbackLink) {
        OpenFeedbackLink = RecordLink;
        shellCalls.clear();
        shellAnswer = 42;
    }
    ~FeedbackTest() override { OpenFeedbackLink = shellBefore_; }

    void ExpectQuestion(ModalAnswers& answers, int answer) {
        answers.ExpectMessage(FeedbackQuestion, FeedbackAddress, MB_YESNO | MB_ICONQUESTION, answer);
    }

private:
    LinkOpener shellBefore_;
};

}  // namespace

TEST_F(FeedbackTest, NoOpensNothing) {
    StartCorvelle();
    ModalAnswers answers;
    ExpectQuestion(answers, IDNO);
    SendCommand(IDM_FEEDBACK);
    EXPECT_TRUE(answers.AllAnswered());
    EXPECT_TRUE(shellCalls.empty());
}

TEST_F(FeedbackTest, YesOpensTheMailtoLinkOwnedByTheMainWindow) {
    StartCorvelle();
    ModalAnswers answers;  // success says nothing more
    ExpectQuestion(answers, IDYES);
    SendCommand(IDM_FEEDBACK);
    EXPECT_TRUE(answers.AllAnswered());
    ASSERT_EQ(1u, shellCalls.size());
    EXPECT_EQ(L"mailto:kwl@cv.example", shellCalls[0].link);
    EXPECT_EQ(window, shellCalls[0].owner);
}

TEST_F(FeedbackTest, EachFailureOfTheShellIsExplained) {
    StartCorvelle();
    const struct {
        INT_PTR result;
        const wchar_t* text;
    } failures[] = {
        {0, L"内存不足"},
        {SE_ERR_NOASSOC, L"请关联系统默认邮件程序后再试"},
        {SE_ERR_ACCESSDENIED, L"未知错误（错误代码：5）"},
        // 32 is the shell's "DLL not found", not a success.
        {SE_ERR_DLLNOTFOUND, L"未知错误（错误代码：32）"},
    };
    for (const auto& failure : failures) {
        shellAnswer = failure.result;
        ModalAnswers answers;
        ExpectQuestion(answers, IDYES);
        answers.ExpectMessage(failure.text, FeedbackFailedCaption, MB_OK | MB_ICONERROR, IDOK);
        SendCommand(IDM_FEEDBACK);
        EXPECT_TRUE(answers.AllAnswered()) << failure.result;
    }
    EXPECT_EQ(4u, shellCalls.size()) << "no second attempt";
}
