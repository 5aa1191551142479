// The three-way merge of cards, property by property.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "sync/vcard_merge.h"

namespace {

ParsedCard Card(const std::string& lines) {
    ParsedCard card;
    EXPECT_TRUE(ParseCard("BEGIN:VCARD\r\n" + lines + "END:VCARD\r\n", card));
    return card;
}

const char BaseLines[] =
    "VERSION:3.0\r\nUID:u1\r\nFN:Zhang San\r\nN:Zhang;San;;;\r\n"
    "TEL;TYPE=CELL:13800138000\r\nTEL;TYPE=HOME,VOICE:010-1234\r\nEMAIL;TYPE=INTERNET:z@example.com\r\n"
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHR\r\n"
    " ofHh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/wAALCAABAAEBAREA\r\n"
    "item1.X-ABLABEL:_$!<Other>!$_\r\nX-PHONE-APP;X-FLAG=1:kept as it is\r\n";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(VcardMergeTest, ACardReadBackIsTheSameTextWithItsFolds) {
    ParsedCard card = Card(BaseLines);
    EXPECT_EQ(std::string("BEGIN:VCARD\r\n") + BaseLines + "END:VCARD\r\n", CardText(card));
    EXPECT_EQ("PHOTO", card.properties[7].name);
    EXPECT_EQ("item1", card.properties[8].group);
    EXPECT_EQ(std::vector<std::string>({"ENCODING=b", "TYPE=JPEG"}), card.properties[7].parameters);
    // LF alone, and no END:VCARD, read all the same.
    ParsedCard bare;
    ASSERT_TRUE(ParseCard("BEGIN:VCARD\nFN:A\n", bare));
    EXPECT_EQ(1u, bare.properties.size());
    EXPECT_FALSE(ParseCard("FN:no card\r\n", bare));
}

TEST(VcardMergeTest, ACardTheServerWroteAnewIsNoChange) {
    ParsedCard base = Card(BaseLines);
    ParsedCard rewritten = Card(
        "x-phone-app;x-flag=1:kept as it is\r\nuid:u1\r\nversion:3.0\r\nemail:z@example.com\r\n"
        "tel;type=home:010-1234\r\ntel;type=cell:13800138000\r\nn:Zhang;San;;;\r\nfn:Zhang San\r\n"
        "photo;encoding=b;type=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/wAALCAABAAEBAREA\r\n"
        "ITEM1.X-ABLabel:_$!<Other>!$_\r\n");
    MergeResult result = MergeCards(base, base, rewritten, ContactHolds, KeepLocal);
    EXPECT_TRUE(result.conflicts.empty());
    EXPECT_FALSE(result.uploadNeeded);
    EXPECT_FALSE(result.localChanged);
}

TEST(VcardMergeTest, EditsOnBothSidesMeetAndUnknownPropertiesStayAsTheServerHasThem) {
    ParsedCard base = Card(BaseLines);
    // The phone changes here; on the server the e-mail and the app's own property.
    ParsedCard local = Card(Replace(BaseLines, "13800138000", "13900139000"));
    std::string serverLines = Replace(BaseLines, "z@example.com", "zs@example.com");
    serverLines = Replace(serverLines, "kept as it is", "changed by the phone");
    ParsedCard server = Card(serverLines);
    MergeResult result = MergeCards(base, local, server, ContactHolds, KeepLocal);
    EXPECT_TRUE(result.conflicts.empty());
    EXPECT_TRUE(result.uploadNeeded);
    EXPECT_TRUE(result.localChanged);
    std::string upload = CardText(result.upload);
    EXPECT_EQ("BEGIN:VCARD\r\n" + Replace(serverLines, "13800138000", "13900139000") + "END:VCARD\r\n", upload);
    EXPECT_EQ(upload, CardText(result.merged));

    // A local change to a property the contact does not hold never reaches the server.
    ParsedCard strange = Card(Replace(BaseLines, "kept as it is", "local"));
    MergeResult kept = MergeCards(base, strange, base, ContactHolds, KeepLocal);
    EXPECT_FALSE(kept.uploadNeeded);
    EXPECT_EQ(CardText(base), CardText(kept.upload));
}

TEST(VcardMergeTest, TheSamePropertyChangedDifferentlyIsAConflictWithBothValues) {
    ParsedCard base = Card(BaseLines);
    ParsedCard local = Card(Replace(BaseLines, "010-1234", "010-5555"));
    ParsedCard server = Card(Replace(BaseLines, "010-1234", "010-9999"));
    for (MergePreference preference : {KeepLocal, KeepServer}) {
        MergeResult result = MergeCards(base, local, server, ContactHolds, preference);
        ASSERT_EQ(1u, result.conflicts.size());
        const MergeConflict& conflict = result.conflicts[0];
        EXPECT_EQ("TEL;home#0", conflict.key);
        EXPECT_EQ("010-5555", conflict.local.value);
        EXPECT_EQ("010-9999", conflict.server.value);
        EXPECT_EQ(preference == KeepLocal, result.uploadNeeded);
        EXPECT_EQ(preference == KeepServer, result.localChanged);
    }
    // Removed here, changed there: a conflict too; the same change on both sides is none.
    ParsedCard removed = Card(Replace(BaseLines, "TEL;TYPE=HOME,VOICE:010-1234\r\n", ""));
    MergeResult result = MergeCards(base, removed, server, ContactHolds, KeepLocal);
    ASSERT_EQ(1u, result.conflicts.size());
    EXPECT_FALSE(result.conflicts[0].inLocal);
    EXPECT_TRUE(MergeCards(base, server, server, ContactHolds, KeepLocal).conflicts.empty());
}

TEST(VcardMergeTest, AddedAndRemovedPropertiesTravel) {
    ParsedCard base = Card(BaseLines);
    ParsedCard local = Card(Replace(BaseLines, "EMAIL;TYPE=INTERNET:z@example.com\r\n",
                                    "EMAIL;TYPE=INTERNET:z@example.com\r\nTITLE:经理\r\n"));
    ParsedCard server = Card(Replace(BaseLines, "TEL;TYPE=CELL:13800138000\r\n", ""));
    MergeResult result = MergeCards(base, local, server, ContactHolds, KeepLocal);
    EXPECT_TRUE(result.conflicts.empty());
    std::string upload = CardText(result.upload);
    EXPECT_EQ(std::string::npos, upload.find("13800138000"));
    EXPECT_NE(std::string::npos, upload.find("TITLE:经理\r\n"));
}

TEST(VcardMergeTest, LongValuesAreFoldedAtWholeCharacters) {
    std::string value;
    for (int i = 0; i < 40; ++i) value += "北京市";
    CardProperty property = MakeProperty("", "adr", {"TYPE=HOME"}, ";;" + value + ";;;;");
    size_t start = 0;
    while (start < property.raw.size()) {
        size_t end = property.raw.find("\r\n", start);
        ASSERT_NE(std::string::npos, end);
        EXPECT_LE(end - start, 75u);
        if (end < property.raw.size() - 2) {
            unsigned char next = static_cast<unsigned char>(property.raw[end + 3]);
            EXPECT_NE(0x80, next & 0xC0) << "a fold inside a character";
        }
        start = end + 2;
    }
    ParsedCard card;
    ASSERT_TRUE(ParseCard("BEGIN:VCARD\r\n" + property.raw + "END:VCARD\r\n", card));
    EXPECT_EQ(";;" + value + ";;;;", card.properties[0].value);
    EXPECT_EQ("ADR", card.properties[0].name);
}

// Random edits on both sides: what only one side changed arrives, what
// the contact does not hold is always the server's, and nothing is lost.
TEST(VcardMergeTest, RandomEditsMergeWithoutLoss) {
    std::mt19937 random(29);
    const char* names[] = {"TEL", "EMAIL", "NOTE", "X-CUSTOM", "ADR", "URL"};
    auto randomCard = [&]() {
        std::string lines = "VERSION:3.0\r\nUID:r\r\n";
        for (int i = 0; i < 8; ++i) {
            lines += std::string(names[random() % 6]) + (random() % 2 ? ";TYPE=WORK" : "") + ":v" +
                     std::to_string(random() % 5) + "\r\n";
        }
        return Card(lines);
    };
    auto edit = [&](ParsedCard card) {
        for (CardProperty& property : card.properties) {
            if (random() % 4 == 0 && property.name != "UID") property = MakeProperty("", property.name, property.parameters, "e" + std::to_string(random()));
        }
        return card;
    };
    for (int round = 0; round < 300; ++round) {
        ParsedCard base = randomCard();
        ParsedCard local = edit(base);
        ParsedCard server = edit(base);
        MergeResult result = MergeCards(base, local, server, ContactHolds, KeepLocal);
        std::vector<std::string> keys = PropertyKeys(server);
        for (size_t i = 0; i < server.properties.size(); ++i) {
            const CardProperty& s = server.properties[i];
            if (!ContactHolds(s)) {
                bool kept = false;
                for (const CardProperty& u : result.upload.properties) kept = kept || u.raw == s.raw;
                EXPECT_TRUE(kept) << s.raw;
            }
        }
        // Unchanged on one side: the other side's card, exactly.
        MergeResult serverOnly = MergeCards(base, base, server, ContactHolds, KeepLocal);
        EXPECT_FALSE(serverOnly.uploadNeeded);
        EXPECT_TRUE(serverOnly.conflicts.empty());
        MergeResult localOnly = MergeCards(base, local, base, ContactHolds, KeepLocal);
        EXPECT_TRUE(localOnly.conflicts.empty());
        EXPECT_FALSE(localOnly.localChanged);
        // Merging again against what was uploaded changes nothing more.
        MergeResult again = MergeCards(result.upload, result.upload, result.upload, ContactHolds, KeepLocal);
        EXPECT_FALSE(again.uploadNeeded);
        EXPECT_TRUE(again.conflicts.empty());
    }
}

}  // namespace
