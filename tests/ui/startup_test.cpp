#include <windows.h>

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "store/address_book_file.h"
#include "test_support.h"

namespace {

std::wstring WindowTitle(HWND window) {
    wchar_t title[512];
    GetWindowTextW(window, title, 512);
    return title;
}

void CloseMainWindow(HWND window) {
    SendMessageW(window, WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace

TEST(Startup, WithoutFilesItOpensANewBookAndWritesTheSettingsAtExit) {
    ScratchFolder folder;
    CurrentDirectoryScope here(folder.Root());
    HWND window = CreateMainWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"Corvelle v1.9 - 新文件", WindowTitle(window));
    EXPECT_EQ(5, GroupCount(App.document.groups));
    CloseMainWindow(window);
    EXPECT_EQ(364u, ReadFileBytes(folder.Path("txl.dat")).size());
}

TEST(Startup, TheDefaultBookOpensAndNamesTheTitle) {
    ScratchFolder folder;
    CurrentDirectoryScope here(folder.Root());
    Document document = NewDocument();
    AppendRecord(document.contacts, Person("a"));
    ASSERT_EQ(1, WriteAddressBook(folder.Path("default.txl"), document.groups, document.contacts));
    HWND window = CreateMainWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"Corvelle v1.9 - \"" + folder.Path("default.txl") + L"\"", WindowTitle(window));
    EXPECT_EQ(1, RecordCount(App.document.contacts));
    CloseMainWindow(window);
}
