// How a card's types and labels become an item's label, and back: the
// types a phone understands get the words the editor shows (手机, 住宅,
// 工作, 传真, 其他); any other label is the card's own (an X-ABLabel, a
// custom TYPE) and goes back out as X-ABLabel.
#pragma once

#include <string>

#include "store/contact_details.h"

// The label (GBK) for VcardType bits, or the type text that names no
// known type; empty when the types say nothing.
std::string LabelOfTypes(unsigned types, const std::string& typeLabel);

// An Apple label as the user sees it: "_$!<Mobile>!$_" is 手机,
// "_$!<Anniversary>!$_" 纪念日; any other text is itself.
std::string LabelOfAbLabel(const std::string& abLabel);

// The VcardType bits a label stands for; 0 when it is a label of its own,
// which the card writes as X-ABLabel.
unsigned TypesOfLabel(const std::string& label);

// Where the reader puts a number by its types. NoPhoneField: none.
const ContactField NoPhoneField = ContactFieldCount;
// The field a number's types name first: a mobile, a fax, a work or a
// home phone; none for VOICE, PAGER or no type.
ContactField TypedField(unsigned types);
// Where a mobile or fax goes when its own field is taken: the field its
// other types name (a work mobile is a work phone).
ContactField OtherTypedField(unsigned types);
// True when the reader would put a number of these types into one of the
// record's phone fields, because a field they name is empty.
bool TypesNameFreeField(const ContactRecord& record, unsigned types);

// Labels the reader gives to items that have no type of their own.
std::string AnniversaryLabel();
std::string NicknameLabel();
// The name's and the organisation's parts: MiddleNameLabel() and the
// others, which the book's order of items knows (store/contact_details.h).
