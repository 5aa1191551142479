#include "csv/ui/csv_commands.h"

#include "csv/ui/column_mapping_dialog.h"
#include "csv/csv_messages.h"
#include "csv/csv_reader.h"
#include "csv/csv_writer.h"
#include "listview/ui/contact_list.h"
#include "ui/app_state.h"
#include "ui/file_dialogs.h"
#include "ui/progress_window.h"
#include "ui/ui_text.h"

void ImportCsvCommand(HWND window) {
    PathString path;
    if (!ChooseFile(window, CsvFileFilterName, CsvFilePattern, CsvImportChooserTitle, path, FileDialogKind::Open)) {
        return;
    }
    // The progress starts with the first line of contacts, once the
    // questions about the columns were answered.
    ProgressWindow progress;
    bool begun = false;
    CsvImportResult result = ImportCsvFile(path, App.document.contacts, App.document.groups,
                                           ColumnMappingDialogQuestion(window), [&](int done, int total) {
                                               if (!begun) BeginProgress(progress, window, CsvImportProgressTitle);
                                               begun = true;
                                               return ReportProgress(progress, done, total);
                                           });
    if (begun) EndProgress(progress);
    if (!result.read) ShowMessage(window, CsvCannotReadText, CsvCaption, MB_OK | MB_ICONWARNING);
    RebuildColumns();
    FillGroupFilterKeepingChoice();  // the groups the file brought
    RefreshList();
    if (result.cancelled) {
        ShowMessage(window, CsvCancelledText(result.imported), CsvCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (result.notImported > 0) {
        ShowMessage(window, CsvBookFullText(Contacts().capacity, result.notImported), CsvCaption, MB_OK | MB_ICONWARNING);
    }
    if (result.cutRows > 0) {
        ShowMessage(window, CsvCutTextsText(result.cutRows), CsvCaption, MB_OK | MB_ICONWARNING);
    }
    if (result.duplicates > 0) {
        ShowMessage(window, CsvDuplicatesText(result.duplicates), CsvCaption, MB_OK | MB_ICONINFORMATION);
    }
}

// Cancel at the question writes nothing, not even an empty file.
void ExportCsvCommand(HWND window) {
    PathString path;
    int fileType = 0;
    if (!ChooseFile(window, CsvFileFilterName, CsvFilePattern, CsvExportChooserTitle, path, FileDialogKind::Save,
                    CsvExtension, CsvUtf8FilterName, &fileType)) {
        return;
    }
    CsvFileEncoding encoding = fileType == 1 ? CsvFileEncoding::Utf8WithBom : CsvFileEncoding::Gb18030;
    int answer =
        ShowMessage(window, CsvExportQuestionText, CsvExportQuestionCaption, MB_YESNOCANCEL | MB_ICONINFORMATION);
    if (answer != IDYES && answer != IDNO) return;
    if (ExportCsvFile(path, App.document.contacts, answer == IDNO, encoding)) {
        ShowMessage(window, CsvExportSucceededText, CsvCaption, MB_OK | MB_ICONINFORMATION);
    } else {
        ShowMessage(window, CsvExportFailedText, CsvCaption, MB_OK | MB_ICONWARNING);
    }
}
