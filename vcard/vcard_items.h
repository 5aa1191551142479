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

// Labels the reader gives to items that have no type of their own.
std::string AnniversaryLabel();
std::string NicknameLabel();
// The name's and the organisation's parts: MiddleNameLabel() and the
// others, which the book's order of items knows (store/contact_details.h).
