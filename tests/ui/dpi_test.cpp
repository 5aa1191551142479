// The main window on displays of more than 96 DPI: every size is scaled,
// every text shows whole, and moving to a display of another DPI lays the
// window out anew. These tests run in the usual suite at 96 DPI, where
// every size must be the one the window always had, and once more in a
// Wine prefix of 144 DPI (CORVELLE_DPI=144: the ctest corvelle_ui_tests_144dpi
// runs them there with the list-rendering test).
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_icons.h"
#include "resources/resource.h"
#include "ui/app_state.h"
#include "ui/dpi.h"
#include "ui_test_support.h"

namespace {

// The DPI this run's display is meant to have.
int RunDpi() {
    const char* asked = std::getenv("CORVELLE_DPI");
    return asked && std::atoi(asked) > 0 ? std::atoi(asked) : 96;
}

// A size at 96 DPI on this run's display.
int Px(int pixels) { return MulDiv(pixels, RunDpi(), 96); }

std::vector<int> Scaled(std::vector<int> values) {
    for (int& value : values) value = Px(value);
    return values;
}

int FontHeight(HFONT font) {
    LOGFONTW shape = {};
    GetObjectW(font, sizeof shape, &shape);
    return shape.lfHeight;
}

// Pixels of the screen, or of a text drawn alone, read back.
class Pixels {
public:
    Pixels(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Pixels() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;

    HDC Dc() const { return dc_; }
    DWORD At(int x, int y) const { return bits_[y * width_ + x]; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    DWORD* bits_ = nullptr;
    HGDIOBJ previous_;
};

// What the screen shows, as the user sees it: the window, its children and
// its menu bar together.
struct Screen {
    Pixels pixels{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Screen() {
        HDC screen = GetDC(nullptr);
        BitBlt(pixels.Dc(), 0, 0, pixels.Width(), pixels.Height(), screen, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
};

// Where a box holds ink: pixels that differ clearly from the box's own
// background, the colour of its top left pixel.
struct Ink {
    int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 for none
    bool Any() const { return left >= 0; }
    int Width() const { return Any() ? right - left + 1 : 0; }
    int Height() const { return Any() ? bottom - top + 1 : 0; }
};

const int InkDifference = 48;

Ink InkIn(const Pixels& pixels, const RECT& box) {
    DWORD background = pixels.At(box.left, box.top);
    auto differs = [&](DWORD pixel) {
        for (int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((background >> shift) & 0xFF)) >
                InkDifference) {
                return true;
            }
        }
        return false;
    };
    Ink ink;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            if (!differs(pixels.At(x, y))) continue;
            if (!ink.Any()) {
                ink.left = ink.right = x;
                ink.top = ink.bottom = y;
            }
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

// The ink of a text drawn alone in a font, black on white, with room all round.
Ink InkAlone(const std::wstring& text, HFONT font) {
    Pixels pixels(1000, 200);
    RECT all = {0, 0, pixels.Width(), pixels.Height()};
    FillRect(pixels.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ previous = SelectObject(pixels.Dc(), font);
    SetBkMode(pixels.Dc(), TRANSPARENT);
    SetTextColor(pixels.Dc(), RGB(0, 0, 0));
    TextOutW(pixels.Dc(), 50, 50, text.c_str(), static_cast<int>(text.size()));
    SelectObject(pixels.Dc(), previous);
    return InkIn(pixels, all);
}

// A text shows whole in a box of the screen (screen coordinates, inside
// any border): its ink is as wide and as high as the text drawn alone,
// so no character was left out or replaced by "...", and it keeps off
// every edge of the box, where it would have been clipped.
void ExpectWhole(const Screen& screen, RECT box, const std::wstring& text, HFONT font) {
    SCOPED_TRACE(testing::Message() << "the text \"" << text << "\"");
    Ink alone = InkAlone(text, font);
    Ink shown = InkIn(screen.pixels, box);
    ASSERT_TRUE(shown.Any()) << "nothing is drawn";
    EXPECT_NEAR(alone.Width(), shown.Width(), 1) << "the text is cut or not all drawn";
    EXPECT_GE(shown.Height() + 1, alone.Height()) << "the text lost part of its height";
    EXPECT_GT(shown.left, box.left);
    EXPECT_GT(shown.top, box.top) << "cut at the top";
    EXPECT_LT(shown.right, box.right - 1) << "cut at the right";
    EXPECT_LT(shown.bottom, box.bottom - 1) << "cut at the bottom";
}

RECT OnScreen(HWND window, RECT rect) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT Inset(RECT rect, int by) { return {rect.left + by, rect.top + by, rect.right - by, rect.bottom - by}; }

HFONT ListFont(HWND list) { return reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)); }

class DpiTest : public MainWindowTest {
protected:
    // A contact with a text in every default column.
    void StartWithLongTexts() {
        ContactRecord record = Record({{Surname, Gbk("柏")}, {GivenName, Gbk("美玲")}, {Nickname, Gbk("小柏")},
                                       {Mobile, "1-378-924-9876"}, {HomePhone, "010-6088505"},
                                       {WorkPhone, "010-88886666"}});
        record.Gender = 1;
        StartWith({record});
    }
};

}  // namespace

TEST_F(DpiTest, TheProgramWorksAtTheDpiOfItsDisplay) {
    EXPECT_EQ(RunDpi(), SystemDpi()) << "the Wine prefix is not at the DPI this run asks for";
    StartCorvelle();
    EXPECT_EQ(RunDpi(), App.dpi);
    EXPECT_EQ(RunDpi(), WindowDpi(window));
    // The manifest makes the program aware of each monitor's DPI, so that
    // Windows never stretches its window into a blur.
    using GetContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using GetAwareness = int(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto context = reinterpret_cast<GetContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto awareness = reinterpret_cast<GetAwareness>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (context && awareness) {
        EXPECT_EQ(DPI_AWARENESS_PER_MONITOR_AWARE, awareness(context()));
    }
}

TEST_F(DpiTest, TheWindowTheStripAndTheColumnsAreScaled) {
    StartWithLongTexts();
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - Px(600)) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - Px(400)) / 2, rect.top);
    EXPECT_EQ(Px(608), rect.right - rect.left);
    EXPECT_EQ(Px(434), rect.bottom - rect.top);

    EXPECT_EQ(Scaled({103, 1, 120, 20}), ChildBounds(App.quickSearchBox));
    EXPECT_EQ(Scaled({231, 1, 70, 20}), ChildBounds(App.addButton));
    EXPECT_EQ(Scaled({305, 1, 70, 20}), ChildBounds(App.editButton));
    EXPECT_EQ(Scaled({379, 1, 70, 20}), ChildBounds(App.deleteButton));
    for (HWND filter : {App.fieldFilter, App.groupFilter}) {
        RECT filterRect = ChildRect(filter);
        EXPECT_EQ(Px(100), filterRect.right - filterRect.left);
        EXPECT_EQ(Px(1), filterRect.top);
        EXPECT_LE(filterRect.bottom, Px(22)) << "the filter reaches into the list";
    }
    EXPECT_EQ(Px(1), ChildRect(App.fieldFilter).left);
    EXPECT_EQ(Px(480), ChildRect(App.groupFilter).left);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ((std::vector<int>{0, Px(22), client.right - Px(2), client.bottom - Px(22)}), ChildBounds(List()));

    EXPECT_EQ(Px(12), FontHeight(App.uiFont));
    std::vector<int> widths;
    for (size_t column = 0; column < ColumnHeaders(List()).size(); ++column) {
        widths.push_back(ColumnWidth(List(), static_cast<int>(column)));
    }
    EXPECT_EQ(Scaled({80, 40, 80, 130, 100, 100}), widths);  // 姓名 性别 昵称 手机号 家庭电话 公司电话

    int iconWidth = 0, iconHeight = 0;
    ImageList_GetIconSize(App.stateImages, &iconWidth, &iconHeight);
    EXPECT_EQ(Px(16), iconWidth);
    EXPECT_EQ(Px(16), iconHeight);
    EXPECT_EQ(Px(16), CommandIconSize());

    // The window keeps its scaled minimum size.
    RECT dragged = {100, 100, 150, 150};
    SendMessageW(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&dragged));
    EXPECT_EQ(Px(600), dragged.right - dragged.left);
    EXPECT_EQ(Px(400), dragged.bottom - dragged.top);
}

TEST_F(DpiTest, AtOneAndAHalfTimesTheNameColumnIs120AndTheSearchBox180Wide) {
    if (RunDpi() != 144) GTEST_SKIP() << "for a display of 144 DPI";
    StartCorvelle();
    EXPECT_EQ(120, ColumnWidth(List(), 0));
    EXPECT_EQ(60, ColumnWidth(List(), 1));
    EXPECT_EQ((std::vector<int>{155, 2, 180, 30}), ChildBounds(App.quickSearchBox));
    EXPECT_EQ((std::vector<int>{347, 2, 105, 30}), ChildBounds(App.addButton));
    EXPECT_EQ(18, FontHeight(App.uiFont));
    EXPECT_EQ(24, CommandIconSize());
}

TEST_F(DpiTest, NoTextOfTheListTheStripOrTheMenuBarIsCut) {
    StartWithLongTexts();
    TypeInto(App.quickSearchBox, L"1-378");  // finds the contact, by the mobile
    ASSERT_EQ(1, RowCount(List()));
    SetFocus(List());  // no control shows its text selected
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    Screen screen;

    HFONT listFont = ListFont(List());
    HWND header = ListView_GetHeader(List());
    std::vector<std::wstring> headers = ColumnHeaders(List());
    for (size_t column = 0; column < headers.size(); ++column) {
        SCOPED_TRACE(testing::Message() << "column " << column);
        RECT item;
        Header_GetItemRect(header, static_cast<int>(column), &item);
        ExpectWhole(screen, Inset(OnScreen(header, item), 1), headers[column], listFont);
        RECT cell;
        ListView_GetSubItemRect(List(), 0, static_cast<int>(column), LVIR_LABEL, &cell);
        ExpectWhole(screen, Inset(OnScreen(List(), cell), 1), CellText(List(), 0, static_cast<int>(column)), listFont);
    }

    for (HWND button : {App.addButton, App.editButton, App.deleteButton}) {
        RECT caption;
        GetClientRect(button, &caption);
        caption.left += Px(30) - 1;  // beside the icon
        ExpectWhole(screen, Inset(OnScreen(button, caption), 1), WindowText(button), App.uiFont);
    }
    for (HWND filter : {App.fieldFilter, App.groupFilter}) {
        COMBOBOXINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(filter, &info));
        ExpectWhole(screen, OnScreen(filter, info.rcItem), ComboTexts(filter)[0], App.uiFont);
    }
    RECT search;
    GetClientRect(App.quickSearchBox, &search);
    ExpectWhole(screen, Inset(OnScreen(App.quickSearchBox, search), 1), L"1-378", App.uiFont);

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    HFONT menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
    HMENU bar = GetMenu(window);
    const wchar_t* captions[] = {L"文件", L"项目", L"功能", L"帮助"};
    for (int position = 0; position < 4; ++position) {
        RECT item;
        ASSERT_TRUE(GetMenuItemRect(window, bar, position, &item));
        EXPECT_GE(item.right - item.left, Px(40));  // the menu bar adds its own spacing
        ExpectWhole(screen, Inset(item, 1), captions[position], menuFont);
    }
    DeleteObject(menuFont);
}

TEST_F(DpiTest, MenuItemsAreMeasuredAndDrawnAtTheDisplaysSize) {
    StartCorvelle();
    MEASUREITEMSTRUCT measured = {};
    measured.CtlType = ODT_MENU;
    measured.itemID = IDM_DRAW_BAR_FIRST;
    SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measured));
    EXPECT_EQ(static_cast<UINT>(Px(40)), measured.itemWidth);
    measured.itemID = IDM_GROUPS;
    SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measured));
    EXPECT_EQ(static_cast<UINT>(Px(100)), measured.itemWidth);
    EXPECT_EQ(static_cast<UINT>(GetSystemMetrics(SM_CYMENU)), measured.itemHeight);
    measured.itemID = 0;
    SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measured));
    EXPECT_EQ(static_cast<UINT>(Px(5)), measured.itemHeight);

    // The longest caption of the menus, with its icon, in the menu font.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    HFONT menuFont = CreateFontIndirectW(&metrics.lfMenuFont);
    int width = Px(100), height = GetSystemMetrics(SM_CYMENU);
    Pixels item(width, height);
    RECT all = {0, 0, width, height};
    HBRUSH menuBrush = GetSysColorBrush(COLOR_MENU);
    FillRect(item.Dc(), &all, menuBrush);
    HGDIOBJ previous = SelectObject(item.Dc(), menuFont);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = IDM_GROUPS;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hwndItem = reinterpret_cast<HWND>(GetSubMenu(GetMenu(window), 2));
    draw.hDC = item.Dc();
    draw.rcItem = all;
    EXPECT_TRUE(SendMessageW(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    SelectObject(item.Dc(), previous);

    // The icon, drawn alone at the display's size, shows the same ink.
    Pixels iconAlone(Px(16), Px(16));
    RECT iconArea = {0, 0, Px(16), Px(16)};
    FillRect(iconAlone.Dc(), &iconArea, menuBrush);
    DrawIconEx(iconAlone.Dc(), 0, 0, CommandIcon(IDI_GROUPS), Px(16), Px(16), 0, nullptr, DI_NORMAL);
    Ink expectedIcon = InkIn(iconAlone, iconArea);
    Ink icon = InkIn(item, {1, 1, Px(25) - 1, height - 1});
    EXPECT_EQ(Px(2) + expectedIcon.left, icon.left);
    EXPECT_EQ(Px(1) + expectedIcon.top, icon.top);
    EXPECT_EQ(expectedIcon.Width(), icon.Width());
    EXPECT_EQ(expectedIcon.Height(), icon.Height());
    EXPECT_GE(icon.Width(), Px(16) * 3 / 4) << "the icon is not drawn at the display's size";
    Ink caption = InkIn(item, {Px(25) - 1, 1, width - 1, height - 1});
    Ink alone = InkAlone(L"分组管理...", menuFont);
    EXPECT_NEAR(alone.Width(), caption.Width(), 1) << "the caption is cut";
    EXPECT_GE(caption.Height() + 1, alone.Height());
    EXPECT_LT(caption.right, width - 2);
    EXPECT_LT(caption.bottom, height - 2);
    DeleteObject(menuFont);
}

// Every small icon holds a picture of its own at the display's size, so
// none is a 16 x 16 picture stretched into a blur.
TEST_F(DpiTest, EverySmallIconHasArtworkOfTheDisplaysSize) {
    HMODULE module = GetModuleHandleW(nullptr);
    for (int resource : {IDI_CHECK_TICKED, IDI_CHECK_EMPTY, IDI_ADD_CONTACT, IDI_DELETE_CONTACT, IDI_EDIT_CONTACT,
                         IDI_NEW_BOOK, IDI_OPEN_BOOK, IDI_SAVE_BOOK, IDI_SETTINGS, IDI_ABOUT, IDI_HELP_TOPICS,
                         IDI_GROUPS, IDI_FEEDBACK, IDI_SAVE_DEFAULT}) {
        for (int size : {16, 20, 24, 28, 32, Px(16)}) {
            SCOPED_TRACE(testing::Message() << "icon " << resource << " at " << size);
            HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(resource), RT_GROUP_ICON);
            ASSERT_NE(nullptr, group);
            auto directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
            int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
            HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
            ASSERT_NE(nullptr, image);
            auto header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
            EXPECT_EQ(size, header->biWidth);
            EXPECT_EQ(2 * size, header->biHeight);  // the picture and its mask
        }
    }
}

TEST_F(DpiTest, MovingToADisplayOfAnotherDpiLaysTheWindowOutAnew) {
    StartWithLongTexts();
    TypeInto(App.quickSearchBox, L"柏");
    ChooseInCombo(App.fieldFilter, 1);
    const int other = RunDpi() == 144 ? 96 : 144;
    auto at = [&](int pixels) { return MulDiv(pixels, other, 96); };
    RECT suggested = {10, 20, 10 + at(608), 20 + at(434)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();

    EXPECT_EQ(other, App.dpi);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(suggested.left, rect.left);
    EXPECT_EQ(suggested.top, rect.top);
    EXPECT_EQ(at(608), rect.right - rect.left);
    EXPECT_EQ(at(434), rect.bottom - rect.top);
    EXPECT_EQ((std::vector<int>{at(103), at(1), at(120), at(20)}), ChildBounds(App.quickSearchBox));
    EXPECT_EQ((std::vector<int>{at(379), at(1), at(70), at(20)}), ChildBounds(App.deleteButton));
    EXPECT_EQ(at(480), ChildRect(App.groupFilter).left);
    EXPECT_EQ(at(22), ChildRect(List()).top);
    EXPECT_EQ(at(12), FontHeight(App.uiFont));
    for (HWND control : {App.quickSearchBox, App.fieldFilter, App.groupFilter, App.addButton}) {
        EXPECT_EQ(App.uiFont, GetWindowFont(control));
    }
    EXPECT_EQ(at(80), ColumnWidth(List(), 0));
    EXPECT_EQ(at(130), ColumnWidth(List(), 3));
    EXPECT_EQ(at(16), CommandIconSize());
    int iconWidth = 0, iconHeight = 0;
    ImageList_GetIconSize(ListView_GetImageList(List(), LVSIL_STATE), &iconWidth, &iconHeight);
    EXPECT_EQ(at(16), iconWidth);
    // The list's own font is made for the system's DPI; on this display it has one made for the display.
    LOGFONTW expected;
    ASSERT_TRUE(IconTitleFontForDpi(other, &expected));
    EXPECT_EQ(expected.lfHeight, FontHeight(ListFont(List())));
    MEASUREITEMSTRUCT measured = {};
    measured.CtlType = ODT_MENU;
    measured.itemID = IDM_GROUPS;
    SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measured));
    EXPECT_EQ(static_cast<UINT>(at(100)), measured.itemWidth);
    // What the user had chosen stays as it was.
    EXPECT_EQ(L"柏", WindowText(App.quickSearchBox));
    EXPECT_EQ(1, ComboSelection(App.fieldFilter));
    EXPECT_EQ((std::vector<std::wstring>{L"柏美玲"}), ColumnTexts(List()));

    // Back on a display of the system's DPI the list has its own font again.
    RECT back = {10, 20, 10 + Px(608), 20 + Px(434)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(RunDpi(), RunDpi()), reinterpret_cast<LPARAM>(&back));
    PumpMessages();
    EXPECT_EQ(nullptr, App.listFont);
    EXPECT_EQ(Px(80), ColumnWidth(List(), 0));
    EXPECT_EQ(Px(12), FontHeight(App.uiFont));
    EXPECT_EQ(Px(16), CommandIconSize());
}

TEST_F(DpiTest, TheHelpBannerGrowsWithItsDialog) {
    StartCorvelle();
    ModalAnswers answers;
    answers.ExpectDialog(L"使用说明", [&](HWND dialog) {
        HWND banner = nullptr;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0)) banner = child;
        }
        ASSERT_NE(nullptr, banner);
        BITMAP picture = {};
        GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof picture,
                   &picture);
        // Drawn 366 x 40 to span the dialog at 96 DPI; the dialog grows with its font.
        RECT client;
        GetClientRect(dialog, &client);
        if (RunDpi() == 96) {
            EXPECT_EQ(366, picture.bmWidth);
        } else {
            EXPECT_EQ(client.right, picture.bmWidth);
        }
        EXPECT_NEAR(picture.bmWidth * 40 / 366, picture.bmHeight, 1);
        EXPECT_GE(picture.bmWidth, Px(366));
        RECT shown;
        GetClientRect(banner, &shown);
        EXPECT_EQ(picture.bmWidth, shown.right);
        PressButton(dialog, IDOK);
    });
    SendCommand(IDM_HELP_TOPICS);
    EXPECT_TRUE(answers.AllAnswered());
}
