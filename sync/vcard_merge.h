// Cards of a CardDAV server as lists of properties, and the three-way
// merge of a card changed on both sides since the last synchronisation.
//
// A property is known by its key: its name, its types, and its place
// among the properties of the same name and types. Types are the values
// of TYPE parameters and the bare parameters of vCard 2.1, in lower case
// and in any order; "pref", and the defaults "voice" (of TEL) and
// "internet" (of EMAIL), are left out, so that a server that writes
// "TYPE=HOME,VOICE" as "type=home" keeps the key. The group prefix
// ("item1.") is no part of it either. Two properties are the same when
// their names, their parameters (names in any case, types as a set) and
// their values are. So a card that the server wrote anew, in another
// order of lines or parameters, with other folds, has not changed.
#pragma once

#include <string>
#include <vector>

struct CardProperty {
    std::string raw;    // its lines as they stood in the card, folds kept, each ended by CR LF
    std::string group;  // "item1"; empty when none
    std::string name;   // upper case
    std::vector<std::string> parameters;  // as written, in order: "TYPE=HOME", "PREF=1"
    std::string value;  // the unfolded value as written, escapes kept
};

// The properties between BEGIN:VCARD and END:VCARD, VERSION included.
struct ParsedCard {
    std::vector<CardProperty> properties;
};

// Reads the first card of the text; false when it holds none.
bool ParseCard(const std::string& text, ParsedCard& card);
// The card as text, CR LF at every line end. Properties keep their own
// lines, so what was read comes back as it was.
std::string CardText(const ParsedCard& card);

// A property written anew, folded at 75 bytes (never inside a UTF-8
// character).
CardProperty MakeProperty(const std::string& group, const std::string& name, const std::vector<std::string>& parameters,
                          const std::string& value);

// "TEL;cell,work#0": the identity described above.
std::vector<std::string> PropertyKeys(const ParsedCard& card);
bool SameProperty(const CardProperty& a, const CardProperty& b);

// Which properties the program holds; every other property of the
// server's card is kept exactly as the server has it.
using HeldProperty = bool (*)(const CardProperty& property);
// The properties a contact's fields and items come from and go to: the
// name, nickname, birthday, e-mail, phones, addresses, company, title, QQ,
// and the notes, websites, dates, messaging names, related people and
// labels of its other information.
bool ContactHolds(const CardProperty& property);

// One property changed on both sides, to different values. A side
// without it removed it.
struct MergeConflict {
    std::string key;
    bool inLocal = false;
    CardProperty local;
    bool inServer = false;
    CardProperty server;
};

enum MergePreference { KeepLocal, KeepServer };

struct MergeResult {
    ParsedCard merged;  // every property merged; a conflict takes the preferred side
    ParsedCard upload;  // the server's card with only the held properties changed to the merged ones
    std::vector<MergeConflict> conflicts;
    bool uploadNeeded = false;  // upload differs from the server's card
    bool localChanged = false;  // merged differs from the local card
};

// `base` is the card as both sides had it at the last synchronisation.
MergeResult MergeCards(const ParsedCard& base, const ParsedCard& local, const ParsedCard& server, HeldProperty held,
                       MergePreference preference);
