#pragma once
// Movies that take keys, for the tests of the player's shortcuts: one whose
// button answers a key by playing (it stops in its first frame), one whose
// script listens to every key, and one that takes no key at all.
#include "movie/support/SwfBuilder.h"
#include "movie/swf/ButtonDef.h"
#include <QByteArray>

namespace keymovies {

using nimbrel::movie::test::BitWriter;
using nimbrel::movie::test::Placement;
using nimbrel::movie::test::SwfBuilder;

// Button key codes as movies name them: 1 Left, 2 Right, 13 Enter, 16 Page Up; 32..126 characters.
inline QByteArray buttonKeyMovie(uint8_t buttonKey, int frames = 5) {
    SwfBuilder b;
    b.setBackground({255, 255, 255, 255});
    b.defineRect(1, {0, 2000, 0, 2000}, {128, 128, 128, 255});
    BitWriter w;
    w.u16(10);
    w.u8(0);
    BitWriter r;
    r.u8(0x0F); // up, over, down and hit: the one rectangle
    r.u16(1);
    r.u16(1);
    r.matrix({});
    r.cxform({}, true);
    r.u8(0);
    const QByteArray records = r.data();
    w.u16(uint16_t(2 + records.size()));
    w.bytes(records);
    const QByteArray play("\x06\x00", 2); // ActionPlay, end
    w.u16(0);                             // the last condition
    w.u8(0);
    w.u8(uint8_t(buttonKey << 1));
    w.bytes(play);
    b.tag(34, w.data());
    Placement p;
    p.characterId = 10;
    b.placeObject2(p);
    b.doAction(QByteArray("\x07\x00", 2)); // ActionStop, end
    for (int i = 0; i < frames; ++i)
        b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 30, uint16_t(frames));
}

// Key.addListener({}) in the first frame: the movie hears every key.
inline QByteArray keyListenerMovie() {
    auto push = [](const QByteArray& entries) {
        QByteArray a("\x96", 1);
        a.append(char(entries.size() & 0xFF)).append(char(entries.size() >> 8)).append(entries);
        return a;
    };
    auto integer = [](int v) {
        QByteArray e("\x07", 1);
        for (int i = 0; i < 4; ++i) e.append(char((v >> (8 * i)) & 0xFF));
        return e;
    };
    auto string = [](const char* s) { return QByteArray("\x00", 1) + QByteArray(s) + QByteArray("\x00", 1); };
    QByteArray code;
    code += push(integer(0));
    code += QByteArray("\x43", 1); // InitObject: {}
    code += push(integer(1) + string("Key"));
    code += QByteArray("\x1C", 1); // GetVariable
    code += push(string("addListener"));
    code += QByteArray("\x52", 1); // CallMethod
    code += QByteArray("\x17", 1); // Pop
    code += QByteArray("\x00", 1);
    SwfBuilder b;
    b.setBackground({255, 255, 255, 255});
    b.doAction(code);
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 30, 1);
}

// An input field of 200 x 50 px at the stage's top left (device font): a click
// on it gives it the focus.
inline QByteArray inputFieldMovie() {
    SwfBuilder b;
    b.setBackground({255, 255, 255, 255});
    BitWriter w;
    w.u16(5);
    w.rect({0, 4000, 0, 1000});
    w.u8(0x04 | 0x01); // text colour, font
    w.u8(0x08);        // border
    w.u16(0);          // a device font
    w.u16(240);
    w.rgba({0, 0, 0, 255});
    w.string("");
    b.tag(37, w.data());
    Placement p;
    p.characterId = 5;
    p.name = QStringLiteral("field");
    b.placeObject2(p);
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 30, 1);
}

// Nothing but frames: the movie takes no key.
inline QByteArray keylessMovie() {
    SwfBuilder b;
    b.setBackground({255, 255, 255, 255});
    b.showFrame();
    b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 11000, 0, 8000}, 30, 2);
}

} // namespace keymovies
