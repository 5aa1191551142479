#include "ui/ui_text.h"

#include "platform/platform.h"

std::wstring WideFromGbk(const std::string& gbk) {
    std::u16string units = GbkToUtf16(gbk);
    return std::wstring(units.begin(), units.end());
}

std::string GbkFromWide(const std::wstring& wide) { return Utf16ToGbk(std::u16string(wide.begin(), wide.end())); }

namespace {

std::wstring ControlText(HWND control) {
    int length = GetWindowTextLengthW(control);
    std::wstring text(length + 1, L'\0');
    length = GetWindowTextW(control, &text[0], length + 1);
    text.resize(length);
    return text;
}

}  // namespace

std::string ControlTextGbk(HWND control) { return GbkFromWide(ControlText(control)); }

void SetControlTextGbk(HWND control, const std::string& gbk) { SetWindowTextW(control, WideFromGbk(gbk).c_str()); }

std::wstring WideFromUtf8(const std::string& utf8) {
    std::u16string units = Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Utf8FromWide(const std::wstring& wide) { return Utf16ToUtf8(std::u16string(wide.begin(), wide.end())); }

std::string ControlTextUtf8(HWND control) { return Utf8FromWide(ControlText(control)); }

void SetControlTextUtf8(HWND control, const std::string& utf8) { SetWindowTextW(control, WideFromUtf8(utf8).c_str()); }

int ShowMessage(HWND owner, const std::wstring& text, const wchar_t* caption, UINT buttonsAndIcon) {
    return MessageBoxW(owner, text.c_str(), caption, buttonsAndIcon);
}

std::wstring FillIn(const wchar_t* pattern, std::initializer_list<std::wstring> values) {
    std::wstring text;
    auto value = values.begin();
    for (const wchar_t* p = pattern; *p; ++p) {
        if (p[0] == L'%' && p[1] == L's' && value != values.end()) {
            text += *value++;
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}
