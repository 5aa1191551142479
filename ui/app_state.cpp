#include "ui/app_state.h"

AppState App;

const wchar_t ProgramTitle[] = L"Corvelle v1.9";
const wchar_t MainWindowClass[] = L"card";

PathString StartFolderFile(const PathString& name) { return JoinPath(App.startFolder, name); }
