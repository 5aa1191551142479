// Any bytes as an address book: the reader either refuses them with one of
// its results or yields a document that is whole and saves back as read.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Document document;
    StartDocument(document);
    LoadResult result = ReadBookFromBytes(data, size, document.groups, document.contacts);
    switch (result) {
    case LoadOk:
    case BadMagic:
    case VersionTooNew:
    case GroupNameTooLong:
        break;
    case TooManyRecords:
    case FileTruncated:
        Require(RecordCount(document.contacts) == 0, "a refused book left contacts behind");
        break;
    default:
        Require(false, "an unknown result");
    }
    CheckDocument(document.groups, document.contacts);
    return 0;
}
