// Times RefreshList, which runs on every keystroke in the search box, on
// the real main window: 512 contacts with every field filled, all 17
// optional columns shown. Prints the figures and exits.
//
//     refresh_list_timing.exe [REPEATS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/ui_text.h"
#include "listview/contact_list.h"
#include "store/fixed_text.h"

namespace {

// A contact whose every text field holds as much as it can.
ContactRecord FullContact(int n) {
    ContactRecord record = EmptyRecord();
    for (int field = 0; field < ContactFieldCount; ++field) {
        const ContactFieldInfo& info = FieldInfo(field);
        if (!info.isText) continue;
        std::string text = GbkText(u"张王李赵") + std::to_string(n) + "-" + std::to_string(field);
        while (static_cast<int>(text.size()) < info.width - 1) text += static_cast<char>('a' + (n + field) % 26);
        SetField(record, info.field, text);
    }
    record.Gender = n % 2;
    record.GroupIndex = n % 5;
    return record;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

struct Figures {
    double best, median, worst;
};

template <typename Step>
Figures Time(int repeats, Step step) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        step();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end, frequency));
        Pump();
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

void Print(const char* what, const Figures& figures) {
    std::printf("%-44s best %7.2f ms   median %7.2f ms   worst %7.2f ms\n", what, figures.best, figures.median,
                figures.worst);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int repeats = argc > 1 ? std::max(1, _wtoi(argv[1])) : 50;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    StartUserInterface(instance);
    HWND window = CreateMainWindow(instance);
    if (!window) return 1;
    PlaceMainWindow(window);
    Pump();

    ClearRecords(App.document.contacts);
    for (int n = 0; n < MaxRecords; ++n) AppendRecord(App.document.contacts, FullContact(n));
    for (int32_t& flag : App.settings.ColumnFlags) flag = 1;
    RebuildColumns();
    RefreshList();
    Pump();

    std::printf("RefreshList, %d contacts, %d columns, %d runs each\n", RecordCount(App.document.contacts),
                ColumnFlagCount + 1, repeats);
    Print("every contact shown", Time(repeats, [] { RefreshList(); }));
    Print("every contact shown, then painted", Time(repeats, [] {
              RefreshList();
              UpdateWindow(App.contactList);
          }));
    SetWindowTextW(App.quickSearchBox, L"9");  // its own EN_CHANGE refreshes once more
    Print("search \"9\" over every text", Time(repeats, [] { RefreshList(); }));
    SetWindowTextW(App.quickSearchBox, L"zz");
    Print("search \"zz\": nothing shown", Time(repeats, [] { RefreshList(); }));

    DestroyWindow(window);
    return 0;
}
