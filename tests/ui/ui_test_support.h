// Driving Corvelle's real windows in UI tests under Wine.
//
// Every UI test runs on one thread, which owns the windows it creates, as
// the program's own user-interface thread does. A command that shows a
// message box or a dialog runs a nested message loop and returns only when
// that window closes; the test tells ModalAnswers beforehand what will
// appear and how to answer it:
//
//     ModalAnswers answers;
//     answers.ExpectMessage(L"文件保存！", L"保存", MB_OK | MB_ICONINFORMATION, IDOK);
//     SendCommand(IDM_FILE_SAVE);
//     EXPECT_TRUE(answers.AllAnswered());
//
// Each modal window is checked (text, caption, buttons, icon) against the
// next expectation, in order, and answered once it is fully up. A window
// nobody expected fails the test and is closed, so a test never hangs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "test_support.h"

class ModalAnswers {
public:
    ModalAnswers();   // installs a WH_CBT hook on this thread; one at a time
    ~ModalAnswers();  // removes it; an expectation never met fails the test
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

    // A message box with exactly this text and caption, these buttons and
    // this icon (MB_YESNO | MB_ICONWARNING, ...), answered with IDYES, IDNO,
    // IDCANCEL or IDOK.
    void ExpectMessage(const std::wstring& text, const std::wstring& caption, UINT buttonsAndIcon, int answer);

    // A message box of the system's own (such as the file dialog's question
    // before it creates a file), answered without checking its words.
    void ExpectSystemMessage(int answer);

    // A dialog with this caption; `act` runs on it once it is up and must
    // close it, for example by posting WM_COMMAND IDOK or IDCANCEL.
    void ExpectDialog(const std::wstring& caption, std::function<void(HWND dialog)> act);

    // The common open or save dialog with this title: the path is typed
    // into its file-name box and the OK button pressed.
    void ExpectFileDialog(const std::wstring& title, const PathString& path);
    // The same dialog, first opening a folder as the user does by typing
    // its path, then choosing a file name in it.
    void ExpectFileDialogInFolder(const std::wstring& title, const PathString& folder, const PathString& name);
    // The same dialog, its file type first chosen from its list (0 the
    // first); the type's name is checked.
    void ExpectFileDialogOfType(const std::wstring& title, int type, const std::wstring& typeName,
                                const PathString& path);
    // The same dialog, cancelled.
    void ExpectFileDialogCancelled(const std::wstring& title);
    // A dialog already answered, come back to the front because a box it
    // showed was answered (such as "否" to the save dialog's question
    // before it replaces a file); `act` runs on it and must close it.
    void ExpectDialogAgain(const std::wstring& caption, std::function<void(HWND dialog)> act);

    // True when every expectation was met.
    bool AllAnswered() const { return expected_.empty(); }

private:
    enum class Kind { Message, SystemMessage, Dialog, Again, Stuck };
    struct Expectation {
        Kind kind;
        std::wstring caption;
        std::wstring text;
        UINT buttonsAndIcon;
        int answer;
        std::function<void(HWND)> act;
    };
    struct Pending {
        UINT_PTR timer;
        HWND window;
        Expectation expectation;
    };

    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ShowHookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR timer, DWORD);
    void OnActivate(HWND window);
    void OnClosed(HWND window);
    void Answer(HWND window, const Expectation& expectation);

    HHOOK hook_;
    HHOOK showHook_;
    std::deque<Expectation> expected_;
    std::vector<Pending> pending_;
    std::set<HWND> seen_;
};

// The next pop-up menu that opens on this thread while the object lives:
// its items are read, then the item with the id `choose` is picked with
// the keyboard, or, when `choose` is 0, the menu is closed without a choice.
class PopupMenuAnswer {
public:
    explicit PopupMenuAnswer(UINT choose = 0);
    ~PopupMenuAnswer();
    PopupMenuAnswer(const PopupMenuAnswer&) = delete;
    PopupMenuAnswer& operator=(const PopupMenuAnswer&) = delete;

    bool Shown() const { return shown_; }
    std::vector<UINT> ids;            // in menu order; 0 for a separator
    std::vector<std::wstring> texts;  // "" for a separator
    std::vector<bool> ownerDrawn;     // drawn by its owner window

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
    UINT choose_;
    UINT_PTR timer_;
    bool shown_ = false;
};

// What a message box shows, read from the box itself.
std::wstring MessageBoxText(HWND box);
UINT MessageBoxButtons(HWND box);  // MB_OK, MB_YESNO, MB_YESNOCANCEL, ...; 0xFFFF when unknown
UINT MessageBoxIcon(HWND box);     // MB_ICONQUESTION, MB_ICONWARNING, ...; 0 for none
// Presses a button of a dialog as the user would, through its WM_COMMAND.
void PressButton(HWND dialog, int id);

// Clicks a dialog's button and returns when its command has run (sent,
// not posted), so that a test can look at the dialog straight after.
void ClickButton(HWND dialog, int id);
// Selects a list box entry (-1 for none) as the user would: the owner
// hears LBN_SELCHANGE.
void ChooseInListBox(HWND listBox, int entry);
std::vector<std::wstring> ListBoxTexts(HWND listBox);

// Runs every message waiting on this thread; true when WM_QUIT was among them.
bool PumpMessages();

std::wstring WindowText(HWND window);

// A child window's rectangle in its parent's client coordinates, and the
// same as {left, top, width, height}.
RECT ChildRect(HWND child);
std::vector<int> ChildBounds(HWND child);

// ---- The contact list and the filters, read back as the user sees them

int RowCount(HWND list);
std::wstring CellText(HWND list, int row, int column);
// The texts of one column, every row in order.
std::vector<std::wstring> ColumnTexts(HWND list, int column = 0);
std::vector<std::wstring> ColumnHeaders(HWND list);
int ColumnWidth(HWND list, int column);
bool IsTicked(HWND list, int row);
bool IsSelected(HWND list, int row);
void SelectRow(HWND list, int row);
// Sets a row's check box by program, as the list does when it is clicked.
void SetTicked(HWND list, int row, bool ticked);
// Clicks a row's check box with the mouse.
void ClickCheckBox(HWND list, int row);
// A click at a point of the list (client coordinates), or on a row's name.
void ClickAt(HWND list, LPARAM point);
void ClickRow(HWND list, int row);
// Double-clicks or right-clicks a row with the mouse, or the empty space
// below the rows when `row` is past the last.
void DoubleClickRow(HWND list, int row);
void RightClickRow(HWND list, int row);

std::vector<std::wstring> ComboTexts(HWND combo);
int ComboSelection(HWND combo);
// Chooses an entry as the user would: the selection changes and the owner
// hears CBN_SELCHANGE.
void ChooseInCombo(HWND combo, int choice);
// Types text into an edit box one character at a time, after emptying it.
void TypeInto(HWND edit, const std::wstring& text);

// ---- Corvelle's main window

// A test that starts Corvelle's main window in a scratch folder, which is
// the current directory for the test's duration, as Corvelle is started
// from a folder. The window is destroyed at the end without the exit prompt.
// The capacity the tests of a full book give the open book: a full book of
// MaxRecords contacts would take the test minutes to make.
const int TestBookCapacity = 512;

class MainWindowTest : public testing::Test {
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Creates, places and shows the main window as start-up does.
    void StartCorvelle();
    // Writes these contacts as the default book, then starts.
    void StartWith(const std::vector<ContactRecord>& contacts);
    // Sends a command as the menu, a button or the context menu does,
    // then lets every resulting message run.
    void SendCommand(int id);
    // Closes the window through WM_CLOSE; true when the program quit.
    bool CloseCorvelle();

    HWND List() const;
    std::wstring Title() const { return WindowText(window); }

    // Writes a book into the scratch folder.
    void WriteBook(const std::string& name, const Document& document);
    PathString PathOf(const std::string& name) const { return folder.Path(name); }

    ScratchFolder folder;
    CurrentDirectoryScope here;
    HWND window = nullptr;
};

// A document with the default groups and these contacts.
Document BookWith(const std::vector<ContactRecord>& contacts);
