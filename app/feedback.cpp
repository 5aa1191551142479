#include "app/feedback.h"

#include <shellapi.h>

#include <string>

#include "dialogs/author.h"
#include "ui/ui_text.h"

namespace {

const wchar_t FeedbackQuestion[] = L"是否向作者发送电子邮件？";
const wchar_t FeedbackFailedCaption[] = L"反馈不能进行";
const wchar_t OutOfMemoryText[] = L"内存不足";
const wchar_t NoMailProgramText[] = L"请关联系统默认邮件程序后再试";
const wchar_t UnknownErrorText[] = L"未知错误（错误代码：%s）";
const wchar_t MailtoPrefix[] = L"mailto:";

INT_PTR OpenWithShell(HWND owner, const wchar_t* link) {
    return reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", link, nullptr, nullptr, SW_SHOWNORMAL));
}

// ShellExecute succeeds with a value above 32; 32 itself is its "DLL not found".
bool ShellSucceeded(INT_PTR result) { return result > SE_ERR_DLLNOTFOUND; }

std::wstring ShellFailureText(INT_PTR result) {
    switch (result) {
        case 0: return OutOfMemoryText;
        case SE_ERR_NOASSOC: return NoMailProgramText;
    }
    return FillIn(UnknownErrorText, {std::to_wstring(result)});
}

}  // namespace

LinkOpener OpenFeedbackLink = OpenWithShell;

void SendFeedback(HWND owner) {
    if (ShowMessage(owner, FeedbackQuestion, FeedbackAddress, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    std::wstring link = std::wstring(MailtoPrefix) + FeedbackAddress;
    INT_PTR result = OpenFeedbackLink(owner, link.c_str());
    if (ShellSucceeded(result)) return;
    ShowMessage(owner, ShellFailureText(result), FeedbackFailedCaption, MB_OK | MB_ICONERROR);
}
