// The question the CSV import asks about a column whose title matches no
// field: which field it holds, or whether to ignore it (and the rest).
#pragma once

#include <windows.h>

#include <string>

#include "csv/csv_reader.h"

// Shows the mapping dialog over `owner` with the prompt (GBK) naming the
// column. "确定" maps the column to the field chosen in the list,
// "忽略该项" (or Escape) ignores it, "忽略该项及之后" ignores it and every
// later column.
ColumnMappingChoice ColumnMappingDialog(HWND owner, const std::string& prompt);

// The import's question answered by the dialog, owned by `owner`.
ColumnMappingQuestion ColumnMappingDialogQuestion(HWND owner);
