// Target paths and the script objects of display objects: slash and dot
// paths to clips, wrappers made on demand, classes registered for symbols.
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/ScriptHost.h"
#include "movie/swf/Movie.h"

namespace nimbrel::movie::avm1 {

MovieClipObject* Interpreter::resolveTarget(const QString& rawPath, MovieClipObject* base)
{
    QString path = rawPath;
    MovieClipObject* cur = base ? base : root;
    if (!cur)
        return nullptr;
    if (path.isEmpty())
        return cur;
    const bool cs = caseSensitive();
    if (path.startsWith(QLatin1Char('/'))) {
        cur = cur->rootClip();
        path = path.mid(1);
    }
    // Slash paths ("../a/b") and dot paths ("_parent.a.b") name the same clips.
    const QStringList parts = path.contains(QLatin1Char('/')) ? path.split(QLatin1Char('/')) : path.split(QLatin1Char('.'));
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue;
        if (part == QLatin1String("..")) {
            cur = cur->parentClip();
        } else if (part.compare(QLatin1String("_parent"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
            cur = cur->parentClip();
        } else if (part.compare(QLatin1String("_root"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
            cur = cur->rootClip();
        } else if (part.compare(QLatin1String("this"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
        } else if (part.startsWith(QLatin1String("_level"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive)) {
            bool ok = false;
            int n = part.mid(6).toInt(&ok);
            if (!ok)
                return nullptr;
            cur = (n == 0) ? root : (host ? scriptObjectFor(host->level(n)) : nullptr);
        } else {
            MovieClipObject* next = cur->childByName(part);
            if (!next) {
                Value v = cur->get(part);
                if (Object* o = v.object(); o && o->isMovieClip())
                    next = static_cast<MovieClipObject*>(o);
            }
            cur = next;
        }
        if (!cur)
            return nullptr;
    }
    return cur;
}

MovieClipObject* Interpreter::scriptObjectFor(display::DisplayObject* d)
{
    if (!d)
        return nullptr;
    auto it = wrappers_.constFind(d);
    if (it != wrappers_.constEnd())
        return *it;
    MovieClipObject* o = nullptr;
    if (d->type() == display::DisplayObject::Type::MovieClip)
        o = make<MovieClipObject>(movieClipProto, d, MovieClipObject::Kind::Sprite);
    else if (d->type() == display::DisplayObject::Type::Button)
        o = make<MovieClipObject>(buttonProto, d, MovieClipObject::Kind::Button);
    else if (d->type() == display::DisplayObject::Type::EditText)
        o = make<MovieClipObject>(textFieldProto, d, MovieClipObject::Kind::Text);
    else if (d->type() == display::DisplayObject::Type::Video && videoProto)
        o = make<MovieClipObject>(videoProto, d, MovieClipObject::Kind::Video);
    else
        return nullptr;
    wrappers_.insert(d, o);
    return o;
}

void Interpreter::forgetDisplay(display::DisplayObject* d)
{
    auto it = wrappers_.find(d);
    if (it == wrappers_.end())
        return;
    (*it)->detach();
    wrappers_.erase(it);
}

bool Interpreter::applyRegisteredClass(MovieClipObject* clip)
{
    if (!clip || !clip->display() || registeredClasses.isEmpty() || !movie)
        return false;
    const uint16_t id = clip->display()->characterId();
    if (id == 0)
        return false;
    for (auto it = registeredClasses.constBegin(); it != registeredClasses.constEnd(); ++it) {
        uint16_t exportedId = 0;
        if (!movie->exported(it.key(), &exportedId) || exportedId != id)
            continue;
        Object* cls = it.value();
        if (Object* proto = cls->get(QStringLiteral("prototype")).object())
            clip->setProto(proto);
        clip->define(QStringLiteral("__constructor__"), Value(cls), DontEnum);
        clip->define(QStringLiteral("constructor"), Value(cls), DontEnum);
        callSafely(Value(cls), Value(static_cast<Object*>(clip)), {});
        return true;
    }
    return false;
}

} // namespace nimbrel::movie::avm1
