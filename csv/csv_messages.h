// What the CSV import and export say to the user, exactly as shown. The
// texts are UTF-16 for the message boxes and file choosers of the user
// interface (and for txltool's errors); the reader and the writer report
// through their results and never show anything themselves.
#pragma once

#include <string>

#include "store/contact_store.h"

// File choosers of the import and the export.
const wchar_t CsvFileFilterName[] = L"CSV文件(*.csv)";
// The export's second file type: UTF-8 with a byte-order mark.
const wchar_t CsvUtf8FilterName[] = L"CSV UTF-8 (*.csv)";
const wchar_t CsvFilePattern[] = L"*.csv";
const wchar_t CsvExtension[] = L".csv";
const wchar_t CsvImportChooserTitle[] = L"导入CSV文件";
const wchar_t CsvExportChooserTitle[] = L"生成CSV文件";

// Captions: the import's and export's outcome, the export question (the
// mapping dialog's "?" tip has the shared TipCaption).
const wchar_t CsvCaption[] = L"CSV";
const wchar_t CsvExportQuestionCaption[] = L"生成CSV";

// Import: the file cannot be opened or is empty (warning icon).
const wchar_t CsvCannotReadText[] = L"无法读取csv文件！";
// The mapping dialog's "?" button (information icon).
const wchar_t CsvMappingTipText[] =
    L"如果表头是生日并且是年月日在一起，请对应到 出生年 项，系统将会自动识别日期。";

// Import: the store filled up; `notImported` lines that named a contact
// were left out (warning icon).
inline std::wstring CsvBookFullText(int capacity, int notImported) {
    return L"通讯录已满（最多 " + std::to_wstring(capacity) + L" 个联系人），文件中有 " +
           std::to_wstring(notImported) + L" 行未能导入！";
}

// Import: `duplicates` contacts of the file were in the book already and
// were not added again (information icon).
inline std::wstring CsvDuplicatesText(int duplicates) {
    return L"文件中有 " + std::to_wstring(duplicates) + L" 个联系人已在通讯录中，没有再次导入。";
}

// Import: `cutRows` lines held a text longer than the reader keeps (64 KB),
// which was imported cut (warning icon).
inline std::wstring CsvCutTextsText(int cutRows) {
    return L"文件中有 " + std::to_wstring(cutRows) + L" 行含有超过 64 KB 的文字，超出的部分没有导入。";
}

// Import of a large file: the progress window's title, and what the user
// is told after "取消": how many contacts came in and stay (information icon).
const wchar_t CsvImportProgressTitle[] = L"导入CSV文件";
inline std::wstring CsvCancelledText(int imported) {
    return L"导入已取消，已导入 " + std::to_wstring(imported) + L" 个联系人。";
}

// Export: all contacts (是), the ticked ones (否) or nothing (取消)
// (Yes/No/Cancel, information icon).
const wchar_t CsvExportQuestionText[] = L"请选择输出的项目：\n点击“是”输出所有项，“否”输出选中项";
// Export: the file reached the disk (information icon) or could not be
// written, the previous file being left as it was (warning icon).
const wchar_t CsvExportSucceededText[] = L"生成CSV文件成功！";
const wchar_t CsvExportFailedText[] = L"无效的文件名！\n生成CSV文件失败！";
