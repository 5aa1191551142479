#include "app/author.h"

const wchar_t AuthorName[] = L"Corvelle";
const wchar_t FeedbackAddress[] = L"feedback@corvelle.example";
const wchar_t AuthorQq[] = L"12345678";
