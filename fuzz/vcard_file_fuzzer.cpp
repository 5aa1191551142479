// Any bytes as a .vcf file: the first byte chooses how many contacts the
// store already holds, the rest is the file. Whatever the file holds, the
// reader appends only whole contacts with a surname, each in a group of
// the book and none twice, makes at most MaxGroupsPerImport groups, stops
// at the book's capacity and counts what it left out, and the book still
// saves and reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_checks.h"
#include "vcard/vcard_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = ScratchFile("input.vcf");
    FuzzInput input{data, size};
    Document document;
    ResetDocument(document);
    int before = FillStoreBeforeImport(input.TakeByte(), document.contacts);
    WriteScratchFile(path, input.Rest());

    int groupsBefore = GroupCount(document.groups);
    VcardImportResult result = ReadVcardFile(path, document);
    Require(result.filesRead == 1 && result.filesUnreadable == 0, "a file that exists was not read");
    Require(GroupCount(document.groups) <= groupsBefore + MaxGroupsPerImport, "an import made too many groups");
    CheckImport(document, before, result.imported, result.notImported);
    ContactStore earlier;
    for (int n = before; n < RecordCount(document.contacts); ++n) {
        const ContactRecord& card = *RecordAt(document.contacts, n);
        Require(card.Surname[0] != '\0', "a contact without a surname was imported");
        if (n - before < 64) {
            // Two contacts whose items differ are two contacts.
            const ContactDetails* details = FindDetails(document.contacts, &card);
            ContactDetails items = details ? *details : ContactDetails();
            Require(!HoldsSameContact(earlier, card, true, &items.items), "one import added the same contact twice");
            AppendContact(earlier, card, items);
        }
    }
    return 0;
}
