// A secret kept for the Windows user who saved it: the remembered password
// of a synchronisation is encrypted by the system (CryptProtectData) and
// kept as Base64 text, so that the settings file never holds it plainly
// and another user, or another computer, cannot read it.
#pragma once

#include <string>

// False when the system refuses to encrypt.
bool ProtectText(const std::string& plain, std::string& protectedBase64);
// False when the text is not Base64 or the system cannot decrypt it (made
// by another user or on another computer): the password is asked for again.
bool UnprotectText(const std::string& protectedBase64, std::string& plain);
