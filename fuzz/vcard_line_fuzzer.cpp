// Any bytes as logical property lines of one card, split at line feeds;
// the first byte chooses whether the card starts empty or with every
// field full.
// A line the parser ignores leaves the card exactly as it was, a line it
// applies changes only contact fields, and applying a line twice gives
// what applying it once gave.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "vcard/vcard_reader.h"

namespace {

ContactRecord StartingCard(uint8_t choice) {
    ContactRecord card = EmptyRecord();
    if (choice % 2 == 0) return card;
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(card, info.field, std::string(info.width - 1, static_cast<char>('A' + f)));
    }
    card.Gender = 7;
    card.GroupIndex = 3;
    return card;
}

// Every byte of every field, and the four integers.
bool SameCard(const ContactRecord& a, const ContactRecord& b) {
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText && std::memcmp(FieldText(a, info.field), FieldText(b, info.field), info.width) != 0) {
            return false;
        }
    }
    return a.Gender == b.Gender && a.GroupIndex == b.GroupIndex && a.CheckFlag == b.CheckFlag &&
           a.ShownFlag == b.ShownFlag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    VcardCard building = NewVcardCard();
    building.record = StartingCard(input.TakeByte());
    ContactRecord& card = building.record;
    std::string rest = input.Rest();
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('\n', start);
        if (end == std::string::npos) end = rest.size();
        std::string line = rest.substr(start, end - start);
        start = end + 1;

        ContactRecord before = card;
        int applied = ParseVcardLine(line.c_str(), building);
        Require(applied == 0 || applied == 1, "a result other than 0 or 1");
        Require(FieldsTerminated(card), "a field is not terminated within its width");
        if (applied == 0) {
            Require(SameCard(before, card), "an ignored line changed the card");
            continue;
        }
        Require(card.GroupIndex == before.GroupIndex && card.CheckFlag == before.CheckFlag &&
                    card.ShownFlag == before.ShownFlag,
                "a line changed the group or a flag");
        Require(card.Gender == before.Gender || card.Gender == 0 || card.Gender == 1,
                "a gender other than 0 or 1");
        ContactRecord once = card;
        Require(ParseVcardLine(line.c_str(), building) == 1, "a line was applied once but not twice");
        Require(SameCard(once, card), "a line applied twice gave another card than once");
    }

    FinishVcardCard(building);
    Require(FieldsTerminated(card), "a finished card has a field that is not terminated");
    ContactStore store;
    AppendRecord(store, card);
    CheckDocument(GroupList{}, store);
    return 0;
}
