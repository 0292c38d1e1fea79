// Clips and the timeline: frame movement, tellTarget, clip properties,
// dragging, loading and the trace log.
#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ClipLoading.h"
#include "movie/avm1/ActionRunnerSupport.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/DataLoad.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/swf/BitReader.h"
#include <cmath>
#include <optional>

namespace nimbrel::movie::avm1 {

// "path:frame" names a frame of another clip; the path part is cut off `frame`.
MovieClipObject* ActionRunner::splitFrameTarget(QString& frame, MovieClipObject* clip)
{
    int colon = frame.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return clip;
    MovieClipObject* target = vm_.resolveTarget(frame.left(colon), clip);
    frame = frame.mid(colon + 1);
    return target;
}

void ActionRunner::gotoFrameValue(const Value& frameValue, bool play, int bias)
{
    MovieClipObject* clip = defaultTarget();
    if (!clip)
        return;
    // An object names its frame by its text.
    const Value frame = frameValue.isObject() ? Value(vm_.toString(frameValue)) : frameValue;
    if (frame.isString()) {
        QString f = frame.s;
        clip = splitFrameTarget(f, clip);
        if (!clip)
            return;
        double n = stringToNumber(f, 7);
        int target;
        if (std::isfinite(n))
            target = clampToInt(n + bias);
        else {
            target = clip->frameOfLabel(f);
            if (target <= 0)
                return;
            target += bias;
        }
        clip->gotoFrame(target, play);
        return;
    }
    double n = vm_.toNumber(frame);
    if (!std::isfinite(n))
        return;
    clip->gotoFrame(clampToInt(n + bias), play);
}

void ActionRunner::doGetUrl(const QString& url, const QString& target, int method)
{
    if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive)) {
        if (vm_.fsCommandSink)
            vm_.fsCommandSink(url.mid(10), target);
        return;
    }
    // loadVariables / loadVariablesNum: bit 1 of the flags asks for variables, not a page.
    if (method & 2) {
        DataLoad::startVariables(vm_, vm_.resolveTarget(target, act_.target ? act_.target : vm_.root), url);
        return;
    }
    // loadMovieNum / unloadMovieNum, and loadMovie naming a level: a level is never a browser window.
    if (const auto level = ClipLoading::levelNamed(target, vm_.caseSensitive())) {
        url.isEmpty() ? ClipLoading::unloadLevel(vm_, *level) : ClipLoading::loadLevel(vm_, *level, url);
        return;
    }
    // loadMovie into a clip: bit 0 of the flags names a target clip, not a window.
    if (method & 1) {
        if (MovieClipObject* c = vm_.resolveTarget(target, act_.target ? act_.target : vm_.root))
            url.isEmpty() ? c->unloadMovie() : c->loadMovie(url);
        return;
    }
    LoadQueue::navigate(vm_, url, target);
}

void ActionRunner::opNextFrame()
{
    if (MovieClipObject* c = defaultTarget())
        c->gotoFrame(c->currentFrame() + 1, false);
}

void ActionRunner::opPreviousFrame()
{
    if (MovieClipObject* c = defaultTarget(); c && c->currentFrame() > 1)
        c->gotoFrame(c->currentFrame() - 1, false);
}

void ActionRunner::opPlay()
{
    if (MovieClipObject* c = defaultTarget())
        c->setPlaying(true);
}

void ActionRunner::opStop()
{
    if (MovieClipObject* c = defaultTarget())
        c->setPlaying(false);
}

// High and low quality take turns.
void ActionRunner::opToggleQuality()
{
    if (vm_.root)
        vm_.root->setProperty(16, Value(vm_.toNumber(vm_.root->property(16)) >= 1 ? 0.0 : 1.0));
}

void ActionRunner::opStopSounds() { stopAllSounds(vm_); }

void ActionRunner::opGotoFrame(const Action& a)
{
    swf::BitReader r(a.data, a.len);
    int frame = r.u16();
    if (MovieClipObject* c = defaultTarget())
        c->gotoFrame(frame + 1, c->playing(), false);
}

void ActionRunner::opGotoFrame2(const Action& a)
{
    swf::BitReader r(a.data, a.len);
    uint8_t flags = r.u8();
    int bias = (flags & 2) ? r.u16() : 0;
    gotoFrameValue(pop(), flags & 1, bias);
}

void ActionRunner::opGoToLabel(const Action& a)
{
    size_t at = 0;
    QString label = readText(a, at);
    if (MovieClipObject* c = defaultTarget()) {
        int f = c->frameOfLabel(label);
        if (f > 0)
            c->gotoFrame(f, c->playing());
    }
}

void ActionRunner::opGetUrl(const Action& a)
{
    size_t at = 0;
    QString url = readText(a, at);
    QString target = readText(a, at);
    doGetUrl(url, target, 0);
}

void ActionRunner::opGetUrl2(const Action& a)
{
    uint8_t flags = a.len > 0 ? a.data[0] : 0;
    QString target = text(pop());
    QString url = text(pop());
    doGetUrl(url, target, flags >> 6);
}

// Every frame of a local movie is loaded: only the frame operand goes.
void ActionRunner::opWaitForFrame2() { pop(); }

void ActionRunner::opSetTarget(const Action& a)
{
    size_t at = 0;
    QString path = readText(a, at);
    act_.targetLost = false;
    if (path.isEmpty()) {
        act_.target = act_.baseTarget;
    } else {
        MovieClipObject* t = vm_.resolveTarget(path, act_.baseTarget ? act_.baseTarget : vm_.root);
        act_.target = t ? t : act_.baseTarget;
        act_.targetLost = !t;
    }
}

void ActionRunner::opSetTarget2()
{
    Value t = pop();
    act_.targetLost = false;
    if (t.isString() && t.s.isEmpty()) {
        act_.target = act_.baseTarget;
        return;
    }
    MovieClipObject* c = nullptr;
    // A clip is found again by its path: of two clips with one name, the first wins.
    if (Object* o = t.object(); o && o->isMovieClip()) {
        auto* clip = static_cast<MovieClipObject*>(o);
        c = clip->isRemoved() ? nullptr : vm_.resolveTarget(clip->targetPath(), vm_.root);
        if (!c && !clip->isRemoved())
            c = clip;
    } else if (!t.isNullish()) {
        c = targetFromValue(t);
    }
    act_.target = c ? c : act_.baseTarget;
    act_.targetLost = !c;
}

void ActionRunner::opCall()
{
    Value frame = pop();
    // An object names its frame by its text.
    if (frame.isObject())
        frame = Value(text(frame));
    MovieClipObject* clip = defaultTarget();
    if (!clip)
        return;
    if (frame.isString()) {
        QString f = frame.s;
        clip = splitFrameTarget(f, clip);
        if (!clip)
            return;
        double n = stringToNumber(f, 7);
        int target = std::isfinite(n) ? clampToInt(n) : clip->frameOfLabel(f);
        if (target > 0)
            clip->callFrame(target);
    } else {
        double n = number(frame);
        if (std::isfinite(n))
            clip->callFrame(clampToInt(n));
    }
}

void ActionRunner::opGetProperty()
{
    double idx = number(pop());
    Value t = pop();
    MovieClipObject* c = targetFromValue(t);
    push(c && std::isfinite(idx) ? c->property(int(idx)) : Value());
}

void ActionRunner::opSetProperty()
{
    Value v = pop();
    double idx = number(pop());
    Value t = pop();
    if (MovieClipObject* c = targetFromValue(t); c && std::isfinite(idx))
        c->setProperty(int(idx), v);
}

void ActionRunner::opCloneSprite()
{
    double depth = number(pop());
    QString name = text(pop());
    Value source = pop();
    if (MovieClipObject* c = targetFromValue(source); c && std::isfinite(depth))
        c->duplicateClip(name, int(depth) - 16384, nullptr); // the action carries the file's depth
}

void ActionRunner::opRemoveSprite()
{
    if (MovieClipObject* c = targetFromValue(pop()); c && c->depth() >= 0)
        c->removeClip();
}

void ActionRunner::opStartDrag()
{
    Value target = pop();
    const bool lockCenter = vm_.toBoolean(pop());
    std::optional<QRectF> limits;
    if (vm_.toBoolean(pop())) {
        const double y2 = vm_.toNumber(pop()), x2 = vm_.toNumber(pop());
        const double y1 = vm_.toNumber(pop()), x1 = vm_.toNumber(pop());
        if (std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2))
            limits = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    }
    if (MovieClipObject* c = targetFromValue(target))
        c->startDrag(lockCenter, limits);
}

void ActionRunner::opEndDrag()
{
    if (vm_.root)
        vm_.root->stopDrag();
}

void ActionRunner::opTrace()
{
    Value v = pop();
    QString line;
    try {
        line = v.isUndefined() ? QStringLiteral("undefined") : text(v);
    } catch (const ScriptException&) {
        // A toString that throws still leaves the object's plain name in the log.
        vm_.trace(v.isObject() && v.o->isFunction() ? QStringLiteral("[type Function]") : QStringLiteral("[type Object]"));
        throw;
    }
    vm_.trace(line);
}

} // namespace nimbrel::movie::avm1
