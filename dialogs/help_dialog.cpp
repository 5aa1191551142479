#include "dialogs/help_dialog.h"

#include <windowsx.h>

#include "dialogs/author.h"
#include "resources/resource.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui/ui_text.h"

namespace {

struct HelpTopic {
    const wchar_t* title;
    const wchar_t* text;  // "%s" is filled in with the author's address and QQ number
};

const HelpTopic HelpTopics[HelpTopicCount] = {
    {L"软件简介",
     L"Corvelle是运行在windows系统上的通讯录管理软件，具有如下的功能和特点：\r\n"
     L"1.无需安装，体积小巧，运行快速，适用于windows2000及以上的系统，可以放在U盘中随身携带；\r\n"
     L"2.支持vcf和CSV格式的文件，可以批量导入和导出联系人；\r\n"
     L"3.表格中显示的字段可以自由选择；\r\n"
     L"4.可以对姓名等二十多个联系人字段进行模糊搜索，联系人的分组可以由用户自己定义；\r\n"
     L"5.一个通讯录最多可以保存1000000个联系人；超过512个联系人的通讯录，只认识512个联系人的旧版本无法打开；\r\n"
     L"6.可以与CardDAV服务器（Radicale、Nextcloud、iCloud等）双向同步联系人，见“功能”菜单的“同步...”。"
     L"服务器地址例如https://主机/remote.php/dav（Nextcloud）、https://contacts.icloud.com（iCloud，须使用App专用密码）；"
     L"先保存通讯录文件，同步设置保存在它旁边的.sync.ini文件中，记住的密码经过加密。"},
    {L"快捷工具栏",
     L"快捷工具栏位于程序主界面的菜单和通讯录表格之间，可以方便用户的操作，按照从左到右的顺序将功能一次简要介绍如下：\r\n"
     L"1.搜索过滤器。过滤搜索的字段内容\r\n"
     L"2.快速搜索栏。用户在这里输入想要查找的联系人的内容，系统自动检索符合条件的项目。"
     L"可以输入拼音的全拼、首字母或两者混合（zs、zhangs、zhangsan都能找到“张三”，ü输入v或u）；"
     L"输入电话号码时不必管空格、横线和+86\r\n"
     L"3.添加、编辑、删除。管理联系人项目\r\n"
     L"4.分类过滤器，在下拉列表中选择过滤的类别"},
    {L"vcf文件",
     L"可以导入手机、邮件程序和其他通讯录导出的VCF文件，版本2.1、3.0和4.0均可，"
     L"支持折行、QP编码（UTF-8、GBK和Unicode QP）以及文件中注明的字符集（UTF-8、GB2312、GB18030、BIG5、Shift_JIS等）。"
     L"只有全名的联系人按全名分出姓和名；没有类型的电话号码放入空着的手机、住宅电话或工作电话。"
     L"输出时推荐手机使用“UTF-8QP编码”：所有中文都写成UTF-8，空的项目不写；"
     L"可以读取的联系人字段有二十多个。"},
    {L"CSV文件",
     L"支持CSV文件，最多1024列，每个单元格最多127字节，最长的邮箱地址也能完整读入。"
     L"Google通讯录、Outlook（中文和英文）、outlook.com、Thunderbird、Windows Live Mail和QQ同步助手导出的文件按表头自动识别，不用逐列对应，列的顺序和多少不限；"
     L"其他表头按本软件的表头对应，不认识的逐个询问。\r\n"
     L"没有姓的联系人按名、显示名称、公司、邮箱或电话命名；分组（Labels、Categories、类别）导入到同名的分组；"
     L"生日可以写成1985-3-7、1985/3/7、1985年3月7日、19850307或--03-07；通讯录中已有的联系人不再重复导入。\r\n"
     L"含有逗号、双引号、换行或首尾空格的单元格写在双引号中（双引号写两遍），与电子表格相同；单元格中的换行读作空格。"
     L"可以读取GBK、UTF-8和UTF-16编码的文件，GBK中没有的字符读作问号；输出的文件为GBK编码。"},
    {L"反馈与建议",
     L"反馈与建议：\r\n"
     L"本软件完全免费，无需安装，也不会在系统中留下任何垃圾文件。希望大家多多支持作者！"
     L"如果您对本软件有任何意见或者建议，请发电子邮件告诉作者；如果您觉得本软件对您有用，也欢迎来信致谢。\r\n"
     L"联系方式：\r\n"
     L"电邮：%s\r\n"
     L"QQ：%s"},
    {L"历史更新",
     L"1.6版本更新内容：[20130207]\r\n"
     L"1.增加了联系人分组功能，分组由用户自己定义；\r\n"
     L"2.退出时询问是否保存，启动时自动打开默认文件；\r\n"
     L"3.联系人字段增加到二十多个，足够日常使用；\r\n"
     L"4.大大提高了对vcf和csv文件的兼容性，读取效果更好；\r\n"
     L"5.窗口可以改变大小。\r\n"
     L"1.0版本发布以后，作者在自己使用的过程中发现了很多需要改进的地方，于是花了几天时间重新组织了程序的结构。"
     L"感谢一位网友的关注和中肯的建议，今后还会继续听取大家的意见。春节快乐！\r\n"
     L"\r\n"
     L"1.62版本更新内容：\r\n"
     L"1.修正了打开文件后列表为空的错误，同时修正了VCF文件Unicode QP编码的导入和导出错误。\r\n"
     L"\r\n"
     L"1.9版本更新内容：[20130210]\r\n"
     L"1.美化了界面；\r\n"
     L"2.部分操作更加人性化，增加了右键菜单。"},
};

void ShowTopic(HWND dialog, int topic) {
    if (topic < 0 || topic >= HelpTopicCount) return;
    SetDlgItemTextW(dialog, IDC_HELP_TEXT, HelpTopicText(topic).c_str());
}

// The banner the dialog shows in place of its own on a display of more
// than 96 DPI; deleted with the dialog.
HBITMAP scaledBanner;

// A copy of a picture `width` pixels wide, in its own proportions,
// smoothed rather than blocky.
HBITMAP ScaledPicture(HBITMAP picture, int width) {
    BITMAP size = {};
    GetObjectW(picture, sizeof size, &size);
    int height = MulDiv(size.bmHeight, width, size.bmWidth);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previousFrom = SelectObject(from, picture);
    HGDIOBJ previousTo = SelectObject(to, scaled);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(to, previousTo);
    SelectObject(from, previousFrom);
    DeleteDC(to);
    DeleteDC(from);
    ReleaseDC(nullptr, screen);
    return scaled;
}

// The banner is drawn to span the dialog at 96 DPI. On a display of more
// the dialog grows with its font, and the banner grows with it.
void FitBanner(HWND dialog) {
    if (WindowDpi(dialog) == BaseDpi) return;
    RECT client;
    GetClientRect(dialog, &client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HBITMAP banner = reinterpret_cast<HBITMAP>(SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (!banner) continue;
        scaledBanner = ScaledPicture(banner, client.right);
        SendMessageW(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaledBanner));
        return;
    }
}

void HelpDialog_OnInit(HWND dialog) {
    FitBanner(dialog);
    HWND list = GetDlgItem(dialog, IDC_HELP_TOPIC_LIST);
    for (int topic = 0; topic < HelpTopicCount; ++topic) ListBox_AddString(list, HelpTopicTitle(topic).c_str());
    ListBox_SetCurSel(list, 0);
    ShowTopic(dialog, 0);
    // The arrows step through the topics from the start.
    SetFocus(list);
}

// Only 关闭 (or Enter) closes the dialog; Escape does nothing.
void HelpDialog_OnCommand(HWND dialog, int id, int code) {
    if (id == IDOK) {
        EndDialog(dialog, IDOK);
    } else if (id == IDC_HELP_TOPIC_LIST && code == LBN_SELCHANGE) {
        ShowTopic(dialog, ListBox_GetCurSel(GetDlgItem(dialog, IDC_HELP_TOPIC_LIST)));
    }
}

INT_PTR CALLBACK HelpDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            HelpDialog_OnInit(dialog);
            return FALSE;  // the focus is set
        case WM_COMMAND:
            HelpDialog_OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_DESTROY:
            if (scaledBanner) DeleteObject(scaledBanner);
            scaledBanner = nullptr;
            return FALSE;
    }
    return FALSE;
}

}  // namespace

std::wstring HelpTopicTitle(int topic) { return HelpTopics[topic].title; }

std::wstring HelpTopicText(int topic) { return FillIn(HelpTopics[topic].text, {FeedbackAddress, AuthorQq}); }

void RunHelpDialog(HWND owner) {
    DialogBoxParamW(App.instance, MAKEINTRESOURCEW(IDD_HELP), owner, HelpDialogProc, 0);
}
