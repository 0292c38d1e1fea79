#pragma once
// Movies made on the spot for the player's tests.
#include <QByteArray>
#include <QtEndian>

// A minimal uncompressed movie: 550 x 400 px stage, red background,
// `frames` empty frames at `fps` frames per second.
inline QByteArray tinyMovie(int frames, int fps) {
    QByteArray rect;
    quint64 bits = 0;
    int used = 0;
    auto put = [&](quint32 value, int n) {
        for (int i = n - 1; i >= 0; --i) {
            bits = (bits << 1) | ((value >> i) & 1);
            if (++used == 8) {
                rect.append(char(bits & 0xFF));
                bits = 0;
                used = 0;
            }
        }
    };
    put(15, 5);
    for (quint32 v : {0u, 550u * 20, 0u, 400u * 20})
        put(v, 15);
    if (used)
        put(0, 8 - used);

    QByteArray body = rect;
    auto u16 = [&](quint16 v) { body.append(char(v & 0xFF)).append(char(v >> 8)); };
    u16(quint16(fps << 8));
    u16(quint16(frames));
    u16((9 << 6) | 3);  // background colour
    body.append('\xFF').append('\0').append('\0');
    for (int i = 0; i < frames; ++i)
        u16(1 << 6);  // show frame
    u16(0);           // end

    QByteArray swf("FWS\x06", 4);
    quint32 length = quint32(8 + body.size());
    char le[4];
    qToLittleEndian(length, le);
    swf.append(le, 4).append(body);
    return swf;
}
