// txltool: the address book from the command line, for scripts and batch
// work. Each subcommand is one function over the same portable core.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"
#include "store/document.h"

using Arguments = std::vector<PathString>;

// Exit statuses shared by every subcommand.
const int ExitOk = 0;
const int ExitFailed = 1;
const int ExitUsage = 2;

// Reads BOOK into the document, or starts a new one when BOOK does not
// exist. False (after a message on standard error) when BOOK exists but
// cannot be read as a book.
bool LoadBookOrNew(const PathString& book, Document& document);
// Writes the document to BOOK; false after a message when it cannot.
bool SaveBook(const PathString& book, const Document& document);

// Standard output and error take bytes as they are (GBK texts included).
void PrintBytes(FILE* stream, const std::string& bytes);
void PrintError(const std::string& utf8);
std::string ArgumentToGbk(const PathString& argument);
std::string ArgumentToUtf8(const PathString& argument);

int CommandNew(const Arguments& args);
int CommandDump(const Arguments& all);
int CommandSort(const Arguments& args);
int CommandImportCsv(const Arguments& args);
int CommandExportCsv(const Arguments& args);
extern const char ImportCsvUsage[];
extern const char ExportCsvUsage[];
int CommandImportVcf(const Arguments& args);
int CommandExportVcf(const Arguments& args);
extern const char ImportVcfUsage[];
extern const char ExportVcfUsage[];
int CommandEdit(const Arguments& args);
int CommandDelete(const Arguments& args);
extern const char EditUsageText[];
extern const char DeleteUsageText[];
int CommandSync(const Arguments& args);
extern const char SyncUsageText[];
