#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/document.h"
#include "test_support.h"

TEST(Groups, ResetGivesANewDocumentWithFiveDefaultGroups) {
    Document document;
    document.currentPath = PathFromAscii("old.txl");
    AppendRecord(document.contacts, Person("a"));
    AppendGroup(document.groups, "old");
    ResetDocument(document);
    EXPECT_TRUE(document.currentPath.empty());
    EXPECT_EQ(0, RecordCount(document.contacts));
    ASSERT_EQ(5, GroupCount(document.groups));
    const char* names[] = {"默认分组", "家人", "朋友", "同事", "同学"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Gbk(names[i]), GroupName(document.groups, i));
}

TEST(Groups, RemoveOutsideTheListChangesNothing) {
    GroupList list;
    RemoveGroupAt(list, 0);
    EXPECT_EQ(0, GroupCount(list));
    Document document = NewDocument();
    RemoveGroupAt(document.groups, 5);
    RemoveGroupAt(document.groups, -1);
    EXPECT_EQ(5, GroupCount(document.groups));
    RemoveGroupAt(document.groups, 0);
    EXPECT_EQ(Gbk("家人"), GroupName(document.groups, 0));
}

TEST(Groups, FifteenBytesFitAndLongerNamesAreCutAtAWholeCharacter) {
    GroupList list;
    std::string fifteen = Gbk("一二三四五六七") + "a";
    AppendGroup(list, fifteen);
    EXPECT_EQ(fifteen, GroupName(list, 0));
    AppendGroup(list, "a" + Gbk("一二三四五六七八"));
    EXPECT_EQ("a" + Gbk("一二三四五六七"), GroupName(list, 1));
}

namespace {

// A document with the five default groups and one contact in each of
// these groups, in order.
Document ContactsInGroups(const std::vector<int32_t>& groups) {
    Document document = NewDocument();
    for (int32_t group : groups) {
        ContactRecord record = Person("x");
        record.GroupIndex = group;
        AppendRecord(document.contacts, record);
    }
    return document;
}

std::vector<int32_t> GroupIndexes(const Document& document) {
    std::vector<int32_t> indexes;
    for (const auto& record : document.contacts.records) indexes.push_back(record->GroupIndex);
    return indexes;
}

std::vector<std::string> GroupNames(const Document& document) {
    std::vector<std::string> names;
    for (int i = 0; i < GroupCount(document.groups); ++i) names.push_back(GroupName(document.groups, i));
    return names;
}

}  // namespace

// Contacts of the deleted group go to the first group; later groups keep
// their contacts under their lower positions; -1 stays; an index past the
// old end is lowered like any other.
TEST(GroupDeletion, InTheMiddleMovesItsContactsToTheFirstGroup) {
    Document document = ContactsInGroups({0, 1, 2, 3, 4, 2, -1, 7});
    ASSERT_EQ(1, DeleteGroup(document, 2));
    EXPECT_EQ((std::vector<std::string>{Gbk("默认分组"), Gbk("家人"), Gbk("同事"), Gbk("同学")}), GroupNames(document));
    EXPECT_EQ((std::vector<int32_t>{0, 1, 0, 2, 3, 0, -1, 6}), GroupIndexes(document));
}

TEST(GroupDeletion, AtPositionZeroMovesItsContactsToTheFormerSecondGroup) {
    Document document = ContactsInGroups({0, 1, 2, 3, 4, -1});
    ASSERT_EQ(1, DeleteGroup(document, 0));
    EXPECT_EQ(Gbk("家人"), GroupName(document.groups, 0));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 2, 3, -1}), GroupIndexes(document));
}

TEST(GroupDeletion, TheLastGroupAndPositionsOutsideTheListStay) {
    Document document = ContactsInGroups({0, 1, 4});
    EXPECT_EQ(0, DeleteGroup(document, 5));
    EXPECT_EQ(0, DeleteGroup(document, -1));
    EXPECT_EQ(5, GroupCount(document.groups));
    for (int i = 0; i < 4; ++i) ASSERT_EQ(1, DeleteGroup(document, 1));
    EXPECT_EQ((std::vector<std::string>{Gbk("默认分组")}), GroupNames(document));
    EXPECT_EQ(0, DeleteGroup(document, 0));
    EXPECT_EQ(1, GroupCount(document.groups));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0}), GroupIndexes(document));
}
