#include <gtest/gtest.h>

#include <string>

#include "test_support.h"
#include "vcard/batch_import.h"

namespace {

std::string Card(const std::string& surname) { return "BEGIN:VCARD\r\nN:" + surname + ";X\r\nEND:VCARD\r\n"; }

class BatchImport : public ::testing::Test {
protected:
    ScratchFolder folder;
    Document book;
    ContactStore& store = book.contacts;

    void Write(const std::string& name, const std::string& bytes) { WriteFileBytes(folder.Path(name), bytes); }
    PathString Directory() const { return PathString(folder.Root().native()); }
    std::string Surnames() {
        std::string names;
        for (const auto& record : store.records) names += FieldValue(*record, Surname) + " ";
        return names;
    }
};

}  // namespace

TEST_F(BatchImport, ReadsEveryVcfFileInNameOrderWhateverTheCase) {
    Write("b.VCF", Card("B"));
    Write("a.vcf", Card("A1") + Card("A2"));
    Write("C.Vcf", Card("C"));
    Write("c.txt", Card("T"));
    Write("d.vcf.bak", Card("K"));
    std::filesystem::create_directory(folder.Root() / "sub.vcf");
    WriteFileBytes(folder.Path("sub.vcf/e.vcf"), Card("E"));

    VcardImportResult result = ImportVcardDirectory(Directory(), book);
    EXPECT_EQ("A1 A2 B C ", Surnames());
    EXPECT_EQ(4, result.imported);
    EXPECT_EQ(3, result.filesRead);
    EXPECT_EQ(0, result.filesUnreadable);
}

// Progress hears each file before it is read; a cancel keeps what came in.
TEST_F(BatchImport, ProgressCountsTheFilesAndACancelKeepsWhatWasImported) {
    Write("a.vcf", Card("A"));
    Write("b.vcf", Card("B"));
    Write("c.vcf", Card("C"));
    std::string heard;
    VcardImportResult result = ImportVcardDirectory(Directory(), book, [&](int done, int total) {
        heard += std::to_string(done) + "/" + std::to_string(total) + " ";
        return done < 2;
    });
    EXPECT_EQ("0/3 1/3 2/3 ", heard);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(2, result.imported);
    EXPECT_EQ("A B ", Surnames());
}

TEST_F(BatchImport, AMissingOrEmptyDirectoryImportsNothing) {
    VcardImportResult result = ImportVcardDirectory(folder.Path("missing"), book);
    EXPECT_EQ(0, result.filesRead + result.filesUnreadable + result.imported);
    result = ImportVcardDirectory(Directory(), book);
    EXPECT_EQ(0, result.filesRead);
    EXPECT_EQ(0, RecordCount(store));
}

TEST_F(BatchImport, ADirectoryEndingInASeparatorWorks) {
    Write("a.vcf", Card("A"));
    PathString directory = Directory() + PathSeparator;
    EXPECT_EQ(1, ImportVcardDirectory(directory, book).imported);
}

TEST_F(BatchImport, ImportingTwiceLeavesTheBookAsItWas) {
    Write("a.vcf", Card("A"));
    Write("b.vcf", Card("A") + Card("B"));
    VcardImportResult first = ImportVcardDirectory(Directory(), book);
    EXPECT_EQ(1, first.duplicates);  // the same card in two files
    VcardImportResult second = ImportVcardDirectory(Directory(), book);
    EXPECT_EQ("A B ", Surnames());
    EXPECT_EQ(0, second.imported);
    EXPECT_EQ(3, second.duplicates);
}

TEST_F(BatchImport, StopsAtTheStoresCapacityAcrossFiles) {
    store.capacity = 64;
    for (int i = 0; i < store.capacity - 3; ++i) AppendRecord(store, Person("P"));
    Write("1.vcf", Card("A") + Card("B"));
    Write("2.vcf", Card("C") + Card("D"));
    Write("3.vcf", Card("E"));
    VcardImportResult result = ImportVcardDirectory(Directory(), book);
    EXPECT_EQ(3, result.imported);
    EXPECT_EQ(2, result.notImported);
    EXPECT_EQ(3, result.filesRead);
    EXPECT_EQ(store.capacity, RecordCount(store));
    EXPECT_EQ("C", FieldValue(*RecordAt(store, store.capacity - 1), Surname));
}

// One large file: progress hears each card of the file's count before it
// is read, nested cards not counted; a cancel keeps what came in.
TEST_F(BatchImport, ProgressCountsTheCardsOfAFileAndACancelKeepsWhatWasImported) {
    Write("a.vcf", Card("A") + "begin:vcard\r\nN:B;X\r\nBEGIN:VCARD\r\nN:Inner\r\nEND:VCARD\r\nEND:VCARD\r\n" + Card("C") +
                       Card("D"));
    EXPECT_EQ(5, CountVcardCards(folder.Path("a.vcf")));  // the BEGIN lines, the nested one too
    std::string heard;
    ImportGroups made;
    VcardImportResult result = ReadVcardFile(folder.Path("a.vcf"), book, made, [&](int done, int total) {
        heard += std::to_string(done) + "/" + std::to_string(total) + " ";
        return done < 3;
    });
    EXPECT_EQ("0/5 1/5 2/5 3/5 ", heard);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(4, result.imported);
    EXPECT_EQ("A Inner B C ", Surnames());
}
