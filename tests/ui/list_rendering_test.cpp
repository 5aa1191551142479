// The list's text as the font the system maps it to draws it: every
// character leaves ink, and none loses its top or bottom.
#include <windows.h>
#include <commctrl.h>
#include <usp10.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/fixed_text.h"
#include "ui/app_state.h"
#include "ui_test_support.h"

namespace {

// Text is black on white, its smoothed edges grey; only the background
// and the grid lines are closer to white than this, in every channel.
const int InkDistance = 31;
// Characters are drawn again this many times larger to learn their shape.
const int Magnified = 4;

// Which pixels of a picture are ink.
struct InkMap {
    int width = 0;
    int height = 0;
    std::vector<char> ink;
    std::vector<COLORREF> colours;
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height && ink[y * width + x]; }
    COLORREF Colour(int x, int y) const { return colours[y * width + x]; }
};

// The picture a memory bitmap holds, read as ink on paper of a colour.
InkMap ReadInk(HDC dc, HBITMAP bitmap, int width, int height, COLORREF paper = RGB(255, 255, 255)) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    InkMap map;
    map.width = width;
    map.height = height;
    // DIB pixels are blue, green, red from the lowest byte up.
    int paperChannels[] = {GetBValue(paper), GetGValue(paper), GetRValue(paper)};
    for (DWORD pixel : pixels) {
        int farthest = 0;
        for (int channel = 0; channel < 3; ++channel) {
            int value = static_cast<int>((pixel >> (8 * channel)) & 0xFF);
            farthest = std::max(farthest, std::abs(value - paperChannels[channel]));
        }
        map.ink.push_back(farthest > InkDistance);
        map.colours.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
    return map;
}

// What a window shows in its client area, printed into a memory bitmap.
InkMap PrintClientArea(HWND window, COLORREF paper = RGB(255, 255, 255)) {
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    PrintWindow(window, dc, PW_CLIENTONLY);
    SelectObject(dc, previous);
    InkMap map = ReadInk(dc, bitmap, client.right, client.bottom, paper);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return map;
}

// A square of paper twice `size` wide in a memory DC, the font chosen and
// the text's colour set; Ink reads what was drawn on it and frees it.
struct Canvas {
    HDC screen, dc;
    HBITMAP bitmap;
    HGDIOBJ previousBitmap, previousFont;
    int side;
    COLORREF paper;

    Canvas(HFONT font, int size, COLORREF paper, COLORREF colour)
        : screen(GetDC(nullptr)), dc(CreateCompatibleDC(screen)),
          bitmap(CreateCompatibleBitmap(screen, 2 * size, 2 * size)), side(2 * size), paper(paper) {
        previousBitmap = SelectObject(dc, bitmap);
        previousFont = SelectObject(dc, font);
        RECT all = {0, 0, side, side};
        HBRUSH fill = CreateSolidBrush(paper);
        FillRect(dc, &all, fill);
        DeleteObject(fill);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, colour);
    }
    InkMap Ink() {
        SelectObject(dc, previousFont);
        SelectObject(dc, previousBitmap);
        InkMap map = ReadInk(dc, bitmap, side, side, paper);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return map;
    }
};

// The ink of one character drawn alone in a font, with room all round.
InkMap DrawAlone(HFONT font, wchar_t character, int size) {
    Canvas canvas(font, size, RGB(255, 255, 255), RGB(0, 0, 0));
    TextOutW(canvas.dc, size / 2, size / 2, &character, 1);
    return canvas.Ink();
}

// The ink of text shaped by Uniscribe in a font and colour on paper of
// a colour, with room all round.
InkMap ShapeAlone(HFONT font, const std::wstring& text, int size, COLORREF paper, COLORREF colour) {
    Canvas canvas(font, size, paper, colour);
    HDC dc = canvas.dc;
    SCRIPT_ITEM items[4];
    int itemCount = 0;
    SCRIPT_CACHE cache = nullptr;
    WORD glyphs[8], clusters[8];
    SCRIPT_VISATTR attributes[8];
    int glyphCount = 0, advances[8];
    GOFFSET offsets[8];
    ABC abc;
    int length = static_cast<int>(text.size());
    if (SUCCEEDED(ScriptItemize(text.c_str(), length, 3, nullptr, nullptr, items, &itemCount)) &&
        SUCCEEDED(ScriptShape(dc, &cache, text.c_str(), length, 8, &items[0].a, glyphs, clusters, attributes,
                              &glyphCount)) &&
        SUCCEEDED(ScriptPlace(dc, &cache, glyphs, glyphCount, attributes, &items[0].a, advances, offsets, &abc))) {
        ScriptTextOut(dc, &cache, size / 2, size / 2, 0, nullptr, &items[0].a, nullptr, 0, glyphs, glyphCount,
                      advances, nullptr, offsets);
    }
    ScriptFreeCache(&cache);
    return canvas.Ink();
}

struct Span {
    int first = -1;
    int last = -1;  // inclusive; -1 when there is no ink
    int Length() const { return first < 0 ? 0 : last - first + 1; }
};

// The rows that hold ink between two columns of a rectangle.
Span InkRows(const InkMap& map, int left, int right, int top, int bottom) {
    Span rows;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (!map.At(x, y)) continue;
            if (rows.first < 0) rows.first = y;
            rows.last = y;
            break;
        }
    }
    return rows;
}

// The height of a character's ink at the list's size, as its shape drawn
// larger predicts it.
int ExpectedInkHeight(HFONT font, wchar_t character) {
    LOGFONTW shape = {};
    GetObjectW(font, sizeof shape, &shape);
    int size = std::abs(shape.lfHeight);
    shape.lfHeight *= Magnified;
    HFONT large = CreateFontIndirectW(&shape);
    InkMap drawn = DrawAlone(large, character, size * Magnified * 2);
    DeleteObject(large);
    return InkRows(drawn, 0, drawn.width, 0, drawn.height).Length() / Magnified;
}

// Where each character of a cell's text stands: its left and right pixel
// columns, in the list's font, from the first ink of the cell.
std::vector<std::pair<int, int>> CharacterColumns(HWND list, const std::wstring& text, int textLeft) {
    HDC dc = GetDC(list);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    std::vector<int> ends(text.size());
    SIZE size;
    GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), 0, nullptr, ends.data(), &size);
    ABCFLOAT first = {};
    GetCharABCWidthsFloatW(dc, text[0], text[0], &first);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    int origin = textLeft - static_cast<int>(first.abcfA + 0.5f);
    std::vector<std::pair<int, int>> columns;
    for (size_t i = 0; i < text.size(); ++i) {
        columns.push_back({origin + (i == 0 ? 0 : ends[i - 1]), origin + ends[i]});
    }
    return columns;
}

// The box around the ink inside a rectangle, and how many pixels are ink.
struct InkBox {
    Span columns, rows;
    int count = 0;
};
InkBox InkWithin(const InkMap& map, int left, int right, int top, int bottom) {
    InkBox box;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (!map.At(x, y)) continue;
            ++box.count;
            if (box.columns.first < 0 || x < box.columns.first) box.columns.first = x;
            if (x > box.columns.last) box.columns.last = x;
            if (box.rows.first < 0) box.rows.first = y;
            box.rows.last = y;
        }
    }
    return box;
}

class ListRenderingTest : public MainWindowTest {};

}  // namespace

TEST_F(ListRenderingTest, EveryCharacterOfARowIsDrawnWhole) {
    ContactRecord wang = Record({{Surname, Gbk("王")}, {GivenName, Gbk("小明")}, {HomePhone, "010-6088505"}});
    WriteBook("default.txl", BookWith({wang}));
    StartCorvelle();
    std::vector<std::wstring> headers = ColumnHeaders(List());
    int phoneColumn = static_cast<int>(std::find(headers.begin(), headers.end(), L"家庭电话") - headers.begin());
    ASSERT_LT(phoneColumn, static_cast<int>(headers.size()));

    InkMap printed = PrintClientArea(List());
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0));
    struct Cell {
        int column;
        std::wstring text;
    } cells[] = {{0, L"王小明"}, {1, L"男"}, {phoneColumn, L"010-6088505"}};
    for (const Cell& cell : cells) {
        SCOPED_TRACE(testing::Message() << "column " << cell.column);
        ASSERT_EQ(cell.text, CellText(List(), 0, cell.column));
        RECT box;
        ListView_GetSubItemRect(List(), 0, cell.column, LVIR_LABEL, &box);
        // Inside the grid lines.
        int left = box.left + 1, right = box.right - 1, top = box.top + 1, bottom = box.bottom - 1;
        int textLeft = -1;
        for (int x = left; x < right && textLeft < 0; ++x) {
            if (InkRows(printed, x, x + 1, top, bottom).Length()) textLeft = x;
        }
        ASSERT_GE(textLeft, 0) << "the cell is empty";
        std::vector<std::pair<int, int>> columns = CharacterColumns(List(), cell.text, textLeft);
        for (size_t i = 0; i < cell.text.size(); ++i) {
            Span rows = InkRows(printed, columns[i].first, columns[i].second, top, bottom);
            int expected = ExpectedInkHeight(font, cell.text[i]);
            ASSERT_GT(rows.Length(), 0) << "character " << i << " leaves no ink";
            // One row of rounding either way; a cut character loses more.
            EXPECT_GE(rows.Length() + 1, expected) << "character " << i << " lost part of its height";
            // Ink on the first or last row inside the grid lines would go on beyond the clip.
            EXPECT_GT(rows.first, top) << "character " << i << " is cut at the top of its cell";
            EXPECT_LT(rows.last, bottom - 1) << "character " << i << " is cut at the bottom of its cell";
        }
    }
}

// GDI under Wine draws each half of a surrogate pair as a box of its own;
// the list's cell shows 𬎆 as the one glyph the font beyond the basic
// plane (HanaMin B in the test prefix) has for it, in a selected row too.
TEST_F(ListRenderingTest, ACharacterBeyondTheBasicPlaneIsDrawnAsOneGlyph) {
    const std::wstring rare = L"\U0002C386";
    StartWith({Record({{Surname, Gbk("刘")}, {GivenName, Gbk("𬎆")}})});
    ASSERT_EQ(L"刘" + rare, CellText(List(), 0, 0));
    // The list's font (the icon titles' unless the window's DPI differs
    // from the system's), as the test prefix's fallback for the plane
    // beyond the basic one, HanaMin B, draws it.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0));
    LOGFONTW shape = {};
    if (font) {
        GetObjectW(font, sizeof shape, &shape);
    } else {
        SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof shape, &shape, 0);
    }
    wcscpy(shape.lfFaceName, L"HanaMinB");
    shape.lfCharSet = DEFAULT_CHARSET;
    HFONT rareFont = CreateFontIndirectW(&shape);

    RECT label, neighbour;
    ListView_GetSubItemRect(List(), 0, 0, LVIR_LABEL, &label);
    ListView_GetSubItemRect(List(), 0, 1, LVIR_LABEL, &neighbour);
    int top = label.top + 1, bottom = label.bottom - 1, middle = (label.top + label.bottom) / 2;
    enum { Plain, SelectedFocused, SelectedElsewhere };
    for (int state : {Plain, SelectedFocused, SelectedElsewhere}) {
        SCOPED_TRACE(testing::Message() << "state " << state);
        if (state != Plain) {
            // Selected, not made the focused row: the focus's dotted frame
            // would be ink too. The list has the keyboard focus or not.
            ListView_SetItemState(List(), 0, LVIS_SELECTED, LVIS_SELECTED);
            SetFocus(state == SelectedFocused ? List() : nullptr);
            UpdateWindow(List());
        }
        // The paper and ink the list itself gives the row, in the
        // neighbouring cell, which it draws alone ("男"): its ink is the
        // pixel farthest from its paper.
        InkMap colours = PrintClientArea(List());
        COLORREF paper = colours.Colour(neighbour.right - 3, middle);
        COLORREF colour = paper;
        int farthest = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = neighbour.left + 1; x < neighbour.right - 1; ++x) {
                COLORREF here = colours.Colour(x, y);
                int distance = std::abs(GetRValue(here) - GetRValue(paper)) + std::abs(GetGValue(here) - GetGValue(paper)) +
                               std::abs(GetBValue(here) - GetBValue(paper));
                if (distance > farthest) {
                    farthest = distance;
                    colour = here;
                }
            }
        }
        EXPECT_EQ(paper, colours.Colour(label.right - 3, middle)) << "the cell's paper is not the row's";

        InkMap alone = ShapeAlone(rareFont, rare, std::abs(shape.lfHeight) * 2, paper, colour);
        InkBox expected = InkWithin(alone, 0, alone.width, 0, alone.height);
        ASSERT_GT(expected.count, 0) << "HanaMin B has no glyph for U+2C386";
        InkMap printed = PrintClientArea(List(), paper);
        InkBox cell = InkWithin(printed, label.left, label.right - 1, top, bottom);
        ASSERT_GT(cell.count, 0) << "the cell is empty";
        std::vector<std::pair<int, int>> columns = CharacterColumns(List(), L"刘", cell.columns.first);
        InkBox drawn = InkWithin(printed, columns[0].second, label.right - 1, top, bottom);
        // Two boxes are twice as wide as one and hollow; the glyph is as
        // wide and as tall as drawn alone, within a pixel of smoothing.
        EXPECT_NEAR(expected.columns.Length(), drawn.columns.Length(), 1);
        EXPECT_NEAR(expected.rows.Length(), drawn.rows.Length(), 1);
        EXPECT_NEAR(expected.count, drawn.count, expected.count / 5);
    }
    DeleteObject(rareFont);
}
