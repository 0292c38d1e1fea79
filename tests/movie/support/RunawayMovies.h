#pragma once
// Movies whose scripts never end, for the tests of the script time budget.
#include "movie/avm1/support/ActionAssembler.h"
#include "movie/support/SwfBuilder.h"
#include <QStringList>

namespace nimbrel::movie::test {

// A loop that jumps onto itself for ever.
inline avm1::test::ActionAssembler loopForever()
{
    avm1::test::ActionAssembler a;
    a.jump(-5);
    return a;
}

// The ScriptLimits tag: recursion depth and script timeout in seconds.
inline void scriptLimits(SwfBuilder& b, uint16_t maxRecursion, uint16_t timeoutSeconds)
{
    QByteArray body;
    for (uint16_t v : {maxRecursion, timeoutSeconds})
        body.append(char(v & 0xFF)).append(char(v >> 8));
    b.tag(65, body);
}

// The first frame makes `clips` empty clips, each with an onEnterFrame handler
// that loops for ever; `frames` frames in all at 24 fps. A timeout of 0 leaves
// the ScriptLimits tag out.
inline QByteArray loopingClipsMovie(int clips, uint16_t timeoutSeconds, uint16_t frames = 3)
{
    avm1::test::ActionAssembler a;
    for (int i = 0; i < clips; ++i) {
        // _root.createEmptyMovieClip("c<i>", i + 1).onEnterFrame = function () { for (;;); };
        a.pushInt(i + 1).pushString(QStringLiteral("c%1").arg(i)).pushInt(2).getVariable("_root");
        a.pushString("createEmptyMovieClip").op(0x52);
        a.pushString("onEnterFrame").defineFunction("", {}, loopForever()).op(0x4F);
    }
    a.traceString("made");
    SwfBuilder b;
    if (timeoutSeconds > 0)
        scriptLimits(b, 256, timeoutSeconds);
    b.doAction(a.tagBody());
    for (int f = 0; f < frames; ++f)
        b.showFrame();
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 24, frames);
}

// One action list per entry of `frames`, each in a frame of its own; an empty
// entry is a frame whose script loops for ever after tracing "loop".
inline QByteArray tracingFramesMovie(const QStringList& frames, uint16_t timeoutSeconds = 0)
{
    SwfBuilder b;
    if (timeoutSeconds > 0)
        scriptLimits(b, 256, timeoutSeconds);
    for (const QString& text : frames) {
        avm1::test::ActionAssembler a;
        if (text.isEmpty())
            a.traceString("loop").jump(-5);
        else
            a.traceString(text);
        b.doAction(a.tagBody());
        b.showFrame();
    }
    b.end();
    return b.build(SwfBuilder::Container::Fws, 8, {0, 2000, 0, 2000}, 10, uint16_t(frames.size()));
}

} // namespace nimbrel::movie::test
