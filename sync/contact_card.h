// One contact as a card on a CardDAV server, and back: vCard 3.0 in
// UTF-8, with the contact's id as its UID and its items as properties,
// made by the vCard writer and read by the vCard reader.
#pragma once

#include <string>

#include "store/contact_store.h"
#include "store/groups.h"
#include "vcard/vcard_reader.h"

// The card of a contact. The book's text (GB 18030) becomes UTF-8.
std::string ContactCardText(const ContactRecord& record, const ContactDetails& details, const GroupList& groups);

// Reads the first card of a server's text as an import reads it; false when
// it holds no card or no contact (nothing names it, a group's card).
bool ReadContactCard(const std::string& text, VcardCard& card);

// A property's value (UTF-8, escaped) as the book's text, for messages.
std::string CardValueText(const std::string& value);
