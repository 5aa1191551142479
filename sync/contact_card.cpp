#include "sync/contact_card.h"

#include "store/imported_contact.h"
#include "store/text_operations.h"
#include "sync/vcard_merge.h"
#include "vcard/quoted_printable.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_lines.h"
#include "vcard/vcard_writer.h"

namespace {

std::string Utf8Of(const std::string& gbk) { return Utf16ToUtf8(GbkToUtf16(gbk)); }

// A value escaped as vCard 3.0 escapes text.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',') out += '\\';
        out += c;
    }
    return out;
}

// The name as phones show it: Chinese surname first, other names given
// name first.
std::string DisplayName(const ContactRecord& record) {
    std::string surname = FieldValue(record, Surname), given = FieldValue(record, GivenName);
    std::string name = WrittenSurnameFirst(surname + given) || given.empty() || surname.empty()
                           ? surname + given
                           : given + " " + surname;
    return name.empty() ? FieldValue(record, Company) : name;
}

// A 2.1 property of the writer as 3.0: quoted-printable undone, bare
// types gathered into TYPE, the character set dropped (all is UTF-8).
CardProperty As30(const CardProperty& property) {
    std::vector<std::string> parameters;
    std::string types;
    bool qp = false;
    for (const std::string& parameter : property.parameters) {
        size_t equals = parameter.find('=');
        std::string name = AsciiLowerCase(parameter.substr(0, equals));
        if (name == "encoding") {
            qp = SameNoCase(parameter.substr(equals + 1), "QUOTED-PRINTABLE");
        } else if (name == "charset") {
            continue;
        } else if (equals == std::string::npos) {
            types += (types.empty() ? "" : ",") + parameter;
        } else {
            std::string value = parameter.substr(equals + 1);
            parameters.push_back(parameter.substr(0, equals + 1) + (IsValidUtf8(value) ? value : Utf8Of(value)));
        }
    }
    if (!types.empty()) parameters.insert(parameters.begin(), "TYPE=" + types);
    std::string value = qp ? DecodeQpBytes(property.value) : property.value;
    if (!IsValidUtf8(value)) value = Utf8Of(value);
    // 3.0 has no escape for white space at a line's end, which readers trim.
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    return MakeProperty(property.group, property.name, parameters, value);
}

}  // namespace

std::string ContactCardText(const ContactRecord& record, const ContactDetails& details, const GroupList& groups) {
    ContactDetails withId = details;
    ParsedCard written;
    ParseCard(VcardFileText(record, Utf8Qp, &groups, &withId), written);
    ParsedCard card;
    for (const CardProperty& property : written.properties) {
        if (property.name == "VERSION") {
            card.properties.push_back(MakeProperty("", "VERSION", {}, "3.0"));
            continue;
        }
        card.properties.push_back(As30(property));
        if (property.name == "N" && property.group.empty()) {
            card.properties.push_back(MakeProperty("", "FN", {}, Escaped(Utf8Of(DisplayName(record)))));
        }
    }
    return CardText(card);
}

bool ReadContactCard(const std::string& text, VcardCard& card) {
    card = NewVcardCard();
    VcardLineReader reader;
    StartMemoryLineReader(reader, text);
    std::string line;
    bool inside = false;
    while (ReadLogicalLine(reader, line, inside && card.version >= 30, VcardLineLimit)) {
        if (IsWholeLine(line, "BEGIN:VCARD")) {
            if (inside) break;  // a card inside the card is not this contact
            inside = true;
            VcardPreview preview = PreviewCard(reader, VcardLineLimit);
            std::string version = preview.version.empty() ? "3.0" : preview.version;
            ParseVcardLine(("VERSION:" + version).c_str(), card);
            continue;
        }
        if (!inside) continue;
        if (IsWholeLine(line, "END:VCARD")) break;
        ParseVcardLine(line.c_str(), card);
    }
    return inside && FinishVcardCard(card);
}

std::string CardValueText(const std::string& value) { return VcardTextToGbk(value, Utf8CodePage); }
