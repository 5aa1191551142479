// Who wrote Corvelle and how to reach them: shown in the About box and in
// the help, and used by the feedback command. Placeholders until the
// program has a published address, under the reserved ".example" domain
// so that no stranger gets the mail. The About box's author line holds
// the name and the address in 134 dialog units: keep them that short.
#pragma once

extern const wchar_t AuthorName[];       // "柯维乐", Corvelle in Chinese
extern const wchar_t FeedbackAddress[];  // the feedback e-mail address
extern const wchar_t AuthorQq[];         // the author's QQ number
