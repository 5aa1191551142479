// Small text operations shared by the vCard reader, the CSV reader and
// the dialogs that read a name or a path.
#pragma once

#include <string>

// Cuts the text after its last byte that is neither a space nor a line
// feed (all of it when there is none), then drops the leading spaces.
// Carriage returns and tabs stay.
void TrimSpaces(char* text);
void TrimSpaces(std::string& text);
