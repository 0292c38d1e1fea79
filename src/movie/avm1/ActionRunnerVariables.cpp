// Variables and scope: names looked up along the scope chain, slash and dot
// paths, declarations and deletion.
#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ActionRunnerSupport.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/ScriptFunction.h"
#include <algorithm>

namespace nimbrel::movie::avm1 {

using actions::isPath;
using actions::objectAtPath;

Value ActionRunner::lookupName(const QString& name, Object** holder)
{
    const bool cs = vm_.caseSensitive();
    auto is = [&](const char* s) {
        return cs ? name == QLatin1String(s) : name.compare(QLatin1String(s), Qt::CaseInsensitive) == 0;
    };
    if (holder)
        *holder = nullptr;
    if (is("this")) {
        // A DefineFunction2 that suppresses `this` or keeps it in a register leaves
        // the name to the timeline (SWF 6 and later) or to the scope chain like any variable.
        if (!(act_.callee && act_.callee->isFunction2 &&
              (act_.callee->flags & (ScriptFunction::SuppressThis | ScriptFunction::PreloadThis))))
            return act_.thisValue;
        if (act_.code.swfVersion >= 6)
            return act_.target ? Value(static_cast<Object*>(act_.target)) : Value();
    }
    Value found;
    auto probe = [&](Object* o) {
        if (!o)
            return false;
        // A timeline variable named like a clip's own reference (_root, _parent) shadows it.
        if (o->isMovieClip())
            if (Property* p = o->findOwn(name); p && !p->isAccessor()) {
                if (holder)
                    *holder = o;
                found = p->value;
                return true;
            }
        if (!o->has(name))
            return false;
        if (holder)
            *holder = o;
        found = o->get(name);
        return true;
    };
    for (Scope* s = act_.scope.get(); s; s = s->parent.get()) {
        Object* o = scopeObject(s);
        // SWF 4 code has no globals (NaN and Infinity are unknown names there).
        if (o == vm_.global && act_.code.swfVersion < 5)
            continue;
        if (probe(o))
            return found;
    }
    if (is("_global") && vm_.version() >= 6)
        return Value(vm_.global);
    if (is("_root"))
        return Value(defaultTarget() ? defaultTarget()->rootClip() : vm_.root);
    if (name.startsWith(QLatin1String("_level"), cs ? Qt::CaseSensitive : Qt::CaseInsensitive)) {
        if (MovieClipObject* c = vm_.resolveTarget(name, defaultTarget()))
            return Value(c);
    }
    return Value();
}

bool ActionRunner::resolvePath(const QString& path, Value& out)
{
    int colon = path.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        Object* owner = objectAtPath(vm_, path.left(colon), defaultTarget());
        out = owner ? owner->get(path.mid(colon + 1)) : Value();
        return true;
    }
    if (path.contains(QLatin1Char('/'))) {
        MovieClipObject* clip = vm_.resolveTarget(path, defaultTarget());
        if (clip) {
            out = Value(clip);
            return true;
        }
        // "a/b/var" style: last segment is a variable.
        int slash = path.lastIndexOf(QLatin1Char('/'));
        Object* owner = objectAtPath(vm_, slash == 0 ? QStringLiteral("/") : path.left(slash), defaultTarget());
        out = owner ? owner->get(path.mid(slash + 1)) : Value();
        return true;
    }
    if (path.contains(QLatin1Char('.'))) {
        const QStringList parts = path.split(QLatin1Char('.'));
        if (parts.first().isEmpty())
            return false;
        Value v = lookupName(parts.first(), nullptr);
        for (int i = 1; i < parts.size(); ++i) {
            if (v.isNullish()) {
                out = Value();
                return true;
            }
            v = vm_.getMember(v, parts[i]);
        }
        out = v;
        return true;
    }
    return false;
}

Value ActionRunner::getVariable(const QString& name)
{
    Value out;
    if ((name.contains(QLatin1Char('/')) || name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('.'))) &&
        resolvePath(name, out))
        return out;
    return lookupName(name, nullptr);
}

void ActionRunner::setVariable(const QString& name, const Value& v)
{
    // `this` is a variable of the running code: assigning it changes what later reads see.
    const bool cs = vm_.caseSensitive();
    if ((cs ? name == QLatin1String("this") : name.compare(QLatin1String("this"), Qt::CaseInsensitive) == 0) &&
        !(act_.callee && act_.callee->isFunction2 &&
          (act_.callee->flags & (ScriptFunction::SuppressThis | ScriptFunction::PreloadThis)))) {
        act_.thisValue = v;
        return;
    }
    int colon = name.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        if (Object* owner = objectAtPath(vm_, name.left(colon), defaultTarget()))
            owner->set(name.mid(colon + 1), v);
        return;
    }
    int slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) {
        Object* owner = objectAtPath(vm_, slash == 0 ? QStringLiteral("/") : name.left(slash), defaultTarget());
        if (owner)
            owner->set(name.mid(slash + 1), v);
        return;
    }
    int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        Value owner = getVariable(name.left(dot));
        if (owner.isObject())
            owner.o->set(name.mid(dot + 1), v);
        return;
    }
    // A name the globals hold is shadowed, not changed: it lands on the timeline.
    for (Scope* s = act_.scope.get(); s; s = s->parent.get()) {
        Object* o = scopeObject(s);
        if (o && o != vm_.global && o->has(name)) {
            o->set(name, v);
            return;
        }
    }
    // Undeclared names land on the timeline the code belongs to.
    for (Scope* s = act_.scope.get(); s; s = s->parent.get())
        if (Object* o = scopeObject(s); o && o->isMovieClip() && !s->isWith) {
            o->set(name, v);
            return;
        }
    if (MovieClipObject* t = defaultTarget())
        t->set(name, v);
}

void ActionRunner::opGetVariable()
{
    Value name = pop();
    push(getVariable(text(name)));
}

void ActionRunner::opSetVariable()
{
    Value v = pop();
    Value name = pop();
    setVariable(text(name), v);
}

void ActionRunner::opDefineLocal()
{
    Value v = pop();
    QString name = text(pop());
    if (act_.locals) {
        act_.locals->set(name, v); // in a function a path is just a name
        return;
    }
    if (isPath(name)) {
        setVariable(name, v);
        return;
    }
    // On a timeline, a `with` object that has the name keeps it.
    for (Scope* s = act_.scope.get(); s && s->object && !s->object->isMovieClip(); s = s->parent.get())
        if (s->object != vm_.global && s->object->hasOwn(name)) {
            s->object->set(name, v);
            v = Value();
            name.clear();
            break;
        }
    if (!name.isEmpty())
        if (MovieClipObject* t = defaultTarget())
            t->set(name, v);
}

void ActionRunner::opDefineLocal2()
{
    QString name = text(pop());
    if (act_.locals) {
        if (!act_.locals->hasOwn(name))
            act_.locals->define(name, Value());
    } else if (isPath(name)) {
        // "var /:a;" declares on the clip the path names.
        const int sep = std::max({name.lastIndexOf(QLatin1Char(':')), name.lastIndexOf(QLatin1Char('/')),
                                  name.lastIndexOf(QLatin1Char('.'))});
        const QString ownerPath = name.left(sep);
        Object* owner = name[sep] == QLatin1Char('.')
                            ? getVariable(ownerPath).object()
                            : objectAtPath(vm_, ownerPath.isEmpty() ? QStringLiteral("/") : ownerPath, defaultTarget());
        const QString var = name.mid(sep + 1);
        if (owner && !owner->has(var))
            owner->define(var, Value());
    } else if (MovieClipObject* t = defaultTarget()) {
        // A name the clip inherits counts as declared.
        if (!t->has(name))
            t->define(name, Value());
    }
}

void ActionRunner::opDelete()
{
    QString name = text(pop());
    Value target = pop();
    Object* o = target.object();
    push(Value(o ? o->remove(name) : false));
}

void ActionRunner::opDelete2()
{
    QString name = text(pop());
    bool done = false;
    for (Scope* s = act_.scope.get(); s && !done; s = s->parent.get())
        if (s->object && s->object->hasOwn(name))
            done = s->object->remove(name) || true;
    push(Value(done));
}

} // namespace nimbrel::movie::avm1
