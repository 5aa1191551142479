#include "ui/protected_text.h"

#include <windows.h>
#include <wincrypt.h>

#include <vector>

namespace {

const wchar_t SecretDescription[] = L"Corvelle";

void Forget(std::vector<BYTE>& bytes) {
    if (!bytes.empty()) SecureZeroMemory(bytes.data(), bytes.size());
}

}  // namespace

bool ProtectText(const std::string& plain, std::string& protectedBase64) {
    std::vector<BYTE> plainBytes(plain.begin(), plain.end());
    DATA_BLOB in = {static_cast<DWORD>(plainBytes.size()), plainBytes.data()};
    DATA_BLOB out = {};
    bool done = CryptProtectData(&in, SecretDescription, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out);
    Forget(plainBytes);
    if (!done) return false;
    DWORD length = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    std::string text;
    if (CryptBinaryToStringA(out.pbData, out.cbData, flags, nullptr, &length) && length > 0) {
        text.assign(length, '\0');
        if (!CryptBinaryToStringA(out.pbData, out.cbData, flags, &text[0], &length)) text.clear();
    }
    LocalFree(out.pbData);
    // One line whatever the system's Base64 writer does with line breaks.
    protectedBase64.clear();
    for (char c : text) {
        if (c != '\r' && c != '\n' && c != '\0') protectedBase64 += c;
    }
    return !protectedBase64.empty();
}

bool UnprotectText(const std::string& protectedBase64, std::string& plain) {
    plain.clear();
    DWORD length = 0;
    if (protectedBase64.empty() ||
        !CryptStringToBinaryA(protectedBase64.c_str(), static_cast<DWORD>(protectedBase64.size()), CRYPT_STRING_BASE64,
                              nullptr, &length, nullptr, nullptr)) {
        return false;
    }
    std::vector<BYTE> sealed(length);
    if (!CryptStringToBinaryA(protectedBase64.c_str(), static_cast<DWORD>(protectedBase64.size()), CRYPT_STRING_BASE64,
                              sealed.data(), &length, nullptr, nullptr)) {
        return false;
    }
    DATA_BLOB in = {length, sealed.data()};
    DATA_BLOB out = {};
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out)) return false;
    plain.assign(reinterpret_cast<const char*>(out.pbData), out.cbData);
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
    return true;
}
