// What a contact carries beside its 27 fields: an identity, the whole form
// of any field that holds its text cut, and an ordered list of items (other
// numbers, e-mail addresses, addresses, notes, websites, ...).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "store/contact_record.h"

enum class ItemKind : int32_t { Phone, Email, Address, Url, Im, Note, Date, Related, Custom };
const int ItemKindCount = 9;

// Parts of an address item, in vCard's order.
enum AddressPart { PostOfficeBox, ExtendedAddress, Street, Locality, Region, PostalCode, Country, AddressPartCount };
// Parts of a messaging item.
enum ImPart { ImService, ImName, ImPartCount };

struct ContactItem {
    ItemKind kind = ItemKind::Custom;
    std::string label;               // GBK, like the fields
    std::vector<std::string> parts;  // one text; an address's 7; a service and a name
};

struct ContactDetails {
    std::string id;
    bool idKept = false;  // the id came from a card or a saved book: it must be saved
    std::vector<ContactItem> items;
    std::map<int, std::string> wholes;  // field -> its whole text, when the field holds it cut
};

bool operator==(const ContactItem& a, const ContactItem& b);
bool operator==(const ContactDetails& a, const ContactDetails& b);

// The same items, whatever their order.
bool SameItems(const std::vector<ContactItem>& a, const std::vector<ContactItem>& b);

// The labels of the custom items that are parts of the name and the
// organisation, which vCard carries in N and ORG.
std::string MiddleNameLabel();
std::string NamePrefixLabel();
std::string NameSuffixLabel();
std::string OrganisationUnitLabel();

// The order a contact's items are kept in, which every file form gives
// back: by kind in ItemKind's order (as CSV's columns group them); among
// the custom items first the parts of the name and the organisation that
// vCard carries in N and ORG (middle name, prefix, suffix, unit), then the
// others; otherwise as they came.
void OrderItems(std::vector<ContactItem>& items);
// Puts the item where that order has it (behind its equals); its index.
size_t InsertItemInOrder(std::vector<ContactItem>& items, const ContactItem& item);

// "phone", "email", ...: the names txltool and the files use.
const char* ItemKindName(ItemKind kind);
bool ItemKindFromName(const std::string& name, ItemKind& kind);
// How many parts an item of the kind holds.
int ItemPartCount(ItemKind kind);
// An item of the kind with one text (or its first part).
ContactItem MakeItem(ItemKind kind, const std::string& label, const std::string& value);
// The parts joined by ';', as txltool shows them.
std::string JoinedParts(const ContactItem& item);

// True when nothing beside the fields would be lost by dropping the
// details: no items, no whole forms, no id to keep (one made here and never
// saved is not enough).
bool HasOtherInformation(const ContactDetails& details);

// Puts text into the field cut to fit and keeps the whole text beside it
// when it does not fit; a text that fits drops any whole form kept before.
void SetWholeField(ContactRecord& record, ContactDetails& details, ContactField field, const std::string& text);
// The field's whole text: the kept whole form when its cut form is still in
// the field, otherwise the field's own text.
std::string WholeFieldValue(const ContactRecord& record, const ContactDetails& details, ContactField field);

// Drops the whole forms whose field no longer holds their cut form (an
// import changed the field after keeping the text).
void DropStaleWholeForms(const ContactRecord& record, ContactDetails& details);

// A new id, unique with overwhelming odds: 32 hex digits, random.
std::string NewContactId();
