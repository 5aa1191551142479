#include <gtest/gtest.h>

#include <string>

#include "store/groups.h"
#include "test_support.h"

namespace {

std::string calls;
void RefreshList() { calls += "refresh "; }
void FillGroupFilter() { calls += "groups "; }
void RebuildColumns() { calls += "columns "; }
void UpdateTitle() { calls += "title"; }

}  // namespace

TEST(Groups, ResetGivesFiveDefaultGroupsAndRefreshesTheViewsInOrder) {
    Document document;
    document.currentPath = PathFromAscii("old.txl");
    AppendRecord(document.contacts, Person("a"));
    AppendGroup(document.groups, "old");
    calls.clear();
    ResetDocument(document, DocumentViews{RefreshList, FillGroupFilter, RebuildColumns, UpdateTitle});
    EXPECT_EQ("refresh groups columns title", calls);
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
