#include "vcard/ui/vcard_commands.h"

#include <string>

#include "listview/ui/contact_list.h"
#include "ui/app_state.h"
#include "ui/file_dialogs.h"
#include "ui/progress_window.h"
#include "ui/ui_text.h"
#include "vcard/batch_import.h"
#include "vcard/ui/vcard_dialogs.h"
#include "vcard/vcard_format.h"
#include "vcard/vcard_reader.h"

namespace {

const wchar_t VcardFilterName[] = L"VCard(*.vcf)";
const wchar_t VcardFilterPattern[] = L"*.vcf";
const wchar_t ImportTitle[] = L"导入vcf";
const wchar_t DirectoryCaption[] = L"选择vcf文件所在目录";

const wchar_t BookFullText[] = L"通讯录已满（最多 %s 个联系人），有 %s 个联系人未能导入！";
const wchar_t CancelledText[] = L"导入已取消，已导入 %s 个联系人。";

// An import is otherwise silent; what did not fit is never dropped unsaid.
void TellWhatDidNotFit(HWND window, const VcardImportResult& result) {
    if (result.notImported == 0) return;
    ShowMessage(window, FillIn(BookFullText, {std::to_wstring(Contacts().capacity), std::to_wstring(result.notImported)}),
                AttentionCaption, MB_OK | MB_ICONWARNING);
}

void TellWhatWasCancelled(HWND window, const VcardImportResult& result) {
    if (!result.cancelled) return;
    ShowMessage(window, FillIn(CancelledText, {std::to_wstring(result.imported)}), ImportTitle, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

// A file that cannot be read imports nothing, silently, like a file
// without a named card.
void ImportVcardFileCommand(HWND window) {
    PathString path;
    if (!ChooseFile(window, VcardFilterName, VcardFilterPattern, ImportTitle, path, FileDialogKind::Open,
                    PathFromAscii(VcardExtension).c_str())) {
        return;
    }
    ProgressWindow progress;
    BeginProgress(progress, window, ImportTitle);
    ImportGroups made;
    VcardImportResult result = ReadVcardFile(
        path, App.document, made, [&progress](int done, int total) { return ReportProgress(progress, done, total); });
    EndProgress(progress);
    FillGroupFilterKeepingChoice();  // the groups the cards' categories made
    RefreshList();
    TellWhatWasCancelled(window, result);
    if (!result.cancelled) TellWhatDidNotFit(window, result);
}

void ImportVcardDirectoryCommand(HWND window) {
    if (DirectoryDialog(window, DirectoryCaption) != 1) return;
    ProgressWindow progress;
    BeginProgress(progress, window, ImportTitle);
    VcardImportResult result = ImportVcardDirectory(
        ChosenDirectory, App.document, [&progress](int done, int total) { return ReportProgress(progress, done, total); });
    EndProgress(progress);
    FillGroupFilterKeepingChoice();
    RefreshList();
    TellWhatWasCancelled(window, result);
    if (!result.cancelled) TellWhatDidNotFit(window, result);
}

void ExportVcardCommand(HWND window) { ExportVcardDialog(window); }
