#include "ui/app_state.h"

#include "corvelle_version.h"

AppState App;

const wchar_t ProgramTitle[] = L"" CORVELLE_PROGRAM_TITLE;
const wchar_t MainWindowClass[] = L"card";

PathString StartFolderFile(const PathString& name) { return JoinPath(App.startFolder, name); }
