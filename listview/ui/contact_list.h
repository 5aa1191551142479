// The contact list on the main window and the three controls that narrow
// it. Every change to the store, the settings or the filters is followed
// by a full rebuild: RebuildColumns when the columns may have changed,
// FillGroupFilter when the groups may have, then RefreshList.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "listview/filters.h"
#include "store/contact_record.h"

// The item states of a row's check box (state images 1 and 2).
const UINT UntickedState = INDEXTOSTATEIMAGEMASK(1);
const UINT TickedState = INDEXTOSTATEIMAGEMASK(2);

// Removes every column and field-filter choice, then adds the name column
// and one column per shown flag, and offers the same headers in the field
// filter after "- 所有类别 -" and "姓名". The field filter is left on its
// first choice.
void RebuildColumns();

// Gives the columns their widths anew for the DPI the window now has
// (App.dpi), leaving columns, rows and filters as they are.
void ScaleColumnWidths();

// Makes the virtual list (LVS_OWNERDATA) ask for its check boxes, and
// lets the ticks of its rows, however they are set, reach the records.
void SetUpContactListRows(HWND list);

// Shows a row for every record that passes the filters, in store order,
// setting each record's ShownFlag; no row is left selected, and the view
// goes back to the top. Rows are drawn as the list paints them.
void RefreshList();

// LVN_GETDISPINFO: the list asks for a cell's text, or a row's check box
// (ticked when its record's CheckFlag is 1), when it shows it.
void ContactList_OnGetDispInfo(NMLVDISPINFOW* request);

// LVN_ODFINDITEM: a key typed in the list looks for the next row whose name
// begins with it, as a list that holds its texts does. Returns the row or -1.
LRESULT ContactList_OnFindItem(const NMLVFINDITEMW* request);

// NM_CUSTOMDRAW: a cell whose text holds a character beyond the basic
// plane (𬎆) is written again through Uniscribe once the list has drawn
// it, since the list draws each half of a surrogate pair as a box under
// Wine. Returns what the list is to do next.
LRESULT ContactList_OnCustomDraw(const NMLVCUSTOMDRAW* draw);

// The lowest-numbered selected row, or -1.
int FirstSelectedRow();

// Refills the group filter: "- 所有分组 -", then every group, first choice selected.
void FillGroupFilter();
// The same after an import, which only appends groups: the chosen group
// stays chosen.
void FillGroupFilterKeepingChoice();

// What the search box, the field filter and the group filter say now.
FilterState ReadFilterState();
