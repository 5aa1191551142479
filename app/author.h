// Who wrote Corvelle and how to reach them: shown in the About box and in
// the help, and used by the feedback command. Placeholders until the
// program has a published address.
#pragma once

extern const wchar_t AuthorName[];       // "Corvelle"
extern const wchar_t FeedbackAddress[];  // the feedback e-mail address
extern const wchar_t AuthorQq[];         // the author's QQ number
