// Any bytes as a .vcf file: the first byte chooses how many contacts the
// store already holds, the rest is the file. Whatever the file holds, the
// reader appends only whole, named contacts in group 0, stops at the
// book's capacity and counts what it left out, and the book still saves
// and reads back unchanged.
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

    VcardImportResult result = ReadVcardFile(path, document.contacts);
    Require(result.filesRead == 1 && result.filesUnreadable == 0, "a file that exists was not read");
    CheckImport(document, before, result.imported, result.notImported);
    for (int n = before; n < RecordCount(document.contacts); ++n) {
        const ContactRecord& card = *RecordAt(document.contacts, n);
        Require(card.Surname[0] != '\0' || card.GivenName[0] != '\0', "a card without a name was imported");
    }
    return 0;
}
