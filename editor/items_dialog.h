// The dialog that lists a contact's other information (other numbers,
// e-mail addresses, addresses, notes, websites, ...) and lets the user
// add, change and remove items.
#pragma once

#include <windows.h>

#include "store/contact_details.h"

// Shows the items; on "确定" they replace the contact's, in the order
// shown. True when they were replaced.
bool RunItemsDialog(HWND owner, ContactDetails& details);
