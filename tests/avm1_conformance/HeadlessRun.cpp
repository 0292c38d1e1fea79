#include "HeadlessRun.h"
#include "movie/MoviePlayer.h"
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <optional>

using namespace nimbrel::movie;

namespace {

std::optional<TextEntry::Command> textCommand(const QString& name) {
    static const std::pair<const char*, TextEntry::Command> names[] = {
        {"Enter", TextEntry::Command::Enter},         {"Backspace", TextEntry::Command::Backspace},
        {"Delete", TextEntry::Command::Delete},       {"MoveLeft", TextEntry::Command::MoveLeft},
        {"MoveRight", TextEntry::Command::MoveRight}, {"SelectAll", TextEntry::Command::SelectAll},
        {"Copy", TextEntry::Command::Copy},           {"Cut", TextEntry::Command::Cut},
        {"Paste", TextEntry::Command::Paste},
    };
    for (const auto& [n, c] : names)
        if (name == QLatin1String(n)) return c;
    return std::nullopt;
}

// Hands one event to the player as the player widget would.
void feed(MoviePlayer& player, const InputEvent& e, const QSize& viewport) {
    switch (e.kind) {
    case InputEvent::Kind::MouseMove:
        player.mouseMove(e.pos, viewport);
        break;
    case InputEvent::Kind::MouseDown:
        // Only the main button reaches movies; the others just move the pointer.
        if (e.leftButton) player.mousePress(e.pos, viewport);
        else player.mouseMove(e.pos, viewport);
        break;
    case InputEvent::Kind::MouseUp:
        if (e.leftButton) player.mouseRelease(e.pos, viewport);
        else player.mouseMove(e.pos, viewport);
        break;
    case InputEvent::Kind::KeyDown:
        player.keyPress(e.keyCode, e.text);
        break;
    case InputEvent::Kind::KeyUp:
        player.keyRelease(e.keyCode);
        break;
    case InputEvent::Kind::TextInput:
        player.textInput(e.text);
        break;
    case InputEvent::Kind::TextControl:
        if (auto c = textCommand(e.text)) player.textCommand(*c);
        break;
    case InputEvent::Kind::SetClipboardText:
        player.setClipboardText(e.text);
        break;
    default:
        break;
    }
}

} // namespace

HeadlessResult runHeadless(const QString& swfPath, int frames, const InputScript& input, const QSize& viewportSize) {
    HeadlessResult result;
    QFile f(swfPath);
    if (!f.open(QIODevice::ReadOnly)) {
        result.error = f.errorString();
        return result;
    }
    MoviePlayer player;
    bool quit = false;
    QObject::connect(&player, &MoviePlayer::fsCommand, [&quit](const QString& command, const QString&) {
        if (command.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0) quit = true;
    });
    QObject::connect(&player, &MoviePlayer::scriptsHalted, [&result](MoviePlayer::StopReason why) {
        result.scriptsStopped = MoviePlayer::stopMessage(why);
    });
    player.setTraceSink([&result](const QString& line) { result.trace += line + QLatin1Char('\n'); });
    // Loading shows the first frame; each further advance is one more frame.
    const QFileInfo file(swfPath);
    if (!player.loadData(f.readAll(), file.absolutePath(), QUrl::fromLocalFile(file.absoluteFilePath()).toString())) {
        result.error = player.errorString();
        return result;
    }
    const QSize viewport = viewportSize.isEmpty() ? player.stageSize() : viewportSize;
    const auto& events = input.events();
    size_t next = 0;
    // Events up to the next "Wait" (which is consumed).
    auto feedUntilWait = [&] {
        while (next < events.size() && !quit) {
            const InputEvent& e = events[next++];
            if (e.kind == InputEvent::Kind::Wait) return;
            feed(player, e, viewport);
        }
    };
    for (int i = 1; i < frames && !quit; ++i) {
        feedUntilWait();
        if (!quit) player.stepFrame();
    }
    feedUntilWait();
    result.loaded = true;
    return result;
}
