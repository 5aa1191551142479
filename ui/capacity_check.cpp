#include "ui/capacity_check.h"

#include <string>

#include "ui/app_state.h"
#include "ui/ui_text.h"

namespace {

const wchar_t BookFullText[] = L"一个通讯录最多只能保存%s个联系人，现在已经满了。\n请先删除不需要的联系人，再添加新的联系人。";

}  // namespace

bool HasRoomForOneMoreContact(HWND owner) {
    if (HasRoomFor(App.document.contacts, 1)) return true;
    ShowMessage(owner, FillIn(BookFullText, {std::to_wstring(App.document.contacts.capacity)}), AttentionCaption, MB_OK | MB_ICONWARNING);
    return false;
}
