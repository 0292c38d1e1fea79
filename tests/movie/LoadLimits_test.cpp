// A movie's loads share one byte budget and each has a deadline: answers that
// never end fail once the budget is spent and give their memory back, and an
// answer that trickles in fails at its deadline although it never stalls.
#include "movie/avm1/LoadQueue.h"
#include "movie/host/LoadBudget.h"
#include "movie/host/NetworkFetcher.h"
#include "movie/support/LocalHttpServer.h"
#include "avm1/support/ScriptFixture.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <functional>

using namespace nimbrel::movie;
using host::LoadBudget;
using host::NetworkFetcher;
using nimbrel::movie::test::LocalHttpServer;

namespace {

constexpr qint64 kBudget = 4 * 1024 * 1024;

// Runs the event loop until done() or the time is up; false when the time ran out.
bool spinUntil(const std::function<bool()>& done, int ms = 20000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

struct Outcome {
    bool answered = false;
    QString error;
    qint64 bytes = 0;
};

} // namespace

TEST(LoadLimits, EndlessAnswersStopAtTheSharedBudgetAndGiveTheirBytesBack) {
    LocalHttpServer server(LocalHttpServer::Mode::EndlessChunks);
    NetworkFetcher fetcher;
    auto budget = std::make_shared<LoadBudget>(kBudget);
    fetcher.setBudget(budget);
    fetcher.setDeadlineMs(60000);
    std::vector<Outcome> outcomes(16);
    for (size_t i = 0; i < outcomes.size(); ++i)
        fetcher.fetch(QUrl(server.url(QStringLiteral("/endless/%1").arg(i))),
                      [&outcomes, i](const QByteArray& data, const QString& error) {
                          outcomes[i] = {true, error, data.size()};
                      });
    ASSERT_TRUE(spinUntil([&] {
        return std::all_of(outcomes.begin(), outcomes.end(), [](const Outcome& o) { return o.answered; });
    })) << "the loads never ended; the budget held " << budget->used();
    for (const Outcome& o : outcomes) {
        EXPECT_FALSE(o.error.isEmpty());
        EXPECT_EQ(o.bytes, 0);
    }
    EXPECT_LE(budget->peak(), kBudget);
    EXPECT_GT(budget->peak(), kBudget / 2) << "the loads did run";
    EXPECT_GT(server.bytesSent(), kBudget);
    EXPECT_EQ(budget->used(), 0);
    EXPECT_EQ(fetcher.running(), 0);
}

TEST(LoadLimits, ATricklingAnswerFailsAtItsDeadline) {
    LocalHttpServer server(LocalHttpServer::Mode::Drip, 20);
    NetworkFetcher fetcher;
    fetcher.setDeadlineMs(400);
    Outcome outcome;
    QElapsedTimer took;
    took.start();
    fetcher.fetch(QUrl(server.url(QStringLiteral("/drip"))), [&](const QByteArray& data, const QString& error) {
        outcome = {true, error, data.size()};
    });
    ASSERT_TRUE(spinUntil([&] { return outcome.answered; }, 10000));
    EXPECT_TRUE(outcome.error.contains(QLatin1String("too long"))) << qPrintable(outcome.error);
    EXPECT_GE(took.elapsed(), 300) << "timers may fire a little early, never much";
    EXPECT_GT(server.bytesSent(), 0) << "bytes kept coming, so no idle timeout ended it";
    EXPECT_EQ(fetcher.budget()->used(), 0);
}

TEST(LoadLimits, ScriptsHearTheirEndlessLoadsFail) {
    LocalHttpServer server(LocalHttpServer::Mode::EndlessChunks);
    avm1::test::ScriptFixture f;
    double now = 0;
    f.vm->clockMs = [&now] { return now; };
    f.vm->movieUrl = server.url(QStringLiteral("/movies/"));
    avm1::LoadQueue& queue = avm1::LoadQueue::of(*f.vm);
    queue.setLimits(kBudget, 60000);
    // 16 times: v = new LoadVars(); v.onLoad = function(ok) { trace(ok); }; v.load("endless")
    avm1::test::ActionAssembler a;
    for (int i = 0; i < 16; ++i) {
        a.pushString("v").pushInt(0).pushString("LoadVars").op(0x40).setVariable();
        a.getVariable("v").pushString("onLoad")
            .defineFunction(QString(), {"ok"}, avm1::test::ActionAssembler().getVariable("ok").trace()).op(0x4F);
        a.pushString(QStringLiteral("endless%1").arg(i)).pushInt(1).getVariable("v").pushString("load").op(0x52).op(0x17);
    }
    f.run(a);
    ASSERT_TRUE(spinUntil([&] {
        now += 40;
        avm1::LoadQueue::deliverPending(*f.vm);
        return f.traces.size() >= 16;
    })) << "only " << f.traces.size() << " loads ended";
    EXPECT_EQ(f.traces, QStringList(16, QStringLiteral("false")));
    EXPECT_EQ(server.requests().size(), 16);
    EXPECT_LE(queue.budget().peak(), kBudget);
    EXPECT_EQ(queue.budget().used(), 0);
}

TEST(LoadLimits, AnswersWaitingForTheNextFrameCountInTheBudget) {
    // A host fetcher that answers at once with 600 KB.
    struct Instant : host::Fetcher {
        void fetch(const QUrl&, Done done) override { done(QByteArray(600 * 1024, 'x'), {}); }
        void cancelAll() override {}
    } instant;
    avm1::test::ScriptFixture f;
    f.vm->clockMs = [] { return 0.0; };
    f.vm->movieUrl = QStringLiteral("http://example.org/");
    f.vm->fetcher = &instant;
    avm1::LoadQueue& queue = avm1::LoadQueue::of(*f.vm);
    queue.setLimits(1024 * 1024, 60000);
    // Two answers of 600 KB do not fit together: the second fails.
    std::vector<std::optional<QByteArray>> got;
    auto keep = [&got](avm1::Interpreter&, const std::optional<QByteArray>& d) { got.push_back(d); };
    avm1::Object* first = f.vm->newObject();
    avm1::Object* second = f.vm->newObject();
    EXPECT_TRUE(queue.start(first, QStringLiteral("a"), keep));
    EXPECT_TRUE(queue.start(second, QStringLiteral("b"), keep));
    EXPECT_EQ(queue.budget().used(), 600 * 1024);
    avm1::LoadQueue::deliverPending(*f.vm);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(got[0].has_value());
    EXPECT_FALSE(got[1].has_value());
    EXPECT_EQ(queue.budget().used(), 0);
    // A cancelled load gives back what it held.
    EXPECT_TRUE(queue.start(first, QStringLiteral("c"), keep));
    EXPECT_EQ(queue.budget().used(), 600 * 1024);
    queue.cancel(first);
    EXPECT_EQ(queue.budget().used(), 0);
}
