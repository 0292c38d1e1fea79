#include "library/SearchResultsModel.h"
#include "library/SideList.h"

#include <gtest/gtest.h>

using nimbrel::library::SearchResultsModel;
using nimbrel::library::SideList;

TEST(SearchResultsModel, ArrivingBatchesAppendAndTheFinalListIsSortedIgnoringCase) {
    SearchResultsModel model;
    QList<std::pair<int, int>> inserted;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) { inserted.append({first, last}); });
    model.append({"/m/b.swf", "/m/A.swf"});
    model.append({});
    model.append({"/m/c.swf"});
    EXPECT_EQ(inserted, (QList<std::pair<int, int>>{{0, 1}, {2, 2}}));
    EXPECT_EQ(model.paths(), (QStringList{"/m/b.swf", "/m/A.swf", "/m/c.swf"}));
    EXPECT_EQ(model.data(model.index(1)).toString(), "/m/A.swf");

    model.replaceSorted({"/m/b.swf", "/m/B.swf", "/m/a.swf", "", "/m/C.swf", "/m/b.swf"});
    EXPECT_EQ(model.paths(), (QStringList{"/m/a.swf", "/m/b.swf", "/m/B.swf", "/m/b.swf", "/m/C.swf"}));
    EXPECT_EQ(model.rowCount(), 5);
}

TEST(SearchResultsModel, SortingAgreesWithTheSortedListInsertion) {
    const QStringList arrivals{"/m/Ärger.swf", "/m/zeta.swf", "/m/Alpha.swf", "/m/_x.swf", "/m/alpha.swf",
                               "/m/ärger.swf", "/m/10.swf", "/m/9.swf", "/M/b.swf", "/m/电影.swf"};
    QStringList inserted;
    for (const QString& p : arrivals)
        inserted.insert(SideList::sortedPosition(inserted, p), p);
    EXPECT_EQ(SearchResultsModel::sorted(arrivals), inserted);
}

TEST(SearchResultsModel, RemovingRowsKeepsTheRestInOrder) {
    SearchResultsModel model;
    model.replaceSorted({"/m/a", "/m/b", "/m/c", "/m/d"});
    model.removeRows({0, 2, 99, -1});
    EXPECT_EQ(model.paths(), (QStringList{"/m/b", "/m/d"}));
    model.removeRows({});
    EXPECT_EQ(model.paths(), (QStringList{"/m/b", "/m/d"}));
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    model.removeRows({0});
    EXPECT_EQ(model.rowCount(), 0);
}
