// The owner-drawn menus and toolbar buttons, measured and painted through
// the main window's own WM_MEASUREITEM and WM_DRAWITEM into a bitmap, and
// read back pixel by pixel.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_icons.h"
#include "app/owner_drawn.h"
#include "resources/resource.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

// Paints what the item leaves alone, so that untouched pixels show.
const COLORREF Untouched = RGB(1, 2, 3);
const COLORREF Ink = RGB(0, 0, 0);

const COLORREF OpenBarFill = RGB(165, 165, 165);
const COLORREF HotFill = RGB(211, 211, 211);
const COLORREF HighlightBorder = RGB(10, 36, 106);
const COLORREF SeparatorGrey = RGB(140, 140, 140);
const COLORREF SeparatorWhite = RGB(255, 255, 255);
// Colours of the icons where the tests look at them.
const COLORREF PlusGreen = RGB(40, 180, 40);
const COLORREF PlusDark = RGB(0, 100, 0);

COLORREF MenuColour() { return GetSysColor(COLOR_MENU); }

// A 32-bit bitmap selected into a memory DC with the UI font, black ink
// and every pixel `Untouched`.
class Picture {
public:
    Picture(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previousBitmap_ = SelectObject(dc_, bitmap_);
        previousFont_ = SelectObject(dc_, App.uiFont);
        SetTextColor(dc_, Ink);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(Untouched);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Picture() {
        SelectObject(dc_, previousFont_);
        SelectObject(dc_, previousBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HDC Dc() const { return dc_; }
    RECT Bounds() const { return {0, 0, width_, height_}; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

    // The smallest rectangle holding every pixel of the area that differs
    // from `background`; empty when there is none.
    RECT Marks(const RECT& area, COLORREF background) const {
        RECT found = {area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (At(x, y) == background) continue;
                found.left = std::min<LONG>(found.left, x);
                found.top = std::min<LONG>(found.top, y);
                found.right = std::max<LONG>(found.right, x + 1);
                found.bottom = std::max<LONG>(found.bottom, y + 1);
            }
        }
        return found;
    }
    bool AllOf(const RECT& area, COLORREF colour) const {
        RECT marks = Marks(area, colour);
        return marks.right <= marks.left;
    }
    bool Contains(const RECT& area, COLORREF colour) const {
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (At(x, y) == colour) return true;
            }
        }
        return false;
    }
    // Text is smoothed: the thin strokes of a small font may only come
    // close to its colour, though still far darker than any fill here.
    bool ContainsNear(const RECT& area, COLORREF colour, int tolerance = 96) const {
        auto isNear = [&](COLORREF pixel) {
            return std::abs(GetRValue(pixel) - GetRValue(colour)) <= tolerance &&
                   std::abs(GetGValue(pixel) - GetGValue(colour)) <= tolerance &&
                   std::abs(GetBValue(pixel) - GetBValue(colour)) <= tolerance;
        };
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (isNear(At(x, y))) return true;
            }
        }
        return false;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previousBitmap_, previousFont_;
};

bool Empty(RECT rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

const int ItemHeight = 20;
const int BarItemWidth = 56;
const int DropDownWidth = 130;

// The outermost ring of pixels of two pictures is the same.
void ExpectSameEdge(const Picture& expected, const Picture& actual) {
    RECT b = expected.Bounds();
    for (int x = 0; x < b.right; ++x) {
        EXPECT_EQ(expected.At(x, 0), actual.At(x, 0)) << "top " << x;
        EXPECT_EQ(expected.At(x, b.bottom - 1), actual.At(x, b.bottom - 1)) << "bottom " << x;
    }
    for (int y = 0; y < b.bottom; ++y) {
        EXPECT_EQ(expected.At(0, y), actual.At(0, y)) << "left " << y;
        EXPECT_EQ(expected.At(b.right - 1, y), actual.At(b.right - 1, y)) << "right " << y;
    }
}

class OwnerDrawnTest : public MainWindowTest {
protected:
    void SetUp() override { StartCorvelle(); }

    HMENU Bar() const { return GetMenu(window); }
    HMENU DropDown(int position) const { return GetSubMenu(Bar(), position); }

    MEASUREITEMSTRUCT Measure(UINT id) {
        MEASUREITEMSTRUCT item = {};
        item.CtlType = ODT_MENU;
        item.itemID = id;
        EXPECT_TRUE(SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&item)));
        return item;
    }

    // Draws a menu item of `menu` over the whole picture, as the menu asks.
    void DrawMenuItem(Picture& picture, HMENU menu, UINT id, UINT state = 0) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_MENU;
        item.itemID = id;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = reinterpret_cast<HWND>(menu);
        item.hDC = picture.Dc();
        item.rcItem = picture.Bounds();
        EXPECT_TRUE(SendMessageW(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)));
    }

    void DrawButton(Picture& picture, HWND button, UINT state = 0) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = GetDlgCtrlID(button);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = button;
        item.hDC = picture.Dc();
        item.rcItem = picture.Bounds();
        EXPECT_TRUE(SendMessageW(window, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item)));
    }
};

MENUITEMINFOW ItemInfo(HMENU menu, int position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

std::wstring MenuText(HMENU menu, UINT id) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, id, text, 64, MF_BYCOMMAND);
    return text;
}

}  // namespace

TEST_F(OwnerDrawnTest, EveryMenuItemIsOwnerDrawnAndKeepsItsCaption) {
    for (int p = 0; p < 4; ++p) {
        MENUITEMINFOW bar = ItemInfo(Bar(), p);
        EXPECT_TRUE(bar.fType & MFT_OWNERDRAW);
        EXPECT_EQ(static_cast<UINT>(IDM_DRAW_BAR_FIRST + p), bar.wID);
        EXPECT_EQ(DropDown(p), bar.hSubMenu) << "each bar item keeps its drop-down";
        EXPECT_EQ(0u, bar.dwItemData);
        for (int q = 0; q < GetMenuItemCount(DropDown(p)); ++q) {
            MENUITEMINFOW item = ItemInfo(DropDown(p), q);
            EXPECT_TRUE(item.fType & MFT_OWNERDRAW) << p << "," << q;
            if (item.fType & MFT_SEPARATOR) {
                EXPECT_EQ(0u, item.wID);
            }
        }
    }
    EXPECT_EQ(L"文件", MenuText(Bar(), 40030));
    EXPECT_EQ(L"帮助", MenuText(Bar(), 40033));
    EXPECT_EQ(L"另存为...", MenuText(DropDown(0), IDM_FILE_SAVE_AS));

    // 功能: 导入 and 输出 get ids of their own and still open their submenus.
    HMENU functions = DropDown(2);
    MENUITEMINFOW import = ItemInfo(functions, 3);
    MENUITEMINFOW output = ItemInfo(functions, 4);
    EXPECT_EQ(static_cast<UINT>(IDM_DRAW_IMPORT_MENU), import.wID);
    EXPECT_EQ(static_cast<UINT>(IDM_DRAW_EXPORT_MENU), output.wID);
    ASSERT_NE(nullptr, import.hSubMenu);
    ASSERT_NE(nullptr, output.hSubMenu);
    EXPECT_EQ(L"导入", MenuText(functions, IDM_DRAW_IMPORT_MENU));
    EXPECT_EQ(L"输出", MenuText(functions, IDM_DRAW_EXPORT_MENU));
    std::vector<UINT> importIds;
    for (int q = 0; q < GetMenuItemCount(import.hSubMenu); ++q) {
        MENUITEMINFOW item = ItemInfo(import.hSubMenu, q);
        EXPECT_TRUE(item.fType & MFT_OWNERDRAW);
        importIds.push_back(item.wID);
    }
    EXPECT_EQ((std::vector<UINT>{IDM_IMPORT_VCF, IDM_IMPORT_CSV, 0, IDM_IMPORT_VCF_DIRECTORY}), importIds);
    EXPECT_TRUE(ItemInfo(output.hSubMenu, 1).fType & MFT_OWNERDRAW);
    EXPECT_EQ(L"*.csv", MenuText(output.hSubMenu, IDM_EXPORT_CSV));
}

TEST_F(OwnerDrawnTest, BarItemsAre40WideOthers100AndSeparators5High) {
    const UINT barHeight = GetSystemMetrics(SM_CYMENU);
    for (UINT id = IDM_DRAW_BAR_FIRST; id <= IDM_DRAW_BAR_LAST; ++id) {
        MEASUREITEMSTRUCT item = Measure(id);
        EXPECT_EQ(40u, item.itemWidth);
        EXPECT_EQ(barHeight, item.itemHeight);
    }
    for (UINT id : {IDM_FILE_NEW, IDM_FILE_EXIT, IDM_IMPORT_VCF, IDM_EXPORT_CSV, IDM_ABOUT}) {
        MEASUREITEMSTRUCT item = Measure(id);
        EXPECT_EQ(100u, item.itemWidth);
        EXPECT_EQ(barHeight, item.itemHeight);
    }
    for (UINT id : {IDM_DRAW_IMPORT_MENU, IDM_DRAW_EXPORT_MENU}) EXPECT_EQ(100u, Measure(id).itemWidth);
    MEASUREITEMSTRUCT separator = Measure(0);
    EXPECT_EQ(100u, separator.itemWidth);
    EXPECT_EQ(5u, separator.itemHeight);
}

TEST_F(OwnerDrawnTest, ASeparatorIsAGreyLineOverAWhiteOne) {
    Picture picture(100, 5);
    DrawMenuItem(picture, DropDown(0), 0, ODS_SELECTED);
    for (int x = 1; x < 100; ++x) {
        EXPECT_EQ(SeparatorGrey, picture.At(x, 2)) << x;
        EXPECT_EQ(SeparatorWhite, picture.At(x, 3)) << x;
    }
    // The first column and every other row are the menu's own background.
    EXPECT_EQ(Untouched, picture.At(0, 2));
    EXPECT_EQ(Untouched, picture.At(0, 3));
    for (int y : {0, 1, 4}) EXPECT_TRUE(picture.AllOf({0, y, 100, y + 1}, Untouched)) << y;
}

TEST_F(OwnerDrawnTest, BarItemsAreFilledWhenOpenOrHotAndCentreTheirCaption) {
    const struct {
        UINT state;
        COLORREF fill;
        COLORREF border;
    } looks[] = {
        {0, MenuColour(), MenuColour()},
        {ODS_HOTLIGHT, HotFill, HighlightBorder},
        {ODS_SELECTED, OpenBarFill, HighlightBorder},
        {ODS_SELECTED | ODS_HOTLIGHT, OpenBarFill, HighlightBorder},
    };
    for (const auto& look : looks) {
        Picture picture(BarItemWidth, ItemHeight);
        DrawMenuItem(picture, Bar(), IDM_DRAW_BAR_FIRST + 2, look.state);  // 功能
        for (int x = 0; x < BarItemWidth; ++x) {
            EXPECT_EQ(look.border, picture.At(x, 0)) << "top border, state " << look.state;
            EXPECT_EQ(look.border, picture.At(x, ItemHeight - 1)) << "bottom border, state " << look.state;
        }
        for (int y = 0; y < ItemHeight; ++y) {
            EXPECT_EQ(look.border, picture.At(0, y));
            EXPECT_EQ(look.border, picture.At(BarItemWidth - 1, y));
        }
        RECT caption = picture.Marks({1, 1, BarItemWidth - 1, ItemHeight - 1}, look.fill);
        ASSERT_FALSE(Empty(caption)) << "no caption, state " << look.state;
        EXPECT_GE(caption.top, 2);
        int leftSpace = caption.left - 0;
        int rightSpace = BarItemWidth - caption.right;
        EXPECT_LE(std::abs(leftSpace - rightSpace), 2) << "the caption is centred";
        EXPECT_TRUE(picture.ContainsNear(caption, Ink)) << "the caption is written in the DC's colour, state " << look.state;
    }
}

TEST_F(OwnerDrawnTest, ADropDownItemShowsItsIconAtTwoOneAndItsCaptionAt25) {
    Picture picture(DropDownWidth, ItemHeight);
    DrawMenuItem(picture, DropDown(1), IDM_ITEM_ADD);
    // The box: border and fill in the menu colour when not selected.
    EXPECT_EQ(MenuColour(), picture.At(0, 0));
    EXPECT_EQ(MenuColour(), picture.At(DropDownWidth - 1, ItemHeight - 1));
    // The green plus, 16 x 16 with its top-left corner at (2, 1): its dark
    // edge starts at (5, 1) and (1, 5) of the icon.
    EXPECT_EQ(PlusDark, picture.At(2 + 5, 1 + 1));
    EXPECT_EQ(PlusDark, picture.At(2 + 1, 1 + 5));
    EXPECT_EQ(PlusGreen, picture.At(2 + 7, 1 + 7));
    EXPECT_EQ(MenuColour(), picture.At(2 + 4, 1 + 1));
    EXPECT_EQ(MenuColour(), picture.At(2 + 5, 1 + 0));
    RECT icon = picture.Marks({1, 1, 24, ItemHeight - 1}, MenuColour());
    EXPECT_EQ(3, icon.left);
    EXPECT_EQ(2, icon.top);
    EXPECT_EQ(2 + 15, icon.right);
    EXPECT_EQ(1 + 15, icon.bottom);
    // The caption "添加..." from x 25 and y 3.
    RECT caption = picture.Marks({20, 1, DropDownWidth - 1, ItemHeight - 1}, MenuColour());
    ASSERT_FALSE(Empty(caption));
    EXPECT_GE(caption.left, 25);
    EXPECT_LE(caption.left, 27);
    EXPECT_GE(caption.top, 3);
}

TEST_F(OwnerDrawnTest, ItemsWithoutAnIconKeepTheSameIndent) {
    for (UINT id : {IDM_FILE_SAVE_AS, IDM_FILE_EXIT}) {
        Picture withIcon(DropDownWidth, ItemHeight);
        Picture without(DropDownWidth, ItemHeight);
        DrawMenuItem(withIcon, DropDown(0), IDM_FILE_SAVE);  // 保存
        DrawMenuItem(without, DropDown(0), id);
        EXPECT_TRUE(without.AllOf({1, 1, 24, ItemHeight - 1}, MenuColour())) << "no icon for " << id;
        RECT captionWith = withIcon.Marks({20, 1, DropDownWidth - 1, ItemHeight - 1}, MenuColour());
        RECT captionWithout = without.Marks({1, 1, DropDownWidth - 1, ItemHeight - 1}, MenuColour());
        ASSERT_FALSE(Empty(captionWithout));
        EXPECT_GE(captionWithout.left, 25);
        EXPECT_LE(std::abs(captionWithout.left - captionWith.left), 1);
        EXPECT_EQ(captionWith.top, captionWithout.top);
    }
}

TEST_F(OwnerDrawnTest, ASelectedDropDownItemIsLightGreyWithABlueBorderAndHotAloneIsNot) {
    Picture selected(DropDownWidth, ItemHeight);
    DrawMenuItem(selected, DropDown(3), IDM_ABOUT, ODS_SELECTED);
    for (int x = 0; x < DropDownWidth; ++x) EXPECT_EQ(HighlightBorder, selected.At(x, 0));
    for (int y = 0; y < ItemHeight; ++y) EXPECT_EQ(HighlightBorder, selected.At(DropDownWidth - 1, y));
    EXPECT_EQ(HotFill, selected.At(1, 1));
    EXPECT_EQ(HotFill, selected.At(DropDownWidth - 2, ItemHeight - 2));
    EXPECT_FALSE(Empty(selected.Marks({20, 1, DropDownWidth - 1, ItemHeight - 1}, HotFill))) << "caption";

    Picture hot(DropDownWidth, ItemHeight);
    DrawMenuItem(hot, DropDown(3), IDM_ABOUT, ODS_HOTLIGHT);
    EXPECT_EQ(MenuColour(), hot.At(0, 0));
    EXPECT_EQ(MenuColour(), hot.At(DropDownWidth - 2, ItemHeight - 2));
}

TEST_F(OwnerDrawnTest, TheSubmenuItemsShowTheirCaptionsAndNoIcon) {
    for (UINT id : {IDM_DRAW_IMPORT_MENU, IDM_DRAW_EXPORT_MENU}) {
        Picture picture(DropDownWidth, ItemHeight);
        DrawMenuItem(picture, DropDown(2), id);
        EXPECT_TRUE(picture.AllOf({1, 1, 24, ItemHeight - 1}, MenuColour()));
        RECT caption = picture.Marks({1, 1, DropDownWidth - 1, ItemHeight - 1}, MenuColour());
        ASSERT_FALSE(Empty(caption)) << id;
        EXPECT_GE(caption.left, 25);
    }
}

TEST_F(OwnerDrawnTest, TheContextMenuIsDrawnLikeTheItemMenu) {
    HMENU loaded = LoadMenuW(App.instance, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    HMENU context = GetSubMenu(loaded, 1);
    MakePopupOwnerDrawn(context);
    std::vector<UINT> ids;
    for (int q = 0; q < GetMenuItemCount(context); ++q) {
        MENUITEMINFOW item = ItemInfo(context, q);
        EXPECT_TRUE(item.fType & MFT_OWNERDRAW);
        ids.push_back(item.wID);
    }
    EXPECT_EQ((std::vector<UINT>{IDM_ITEM_ADD, IDM_ITEM_EDIT, IDM_ITEM_DELETE, IDM_ITEM_DELETE_TICKED, 0,
                                 IDM_ITEM_SELECT_ALL, IDM_ITEM_SORT_BY_NAME}),
              ids);
    for (UINT id : {IDM_ITEM_ADD, IDM_ITEM_EDIT, IDM_ITEM_DELETE, IDM_ITEM_DELETE_TICKED, IDM_ITEM_SELECT_ALL,
                    IDM_ITEM_SORT_BY_NAME}) {
        Picture fromContext(DropDownWidth, ItemHeight);
        Picture fromBar(DropDownWidth, ItemHeight);
        DrawMenuItem(fromContext, context, id);
        DrawMenuItem(fromBar, DropDown(1), id);
        bool hasIcon = id == IDM_ITEM_ADD || id == IDM_ITEM_EDIT || id == IDM_ITEM_DELETE;
        EXPECT_EQ(hasIcon, !fromContext.AllOf({1, 1, 24, ItemHeight - 1}, MenuColour())) << id;
        for (int y = 0; y < ItemHeight; ++y) {
            for (int x = 0; x < DropDownWidth; ++x) ASSERT_EQ(fromBar.At(x, y), fromContext.At(x, y)) << id;
        }
    }
    DestroyMenu(loaded);
}

using CommandIconTest = MainWindowTest;

TEST_F(CommandIconTest, TheSmallIconsLiveFromCreationToClosing) {
    const int smallIcons[] = {IDI_CHECK_TICKED, IDI_CHECK_EMPTY, IDI_ADD_CONTACT, IDI_DELETE_CONTACT, IDI_EDIT_CONTACT,
                              IDI_NEW_BOOK,     IDI_OPEN_BOOK,   IDI_SAVE_BOOK,   IDI_SETTINGS,       IDI_ABOUT,
                              IDI_HELP_TOPICS,  IDI_GROUPS,      IDI_FEEDBACK,    IDI_SAVE_DEFAULT};
    StartCorvelle();
    for (int icon : smallIcons) {
        HICON handle = CommandIcon(icon);
        ASSERT_NE(nullptr, handle) << icon;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(handle, &info));
        BITMAP colour = {};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(16, colour.bmWidth) << icon;
        EXPECT_EQ(16, colour.bmHeight) << icon;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    EXPECT_EQ(0, MenuIconFor(IDM_FILE_SAVE_AS));
    EXPECT_EQ(IDI_FEEDBACK, MenuIconFor(IDM_FEEDBACK));
    EXPECT_EQ(IDI_EDIT_CONTACT, ButtonIconFor(IDC_EDIT_BUTTON));
    EXPECT_EQ(IDI_DELETE_CONTACT, ButtonIconFor(IDC_DELETE_BUTTON));

    ModalAnswers answers;
    answers.ExpectMessage(L"在退出之前是否保存？", L"退出", MB_YESNOCANCEL | MB_ICONQUESTION, IDNO);
    EXPECT_TRUE(CloseCorvelle());
    for (int icon : smallIcons) EXPECT_EQ(nullptr, CommandIcon(icon)) << icon;
}

using ContextMenuLookTest = MainWindowTest;

TEST_F(ContextMenuLookTest, TheRightClickMenuIsOwnerDrawn) {
    WriteBook("default.txl", BookWith({Person("a")}));
    StartCorvelle();
    PopupMenuAnswer menu;
    RightClickRow(List(), 0);
    ASSERT_TRUE(menu.Shown());
    EXPECT_EQ(std::vector<bool>(7, true), menu.ownerDrawn);
    EXPECT_EQ(L"添加...", menu.texts[0]);
}

TEST_F(OwnerDrawnTest, AToolbarButtonHasARaisedEdgeThatSinksWhilePressed) {
    for (bool pressed : {false, true}) {
        Picture picture(70, 20);
        DrawButton(picture, App.addButton, pressed ? ODS_SELECTED : 0);
        Picture edge(70, 20);
        RECT bounds = edge.Bounds();
        DrawEdge(edge.Dc(), &bounds, pressed ? BDR_SUNKENOUTER : BDR_RAISEDOUTER, BF_RECT);
        ExpectSameEdge(edge, picture);
        // A thin edge: the inside is not filled.
        EXPECT_EQ(Untouched, picture.At(1 + 16, 10));
        EXPECT_EQ(Untouched, picture.At(68, 18));
        // The green plus at (1, 1) and the caption from x 30.
        EXPECT_EQ(PlusGreen, picture.At(1 + 7, 1 + 7));
        EXPECT_EQ(PlusDark, picture.At(1 + 5, 1 + 1));
        EXPECT_EQ(Untouched, picture.At(1 + 4, 1 + 1));
        RECT caption = picture.Marks({20, 1, 69, 19}, Untouched);
        ASSERT_FALSE(Empty(caption));
        EXPECT_GE(caption.left, 30);
        EXPECT_LE(caption.left, 32);
        EXPECT_GE(caption.top, 3);
        EXPECT_TRUE(picture.ContainsNear(caption, Ink));
    }
    // The two edges differ where the light falls.
    Picture raised(70, 20), sunken(70, 20);
    DrawButton(raised, App.addButton);
    DrawButton(sunken, App.addButton, ODS_SELECTED);
    EXPECT_NE(raised.At(0, 10), sunken.At(0, 10));
    EXPECT_NE(raised.At(69, 10), sunken.At(69, 10));
}

// The real button, pressed and released, printed as it paints itself.
TEST_F(OwnerDrawnTest, PressingTheRealButtonSinksItsEdgeAndReleasingRaisesIt) {
    Picture raisedEdge(70, 20), sunkenEdge(70, 20);
    RECT bounds = raisedEdge.Bounds();
    DrawEdge(raisedEdge.Dc(), &bounds, BDR_RAISEDOUTER, BF_RECT);
    DrawEdge(sunkenEdge.Dc(), &bounds, BDR_SUNKENOUTER, BF_RECT);

    SendMessageW(App.addButton, BM_SETSTATE, TRUE, 0);
    Picture pressed(70, 20);
    PrintWindow(App.addButton, pressed.Dc(), PW_CLIENTONLY);
    SendMessageW(App.addButton, BM_SETSTATE, FALSE, 0);
    Picture released(70, 20);
    PrintWindow(App.addButton, released.Dc(), PW_CLIENTONLY);
    PumpMessages();

    // The button's client area lies inside its one-pixel border.
    EXPECT_EQ(sunkenEdge.At(0, 5), pressed.At(0, 5));
    EXPECT_EQ(sunkenEdge.At(0, 5), pressed.At(30, 0));
    EXPECT_EQ(raisedEdge.At(0, 5), released.At(0, 5));
    EXPECT_EQ(raisedEdge.At(0, 5), released.At(30, 0));
}

TEST_F(OwnerDrawnTest, EachToolbarButtonShowsTheIconOfItsCommand) {
    Picture add(70, 20), edit(70, 20), remove(70, 20);
    DrawButton(add, App.addButton);
    DrawButton(edit, App.editButton);
    DrawButton(remove, App.deleteButton);
    EXPECT_EQ(PlusGreen, add.At(1 + 7, 1 + 7));
    EXPECT_EQ(RGB(225, 30, 30), remove.At(1 + 3, 1 + 3));   // the red cross
    EXPECT_EQ(RGB(220, 40, 40), edit.At(1 + 9, 1 + 7));     // the red pencil
}

TEST_F(OwnerDrawnTest, OtherControlsAreNotDrawnHere) {
    Picture picture(70, 20);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = IDC_CONTACT_LIST;
    item.hwndItem = App.contactList;
    item.hDC = picture.Dc();
    item.rcItem = picture.Bounds();
    EXPECT_FALSE(SendMessageW(window, WM_DRAWITEM, IDC_CONTACT_LIST, reinterpret_cast<LPARAM>(&item)));
    EXPECT_TRUE(picture.AllOf(picture.Bounds(), Untouched));
}
