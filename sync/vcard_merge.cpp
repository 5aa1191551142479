#include "sync/vcard_merge.h"

#include <algorithm>
#include <map>

#include "store/text_operations.h"
#include "vcard/vcard_format.h"

namespace {

const size_t FoldWidth = 75;

bool IsFold(char c) { return c == ' ' || c == '\t'; }

// Where the value starts: after the first ":" outside double quotes.
size_t ValueStart(const std::string& line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return i + 1;
    }
    return std::string::npos;
}

// The pieces of a property's head between ";" outside double quotes.
std::vector<std::string> SplitHead(const std::string& head) {
    std::vector<std::string> pieces(1);
    bool quoted = false;
    for (char c : head) {
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted) {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

// A logical line taken apart; false for one without ":".
bool SplitLine(const std::string& line, CardProperty& property) {
    size_t start = ValueStart(line);
    if (start == std::string::npos) return false;
    std::vector<std::string> head = SplitHead(line.substr(0, start - 1));
    std::string name(TrimWhiteSpace(head[0]));
    size_t dot = name.find('.');
    if (dot != std::string::npos) {
        property.group = name.substr(0, dot);
        name = name.substr(dot + 1);
    }
    property.name.clear();
    for (char c : name) property.name += AsciiUpper(c);
    property.parameters.assign(head.begin() + 1, head.end());
    property.value = line.substr(start);
    return true;
}

bool IsBoundary(const std::string& line, const char* word) { return SameNoCase(TrimWhiteSpace(line), word); }

// The types of a property as a sorted set, without the defaults, and
// without "pref" unless asked for.
std::vector<std::string> TypesOf(const CardProperty& property, bool withPref) {
    std::vector<std::string> types;
    auto add = [&](std::string_view type) {
        std::string lower = AsciiLowerCase(std::string(TrimmedOf(type, std::string_view(" \t\""))));
        bool implied = lower.empty() || (lower == "pref" && !withPref) || (lower == "voice" && property.name == "TEL") ||
                       (lower == "internet" && property.name == "EMAIL");
        if (!implied) types.push_back(lower);
    };
    for (const std::string& parameter : property.parameters) {
        size_t equals = parameter.find('=');
        if (equals == std::string::npos) {
            std::string bare(TrimWhiteSpace(parameter));
            bool encoding = SameNoCase(bare, "QUOTED-PRINTABLE") || SameNoCase(bare, "BASE64") || SameNoCase(bare, "8BIT");
            if (!encoding) add(bare);
            continue;
        }
        if (!SameNoCase(TrimWhiteSpace(std::string_view(parameter).substr(0, equals)), "TYPE")) continue;
        std::string_view values(parameter.data() + equals + 1, parameter.size() - equals - 1);
        size_t from = 0;
        while (from <= values.size()) {
            size_t comma = values.find(',', from);
            if (comma == std::string_view::npos) comma = values.size();
            add(values.substr(from, comma - from));
            from = comma + 1;
        }
    }
    std::sort(types.begin(), types.end());
    types.erase(std::unique(types.begin(), types.end()), types.end());
    return types;
}

std::string KindOf(const CardProperty& property) {
    std::string kind = property.name + ";";
    std::vector<std::string> types = TypesOf(property, false);
    for (size_t i = 0; i < types.size(); ++i) kind += (i ? "," : "") + types[i];
    return kind;
}

// The parameters other than TYPE, names in upper case, sorted; the types
// as their set.
std::vector<std::string> NormalParameters(const CardProperty& property) {
    std::vector<std::string> normal;
    for (const std::string& parameter : property.parameters) {
        size_t equals = parameter.find('=');
        std::string name(TrimWhiteSpace(std::string_view(parameter).substr(0, equals)));
        for (char& c : name) c = AsciiUpper(c);
        if (name == "TYPE") continue;
        if (equals == std::string::npos) {
            if (name == "QUOTED-PRINTABLE" || name == "BASE64" || name == "8BIT") normal.push_back("ENCODING=" + name);
            continue;  // a bare type, counted among the types
        }
        normal.push_back(name + "=" + parameter.substr(equals + 1));
    }
    // "pref" is no part of the key, but it is part of what a property says.
    for (const std::string& type : TypesOf(property, true)) normal.push_back("TYPE=" + type);
    std::sort(normal.begin(), normal.end());
    normal.erase(std::unique(normal.begin(), normal.end()), normal.end());
    return normal;
}

std::map<std::string, size_t> IndexByKey(const ParsedCard& card) {
    std::map<std::string, size_t> index;
    std::vector<std::string> keys = PropertyKeys(card);
    for (size_t i = 0; i < keys.size(); ++i) index[keys[i]] = i;
    return index;
}

const CardProperty* Lookup(const ParsedCard& card, const std::map<std::string, size_t>& index, const std::string& key) {
    auto found = index.find(key);
    return found == index.end() ? nullptr : &card.properties[found->second];
}

bool Same(const CardProperty* a, const CardProperty* b) {
    if (!a || !b) return a == b;
    return SameProperty(*a, *b);
}

bool SameCards(const ParsedCard& a, const ParsedCard& b) {
    if (a.properties.size() != b.properties.size()) return false;
    std::map<std::string, size_t> inB = IndexByKey(b);
    std::vector<std::string> keys = PropertyKeys(a);
    for (size_t i = 0; i < keys.size(); ++i) {
        if (!Same(&a.properties[i], Lookup(b, inB, keys[i]))) return false;
    }
    return true;
}

// A chosen local property keeps the server's group, so that a label that
// points at it by its group still does.
CardProperty InServerGroup(const CardProperty& chosen, const CardProperty* server) {
    if (!server || server->group == chosen.group || !chosen.group.empty() || &chosen == server) return chosen;
    return MakeProperty(server->group, chosen.name, chosen.parameters, chosen.value);
}

// Puts a property after the last one of its name, or at the end.
void InsertByName(ParsedCard& card, const CardProperty& property) {
    size_t at = card.properties.size();
    for (size_t i = card.properties.size(); i-- > 0;) {
        if (card.properties[i].name == property.name) {
            at = i + 1;
            break;
        }
    }
    card.properties.insert(card.properties.begin() + static_cast<std::ptrdiff_t>(at), property);
}

}  // namespace

bool ParseCard(const std::string& text, ParsedCard& card) {
    card = ParsedCard();
    bool inside = false;
    size_t start = 0;
    std::string pending;  // the physical lines of the property being read
    std::string logical;
    auto finish = [&]() {
        if (pending.empty()) return;
        CardProperty property;
        if (SplitLine(logical, property)) {
            property.raw = pending;
            card.properties.push_back(std::move(property));
        } else if (!card.properties.empty()) {
            // A line without ":" continues the value before it (a
            // quoted-printable line without its soft break, as some
            // writers leave it).
            card.properties.back().raw += pending;
            card.properties.back().value += logical;
        }
        pending.clear();
        logical.clear();
    };
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!inside) {
            inside = IsBoundary(line, "BEGIN:VCARD");
            continue;
        }
        if (!line.empty() && IsFold(line[0]) && !pending.empty()) {
            pending += line + "\r\n";
            logical += line.substr(1);
            continue;
        }
        finish();
        if (IsBoundary(line, "END:VCARD")) return true;
        if (TrimWhiteSpace(line).empty()) continue;
        pending = line + "\r\n";
        logical = line;
    }
    finish();
    return inside;  // a card that never ends keeps what it had
}

std::string CardText(const ParsedCard& card) {
    std::string text = "BEGIN:VCARD\r\n";
    for (const CardProperty& property : card.properties) text += property.raw;
    return text + "END:VCARD\r\n";
}

namespace {

// "BEGIN:", "END:", "item1.BEGIN:" or ".END:" at the start of the text.
bool LooksLikeCardBound(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (IsAsciiLetter(text[at]) || (text[at] >= '0' && text[at] <= '9') || text[at] == '-')) ++at;
    if (at < text.size() && text[at] == '.') {
        ++at;
    } else {
        at = 0;
    }
    std::string_view rest = text.substr(at);
    return StartsWithNoCase(rest, "BEGIN:") || StartsWithNoCase(rest, "END:");
}

}  // namespace

CardProperty MakeProperty(const std::string& group, const std::string& name, const std::vector<std::string>& parameters,
                          const std::string& value) {
    CardProperty property;
    property.group = group;
    for (char c : name) property.name += AsciiUpper(c);
    property.parameters = parameters;
    property.value = value;
    std::string line = group.empty() ? property.name : group + "." + property.name;
    for (const std::string& parameter : parameters) line += ";" + parameter;
    line += ":" + value;
    size_t width = FoldWidth;
    size_t from = 0;
    while (line.size() - from > width) {
        size_t cut = from + width;
        auto wholeCharacter = [&] {
            while (cut > from + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        };
        wholeCharacter();
        // Readers take an indented BEGIN: or END: line, grouped or not, for
        // a card's bounds (files whose every line is indented exist), so no
        // fold starts one.
        while (cut > from + 1 && LooksLikeCardBound(std::string_view(line.data() + cut, line.size() - cut))) {
            --cut;
            wholeCharacter();
        }
        property.raw += line.substr(from, cut - from) + "\r\n ";
        from = cut;
        width = FoldWidth - 1;  // the fold's space counts
    }
    property.raw += line.substr(from) + "\r\n";
    return property;
}

std::vector<std::string> PropertyKeys(const ParsedCard& card) {
    std::vector<std::string> keys;
    std::map<std::string, int> seen;
    for (const CardProperty& property : card.properties) {
        std::string kind = KindOf(property);
        keys.push_back(kind + "#" + std::to_string(seen[kind]++));
    }
    return keys;
}

bool SameProperty(const CardProperty& a, const CardProperty& b) {
    return a.name == b.name && a.value == b.value && NormalParameters(a) == NormalParameters(b);
}

bool ContactHolds(const CardProperty& property) {
    // Everything the vCard writer writes for a contact, its items included,
    // so that an item the user added or changed reaches the server with its label.
    static const char* const Held[] = {
        NameProperty, FormattedNameProperty, NicknameProperty, BirthdayProperty, EmailProperty, TelephoneProperty,
        AddressProperty, OrganisationProperty, TitleProperty, GenderProperty, WabGenderProperty, QQProperty,
        CategoriesProperty, MessagingProperty, UrlProperty, NoteProperty, AnniversaryProperty,
        OldAnniversaryProperty, AppleDateProperty, RelatedProperty, AppleRelatedProperty, AppleLabelProperty,
        CustomProperty};
    for (const char* name : Held) {
        if (SameNoCase(property.name, name)) return true;
    }
    for (const OwnMessagingProperty& own : MessagingProperties) {
        if (SameNoCase(property.name, own.property)) return true;
    }
    return false;
}

MergeResult MergeCards(const ParsedCard& base, const ParsedCard& local, const ParsedCard& server, HeldProperty held,
                       MergePreference preference) {
    MergeResult result;
    std::map<std::string, size_t> inBase = IndexByKey(base);
    std::map<std::string, size_t> inLocal = IndexByKey(local);
    std::map<std::string, size_t> inServer = IndexByKey(server);

    // The server's order first, then what only the local card has.
    std::vector<std::string> keys = PropertyKeys(server);
    for (const std::string& key : PropertyKeys(local)) {
        if (!inServer.count(key)) keys.push_back(key);
    }
    std::vector<std::string> serverKeys = PropertyKeys(server);
    std::map<std::string, const CardProperty*> chosen;
    for (const std::string& key : keys) {
        const CardProperty* b = Lookup(base, inBase, key);
        const CardProperty* l = Lookup(local, inLocal, key);
        const CardProperty* s = Lookup(server, inServer, key);
        const CardProperty* choice;
        if (Same(l, s) || Same(l, b)) {
            choice = s;  // the server's own lines when both say the same
        } else if (Same(s, b)) {
            choice = l;
        } else {
            MergeConflict conflict;
            conflict.key = key;
            conflict.inLocal = l != nullptr;
            if (l) conflict.local = *l;
            conflict.inServer = s != nullptr;
            if (s) conflict.server = *s;
            result.conflicts.push_back(conflict);
            choice = preference == KeepLocal ? l : s;
        }
        chosen[key] = choice;
    }

    for (size_t i = 0; i < server.properties.size(); ++i) {
        const CardProperty& s = server.properties[i];
        const CardProperty* choice = chosen[serverKeys[i]];
        if (choice) result.merged.properties.push_back(InServerGroup(*choice, &s));
        bool changeable = held(s) && (!choice || held(*choice));
        if (!changeable) {
            result.upload.properties.push_back(s);
        } else if (choice) {
            result.upload.properties.push_back(InServerGroup(*choice, &s));
        }
    }
    for (const std::string& key : keys) {
        if (inServer.count(key) || !chosen[key]) continue;
        const CardProperty& added = *chosen[key];
        InsertByName(result.merged, added);
        if (held(added)) InsertByName(result.upload, added);
    }
    result.uploadNeeded = CardText(result.upload) != CardText(server);
    result.localChanged = !SameCards(result.merged, local);
    return result;
}
