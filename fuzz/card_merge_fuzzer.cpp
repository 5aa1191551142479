// Any bytes as three cards (base, local, server), split at NUL bytes;
// the first byte chooses which side a conflict keeps. The merged and
// uploaded cards must read back as written, the upload must keep every
// property of the server's card the contact does not hold exactly, and a
// second merge against the upload must find nothing more to do.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "sync/vcard_merge.h"

namespace {

std::string Part(const std::string& rest, size_t& from) {
    if (from > rest.size()) return std::string();
    size_t end = rest.find('\0', from);
    if (end == std::string::npos) end = rest.size();
    std::string part = rest.substr(from, end - from);
    from = end + 1;
    return part;
}

void CheckReadsBack(const ParsedCard& card) {
    ParsedCard again;
    Require(ParseCard(CardText(card), again), "a written card does not read back");
    Require(CardText(again) == CardText(card), "a written card reads back otherwise");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    MergePreference preference = input.TakeByte() % 2 ? KeepServer : KeepLocal;
    std::string rest = input.Rest();
    size_t from = 0;
    ParsedCard cards[3];
    for (ParsedCard& card : cards) ParseCard("BEGIN:VCARD\r\n" + Part(rest, from), card);
    MergeResult result = MergeCards(cards[0], cards[1], cards[2], ContactHolds, preference);
    CheckReadsBack(result.merged);
    CheckReadsBack(result.upload);
    for (const CardProperty& property : cards[2].properties) {
        if (ContactHolds(property)) continue;
        bool kept = false;
        for (const CardProperty& uploaded : result.upload.properties) kept = kept || uploaded.raw == property.raw;
        Require(kept, "a property the contact does not hold was not kept");
    }
    MergeResult again = MergeCards(result.upload, result.upload, result.upload, ContactHolds, preference);
    Require(!again.uploadNeeded && again.conflicts.empty(), "a merge of the upload with itself changed it");
    return 0;
}
