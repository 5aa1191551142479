// Times RefreshList, which runs on every keystroke in the search box, on
// the real main window: 512 contacts (or COUNT) with every field filled,
// all 17 optional columns shown; then the list's own commands, each until
// the window is painted. Prints the figures and exits.
//
//     refresh_list_timing.exe [REPEATS [COUNT]]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/main_window.h"
#include "bench/bench_data.h"
#include "listview/columns.h"
#include "listview/ui/contact_list.h"
#include "listview/filters.h"
#include "resources/resource.h"
#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui/ui_text.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Moments at which windows were created during the first start: what
// lies between two of them is the creation of the earlier one.
struct Creation {
    LARGE_INTEGER when;
    wchar_t className[64];
};
std::vector<Creation> creations;

LRESULT CALLBACK NoteCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        Creation creation = {};
        QueryPerformanceCounter(&creation.when);
        const CBT_CREATEWNDW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if (IS_INTRESOURCE(create->lpcs->lpszClass)) {
            wsprintfW(creation.className, L"#%d", static_cast<int>(reinterpret_cast<INT_PTR>(create->lpcs->lpszClass)));
        } else {
            lstrcpynW(creation.className, create->lpcs->lpszClass, 64);
        }
        creations.push_back(creation);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Figures {
    double best, median, worst;
};

Figures Summary(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

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
    return Summary(times);
}

void Print(const char* what, const Figures& figures) {
    std::printf("%-44s best %7.2f ms   median %7.2f ms   worst %7.2f ms\n", what, figures.best, figures.median,
                figures.worst);
}

void PaintList() {
    UpdateWindow(App.contactList);
}

// A choice in one of the filter boxes, as the user makes it: the box's
// selection, then its CBN_SELCHANGE to the main window.
void Choose(HWND box, int item) {
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(App.mainWindow, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    UpdateWindow(App.mainWindow);
    PaintList();
}

// The list's commands on the book shown whole, each until painted; steps
// that go back and forth alternate, so that each run changes the window.
void TimeListCommands(int repeats) {
    HWND list = App.contactList;
    std::printf("The list's commands, %d rows\n", ListView_GetItemCount(list));
    SetFocus(list);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    PaintList();
    int step = 0;
    Print("scroll a page (Page Down, Page Up)", Time(repeats, [&step, list] {
              SendMessageW(list, WM_KEYDOWN, step++ % 2 ? VK_PRIOR : VK_NEXT, 0);
              PaintList();
          }));
    Print("to the last row and back (End, Home)", Time(repeats, [&step, list] {
              SendMessageW(list, WM_KEYDOWN, step++ % 2 ? VK_HOME : VK_END, 0);
              PaintList();
          }));
    Print("select the next row (Down, Up)", Time(repeats, [&step, list] {
              SendMessageW(list, WM_KEYDOWN, step++ % 2 ? VK_UP : VK_DOWN, 0);
              PaintList();
          }));
    Print("tick a box (Space)", Time(repeats, [list] {
              SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0);
              PaintList();
          }));
    int groups = static_cast<int>(SendMessageW(App.groupFilter, CB_GETCOUNT, 0, 0));
    Print("choose a group", Time(repeats, [&step, groups] { Choose(App.groupFilter, groups > 1 ? step++ % 2 : 0); }));
    Choose(App.groupFilter, 0);
    int fields = static_cast<int>(SendMessageW(App.fieldFilter, CB_GETCOUNT, 0, 0));
    Print("choose a field", Time(repeats, [&step, fields] { Choose(App.fieldFilter, fields > 1 ? step++ % 2 : 0); }));
    Choose(App.fieldFilter, 0);
}

// The modal windows. A hook sees each become active and posts it a mark;
// when the mark comes out of its message loop the window is painted at
// once, and what the timing wants done with it runs there.
const UINT ShownMark = WM_APP + 0x3C;
std::function<void(HWND)> onShown;
LARGE_INTEGER shownAt;

LRESULT CALLBACK NoteActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) PostMessageW(reinterpret_cast<HWND>(wParam), ShownMark, 0, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CatchMark(int code, WPARAM wParam, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == ShownMark && onShown) {
        RedrawWindow(message->hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&shownAt);
        auto shown = std::move(onShown);
        onShown = nullptr;
        shown(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::function<void()> onTimer;

void CALLBACK RunOnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto run = std::move(onTimer);
    onTimer = nullptr;
    if (run) run();
}

void ClickToolbarButton(int id) {
    HWND button = GetDlgItem(App.mainWindow, id);
    SendMessageW(App.mainWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The editor opened on a row in the middle of the list, its steps to the
// next and the previous contact, and one contact deleted from the middle
// (from the answer "是" to the list painted), each until painted.
void TimeModalCommands(int repeats) {
    HWND list = App.contactList;
    HHOOK activation = SetWindowsHookExW(WH_CBT, NoteActivation, nullptr, GetCurrentThreadId());
    HHOOK marks = SetWindowsHookExW(WH_GETMESSAGE, CatchMark, nullptr, GetCurrentThreadId());
    int middle = ListView_GetItemCount(list) / 2;
    ListView_SetItemState(list, middle, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, middle, FALSE);
    PaintList();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> opened;
    Figures steps = {};
    for (int i = 0; i < repeats; ++i) {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        onShown = [&steps, i, repeats](HWND editor) {
            if (i > 0) {
                PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(editor, IDOK)));
                return;
            }
            // The steps run as a click does, from the editor's message loop.
            onTimer = [&steps, repeats, editor] {
                int step = 0;
                steps = Time(repeats, [&step, editor] {
                    Click(editor, step++ % 2 ? IDC_EDITOR_PREVIOUS : IDC_EDITOR_NEXT);
                    RedrawWindow(editor, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                });
                PostMessageW(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(editor, IDOK)));
            };
            SetTimer(nullptr, 0, 1, RunOnTimer);
        };
        ClickToolbarButton(IDC_EDIT_BUTTON);
        opened.push_back(Milliseconds(start, shownAt, frequency));
        Pump();
    }
    std::sort(opened.begin(), opened.end());
    Print("open the editor on a row", {opened.front(), opened[opened.size() / 2], opened.back()});
    Print("  \"下一条\", \"上一条\" in the editor", steps);
    std::vector<double> deleted;
    for (int i = 0; i < repeats; ++i) {
        ListView_SetItemState(list, middle, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        PaintList();
        LARGE_INTEGER answered, end;
        onShown = [&answered](HWND question) {
            QueryPerformanceCounter(&answered);
            PostMessageW(question, WM_COMMAND, IDYES, 0);
        };
        ClickToolbarButton(IDC_DELETE_BUTTON);
        PaintList();
        QueryPerformanceCounter(&end);
        deleted.push_back(Milliseconds(answered, end, frequency));
        Pump();
    }
    std::sort(deleted.begin(), deleted.end());
    Print("delete one contact", {deleted.front(), deleted[deleted.size() / 2], deleted.back()});
    UnhookWindowsHookEx(marks);
    UnhookWindowsHookEx(activation);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int repeats = argc > 1 ? std::max(1, _wtoi(argv[1])) : 50;
    int count = argc > 2 ? std::max(1, _wtoi(argv[2])) : BenchContacts;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // The steps of a start, once each, as this process meets them for the
    // first time (in the current directory's book, if any).
    LARGE_INTEGER frequency, t0, t1, t2, t3;
    QueryPerformanceFrequency(&frequency);
    HHOOK hook = SetWindowsHookExW(WH_CBT, NoteCreation, nullptr, GetCurrentThreadId());
    QueryPerformanceCounter(&t0);
    StartUserInterface(instance);
    QueryPerformanceCounter(&t1);
    HWND window = CreateMainWindow(instance);
    if (!window) return 1;
    QueryPerformanceCounter(&t2);
    UnhookWindowsHookEx(hook);
    for (size_t i = 0; i < creations.size(); ++i) {
        std::printf("  %-20ls %.2f ms\n", creations[i].className,
                    Milliseconds(creations[i].when, i + 1 < creations.size() ? creations[i + 1].when : t2, frequency));
    }
    PlaceMainWindow(window);
    UpdateWindow(window);
    QueryPerformanceCounter(&t3);
    Pump();
    std::printf("First start: StartUserInterface %.2f ms, CreateMainWindow %.2f ms, placed and painted %.2f ms\n",
                Milliseconds(t0, t1, frequency), Milliseconds(t1, t2, frequency), Milliseconds(t2, t3, frequency));

    FillFullBook(App.document.contacts, count);
    for (int32_t& flag : App.settings.ColumnFlags) flag = 1;
    RebuildColumns();
    RefreshList();
    Pump();

    std::printf("RefreshList, %d contacts, %d columns, %d runs each\n", RecordCount(App.document.contacts),
                ColumnFlagCount + 1, repeats);
    Print("every contact shown", Time(repeats, [] { RefreshList(); }));
    // Where the time of a refresh goes: the filters alone, and the texts
    // of the rows a paint asks for (composed and converted to UTF-16).
    Print("  of which: PassesFilters over every contact", Time(repeats, [] {
              FilterState filters = ReadFilterState();
              SearchQuery query = PrepareSearch(filters.pattern);
              int shown = 0;
              for (const auto& record : App.document.contacts.records) shown += PassesFilters(*record, filters, query);
              if (shown < 0) std::printf("?");
          }));
    Print("every row's texts composed (a paint asks for some)", Time(repeats, [] {
              size_t characters = 0;
              for (const auto& record : App.document.contacts.records) {
                  characters += WideFromGbk(NameText(*record)).size();
                  for (int flag = 0; flag < ColumnFlagCount; ++flag) {
                      characters += WideFromGbk(ColumnText(*record, flag)).size();
                  }
              }
              if (characters == 0) std::printf("?");
          }));
    RefreshList();
    Print("every contact shown, then painted", Time(repeats, [] {
              RefreshList();
              UpdateWindow(App.contactList);
          }));
    // What a user sees: a key typed into the search box (its EN_CHANGE
    // refreshes the list) until the box and the list are painted. The keys
    // alternate between one more character and a backspace, from a search
    // already typed, and the rows shown change with every key.
    struct Typing {
        const char* label;
        const wchar_t* typed;
        wchar_t key;
    };
    const Typing typings[] = {
        {"keystroke to painted list, pinyin search", L"zhang", L's'},
        {"keystroke to painted list, digit search", L"+86 45678", L'0'},
        {"keystroke to painted list, every row or none", L"", L'冇'},
    };
    for (const Typing& typing : typings) {
        SetWindowTextW(App.quickSearchBox, typing.typed);
        Pump();
        int before = ListView_GetItemCount(App.contactList);
        SendMessageW(App.quickSearchBox, WM_CHAR, typing.key, 1);
        int after = ListView_GetItemCount(App.contactList);
        SendMessageW(App.quickSearchBox, WM_CHAR, VK_BACK, 1);
        Pump();
        // The key and the backspace after it, each timed on its own.
        std::vector<double> keys, backspaces;
        for (int i = 0; i < 2 * repeats; ++i) {
            LARGE_INTEGER frequency, start, end;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            SendMessageW(App.quickSearchBox, WM_CHAR, i % 2 ? VK_BACK : typing.key, 1);
            UpdateWindow(App.quickSearchBox);
            UpdateWindow(App.contactList);
            QueryPerformanceCounter(&end);
            (i % 2 ? backspaces : keys).push_back(Milliseconds(start, end, frequency));
            Pump();
        }
        Print(typing.label, Summary(keys));
        std::printf("  (%d rows before the key, %d after it)\n", before, after);
        Print("  and its backspace", Summary(backspaces));
    }
    SetWindowTextW(App.quickSearchBox, L"");
    SetWindowTextW(App.quickSearchBox, L"9");  // its own EN_CHANGE refreshes once more
    Print("search \"9\" over every text", Time(repeats, [] { RefreshList(); }));
    SetWindowTextW(App.quickSearchBox, L"zz");
    Print("search \"zz\": nothing shown", Time(repeats, [] { RefreshList(); }));

    SetWindowTextW(App.quickSearchBox, L"");
    TimeListCommands(repeats);
    TimeModalCommands(repeats);

    DestroyWindow(window);
    return 0;
}
