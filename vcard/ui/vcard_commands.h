// The main window's vCard commands: import one file, import a whole
// folder, export.
#pragma once

#include <windows.h>

// "导入" → "*.vcf": one file the user chooses.
void ImportVcardFileCommand(HWND window);
// "导入" → "批量导入vcf": every .vcf file of a folder the user names.
void ImportVcardDirectoryCommand(HWND window);
// "输出" → "*.vcf": the export dialog.
void ExportVcardCommand(HWND window);
