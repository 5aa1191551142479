// The main window's CSV commands.
#pragma once

#include <windows.h>

// "导入" → "*.csv": a file the user chooses, its unknown columns put to
// the user one by one; the columns and rows are rebuilt afterwards.
void ImportCsvCommand(HWND window);
// "输出" → "*.csv": all or the ticked contacts into a file the user names.
void ExportCsvCommand(HWND window);
