#include "dialogs/author.h"

const wchar_t AuthorName[] = L"柯维乐";
const wchar_t FeedbackAddress[] = L"kwl@cv.example";
const wchar_t AuthorQq[] = L"12345678";
