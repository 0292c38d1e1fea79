// Start-up with a settings file damaged in the middle: the rest is restored and
// the loss told once.
#include "MainWindowFixture.h"
#include "platform/MessageBoxes.h"
#include "player/QuickPlayList.h"

using nimbrel::platform::MessageBoxes;
using nimbrel::platform::SettingsStore;

namespace {

class MainWindowSettingsDamageTest : public MainWindowFixture {
protected:
    QString storeFolder() const { return dir.path() + "/settings"; }
    // Flips a bit in the value of `key` of "bfsz" and opens the store afresh on the file.
    void damageOption(const char* key) {
        store.reset();
        QFile log(storeFolder() + "/settings.log");
        ASSERT_TRUE(log.open(QIODevice::ReadWrite));
        QByteArray bytes = log.readAll();
        const qsizetype at = bytes.lastIndexOf("\tbfsz\t" + QByteArray(key) + '\t');
        ASSERT_GE(at, 0);
        const qsizetype value = at + 7 + qstrlen(key);
        bytes[value] = char(bytes[value] ^ 1);
        ASSERT_TRUE(log.seek(0));
        ASSERT_EQ(log.write(bytes), bytes.size());
        log.close();
        store = std::make_unique<SettingsStore>(storeFolder());
    }
};

TEST_F(MainWindowSettingsDamageTest, LostSettingIsToldOnceAndTheRestRestored) {
    const QString movie = makeMovie("a.swf", 3);
    storePlaylist({movie});
    store->setValue("Nimbrel", "bfsz", "ncjc", "true");
    store->setValue("Nimbrel", "bfsz", "tmd", "128");
    store->setValue("Nimbrel", "bfsz", "zdbf", "true");
    damageOption("zdbf");

    {
        auto w = start();
        ASSERT_EQ(boxes.messages().size(), 1);
        const auto& box = boxes.messages().first();
        EXPECT_EQ(box.title, MessageBoxes::applicationTitle());
        EXPECT_EQ(box.text, QStringLiteral("部分设置已损坏，已恢复其余设置。\n损坏的设置：\n选项：自动播放"));
        EXPECT_EQ(box.buttons, MessageBoxes::Buttons::Ok);
        // Everything else came back; the lost option starts as on a first run.
        EXPECT_TRUE(w->state().clipboardWatch);
        EXPECT_EQ(w->state().alpha, 128);
        EXPECT_FALSE(w->state().autoPlay);
        EXPECT_EQ(setting("zdbf"), "false");
        EXPECT_EQ(w->quickPlay->count(), 1);
    }

    // The store rewrote the file on the way: the next start has nothing to tell.
    store = std::make_unique<SettingsStore>(storeFolder());
    auto again = start();
    EXPECT_EQ(boxes.messages().size(), 1);
    EXPECT_EQ(again->state().alpha, 128);
}

TEST_F(MainWindowSettingsDamageTest, SoundStoreStartsWithoutAMessage) {
    store->setValue("Nimbrel", "bfsz", "zdbf", "true");
    store = std::make_unique<SettingsStore>(storeFolder());
    auto w = start();
    EXPECT_TRUE(boxes.messages().isEmpty());
    EXPECT_TRUE(w->state().autoPlay);
}

} // namespace
