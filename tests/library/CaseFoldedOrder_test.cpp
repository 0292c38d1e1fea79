#include "library/CaseFoldedOrder.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using nimbrel::library::CaseFoldedOrder;

namespace {

// The plain definition: a stable sort on each text's case-folded copy.
QStringList referenceOrder(const QStringList& texts) {
    QStringList folded;
    for (const QString& t : texts)
        folded.append(t.toCaseFolded());
    std::vector<qsizetype> order(texts.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return folded[a] < folded[b]; });
    QStringList out;
    for (qsizetype i : order)
        if (!texts[i].isEmpty())
            out.append(texts[i]);
    return out;
}

// Paths sharing long stems, texts that are prefixes of others, equal texts in
// other letter cases, non-ASCII names and empty entries.
QStringList mixedPaths(int count, quint32 seed) {
    QRandomGenerator random(seed);
    const QStringList stems{"/srv/共享/", "/srv/share/", "/srv/Share/", "/srv/share/a", "/srv/shareé/", "/srv/"};
    const QStringList names{"a.swf", "A.SWF", "ab.swf", "a", "Ärger.swf", "ärger.swf", "zeta.swf", "电影.swf",
                            "a.swf.bak", "Z", "_x.swf", "10.swf", "9.swf", ""};
    QStringList out;
    for (int i = 0; i < count; ++i) {
        const QString name = names[random.bounded(int(names.size()))];
        out.append(name.isEmpty() && random.bounded(2) ? QString()
                                                       : stems[random.bounded(int(stems.size()))] +
                                                             QString::number(random.bounded(40)) + u'/' + name);
    }
    return out;
}

} // namespace

TEST(CaseFoldedOrder, AgreesWithAStableSortOfTheFoldedTextsSmallAndLarge) {
    // The large case sorts on two threads and merges; both must give the same order.
    for (const auto& [count, seed] : {std::pair{300, 7u}, std::pair{60000, 11u}}) {
        const QStringList texts = mixedPaths(count, seed);
        EXPECT_EQ(CaseFoldedOrder::sorted(texts), referenceOrder(texts)) << count;
    }
    EXPECT_TRUE(CaseFoldedOrder::sorted({}).isEmpty());
    EXPECT_EQ(CaseFoldedOrder::sorted({"b", "", "B", "a"}), (QStringList{"a", "b", "B"}));
}
