// Times Corvelle.exe from its start to the first painted list of a
// 512-contact default book, all 17 columns shown, and beside it what Wine
// (or Windows) itself takes: starting a program that does nothing, and
// starting one that only paints an empty window. Prints the figures and
// exits.
//
//     startup_timing.exe [REPEATS] [CORVELLE.EXE]
//
// The clock runs from CreateProcess until the list view holds every
// contact and neither it nor the main window has anything left to paint;
// WaitForInputIdle says when the program first waits for input, which by
// then has painted, and the check of the update regions makes sure.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "store/address_book_file.h"
#include "store/settings_file.h"

namespace {

const DWORD GiveUpAfterMs = 20000;

std::wstring Directory(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring OwnDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Directory(path);
}

// A scratch folder that holds what Corvelle reads at start: the default
// book with 512 full contacts and settings that show every column.
std::wstring MakeScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"corvelle-startup-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    GroupList groups;
    ContactStore contacts;
    FillFullGroups(groups);
    FillFullBook(contacts);
    DisplaySettings settings = DefaultSettings();
    for (int32_t& flag : settings.ColumnFlags) flag = 1;
    if (!WriteAddressBook(folder + L"\\default.txl", groups, contacts) ||
        !SaveSettings(settings, folder + L"\\txl.dat")) {
        return L"";
    }
    return folder;
}

void RemoveScratchFolder(const std::wstring& folder) {
    for (const wchar_t* name : {L"\\empty\\txl.dat", L"\\empty\\default.txl"}) DeleteFileW((folder + name).c_str());
    RemoveDirectoryW((folder + L"\\empty").c_str());
    DeleteFileW((folder + L"\\default.txl").c_str());
    DeleteFileW((folder + L"\\txl.dat").c_str());
    RemoveDirectoryW(folder.c_str());
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Found {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
    Found* found = reinterpret_cast<Found*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != found->processId || !IsWindowVisible(window)) return TRUE;
    found->window = window;
    return FALSE;
}

bool NothingToPaint(HWND window) { return !GetUpdateRect(window, nullptr, FALSE); }

// True once the process shows a painted window and, when `contacts` > 0,
// a painted list view with that many rows.
bool Painted(DWORD processId, int contacts) {
    Found found = {processId, nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
    if (!found.window || !NothingToPaint(found.window)) return false;
    if (contacts == 0) return true;
    HWND list = FindWindowExW(found.window, nullptr, WC_LISTVIEWW, nullptr);
    return list && IsWindowVisible(list) && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == contacts &&
           NothingToPaint(list);
}

enum class Wait { Exit, FirstPaint };

// Milliseconds from the start of the program to its end or to its first
// paint (after which it is ended); negative when that never came.
double TimeStart(const std::wstring& exe, const std::wstring& folder, Wait wait, int contacts) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        return -1;
    }
    bool reached = false;
    if (wait == Wait::Exit) {
        reached = WaitForSingleObject(process.hProcess, GiveUpAfterMs) == WAIT_OBJECT_0;
    } else {
        WaitForInputIdle(process.hProcess, GiveUpAfterMs);
        DWORD begun = GetTickCount();
        while (!(reached = Painted(process.dwProcessId, contacts)) && GetTickCount() - begun < GiveUpAfterMs) {
            Sleep(1);
        }
    }
    QueryPerformanceCounter(&end);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return reached ? Milliseconds(start, end) : -1;
}

struct Figures {
    double best, median, worst;
    bool failed;
};

Figures TimeRepeatedly(int repeats, const std::wstring& exe, const std::wstring& folder, Wait wait, int contacts) {
    TimeStart(exe, folder, wait, contacts);  // once to warm the file cache
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        double ms = TimeStart(exe, folder, wait, contacts);
        if (ms < 0) return {0, 0, 0, true};
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back(), false};
}

void Print(const char* what, const Figures& figures) {
    if (figures.failed) {
        std::printf("%-44s FAILED\n", what);
    } else {
        std::printf("%-44s best %7.2f ms   median %7.2f ms   worst %7.2f ms\n", what, figures.best, figures.median,
                    figures.worst);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int repeats = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
    std::wstring here = OwnDirectory();
    // The build puts this program in bench\ and Corvelle.exe in app\.
    std::wstring corvelle = argc > 2 ? argv[2] : Directory(here) + L"\\app\\Corvelle.exe";
    std::wstring folder = MakeScratchFolder();
    if (folder.empty()) {
        std::printf("cannot write the scratch folder\n");
        return 1;
    }
    std::printf("Start-up, %d runs each\n", repeats);
    Figures empty = TimeRepeatedly(repeats, here + L"\\empty_program.exe", folder, Wait::Exit, 0);
    Figures window = TimeRepeatedly(repeats, here + L"\\window_program.exe", folder, Wait::FirstPaint, 0);
    Figures program = TimeRepeatedly(repeats, corvelle, folder, Wait::FirstPaint, BenchContacts);
    // The same start in a folder without a book: what the program costs
    // before it has any contact to show.
    std::wstring emptyFolder = folder + L"\\empty";
    CreateDirectoryW(emptyFolder.c_str(), nullptr);
    Figures noBook = TimeRepeatedly(repeats, corvelle, emptyFolder, Wait::FirstPaint, 0);
    Print("empty program, start to end", empty);
    Print("empty window, start to first paint", window);
    Print("Corvelle, no book, start to painted window", noBook);
    Print("Corvelle, 512 contacts, start to painted list", program);
    RemoveScratchFolder(folder);
    return empty.failed || window.failed || program.failed || noBook.failed ? 1 : 0;
}
