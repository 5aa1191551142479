// Which control of the contact editor shows each field of a contact.
#pragma once

#include "store/contact_record.h"

// The editor's control for the field: an edit box, the gender list, or
// for the three birthday fields the one date picker.
int EditorControlOf(ContactField field);
