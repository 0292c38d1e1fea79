#include "library/SideList.h"
#include <QListWidget>
#include <gtest/gtest.h>

using nimbrel::library::SideList;

TEST(SideList, DeletingKeepsTheUnselectedInOrderWithoutEmptyTexts) {
    const struct {
        const char* name;
        QStringList texts;
        QList<bool> selected;
        QStringList kept;
    } cases[] = {
        {"some selected", {"a", "b", "c", "d"}, {false, true, false, true}, {"a", "c"}},
        {"all selected", {"a", "b"}, {true, true}, {}},
        {"none selected", {"a", "b"}, {false, false}, {"a", "b"}},
        {"empty texts dropped", {"a", "", "b"}, {false, false, false}, {"a", "b"}},
        {"empty list", {}, {}, {}},
        {"duplicates kept apart", {"a", "a", "a"}, {false, true, false}, {"a", "a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SideList::keptAfterDelete(c.texts, c.selected), c.kept) << c.name;
}

TEST(SideList, DeleteSelectedRebuildsTheWidget) {
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.addItems({"/m/a.swf", "/m/b.swf", "/m/c.swf"});
    list.item(0)->setSelected(true);
    list.item(2)->setSelected(true);
    SideList::deleteSelected(list);
    EXPECT_EQ(SideList::texts(list), QStringList{"/m/b.swf"});
    EXPECT_TRUE(list.selectedItems().isEmpty());
}

TEST(SideList, SortedInsertionIgnoresCaseAndKeepsEqualTextsInArrivalOrder) {
    QListWidget list;
    for (const char* t : {"/m/b.swf", "/m/a.swf", "/m/C.swf", "/m/B.swf", "/m/a.swf"})
        SideList::insertSorted(list, t);
    EXPECT_EQ(SideList::texts(list), (QStringList{"/m/a.swf", "/m/a.swf", "/m/b.swf", "/m/B.swf", "/m/C.swf"}));
    EXPECT_EQ(SideList::sortedPosition({"a", "b", "c"}, "B"), 2);
    EXPECT_EQ(SideList::sortedPosition({}, "x"), 0);
}
