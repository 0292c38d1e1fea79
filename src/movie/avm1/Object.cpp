#include "movie/avm1/Object.h"
#include "movie/avm1/Interpreter.h"

namespace nimbrel::movie::avm1 {

Object::Object(Interpreter& vm, Object* proto) : vm_(vm), proto_(proto) {}

Object::~Object() = default;

QString Object::key(const QString& name) const
{
    return vm_.caseSensitive() ? name : name.toLower();
}

Property* Object::findOwn(const QString& name)
{
    auto it = index_.constFind(key(name));
    return it == index_.constEnd() ? nullptr : &props_[*it];
}

Property* Object::findOnChain(const QString& name, Object** holder)
{
    Object* o = this;
    for (int guard = 0; o && guard < 256; ++guard, o = o->proto_) {
        if (Property* p = o->findOwn(name)) {
            if (holder)
                *holder = o;
            return p;
        }
    }
    return nullptr;
}

Value Object::get(const QString& name)
{
    if (name.compare(QLatin1String("__proto__"), Qt::CaseInsensitive) == 0 &&
        (!vm_.caseSensitive() || name == QLatin1String("__proto__"))) {
        if (Property* p = findOwn(name))
            return p->value;
        return proto_ ? Value(proto_) : Value();
    }
    Object* o = this;
    for (int guard = 0; o && guard < 256; ++guard, o = o->proto_) {
        Value special;
        if (o->getSpecial(name, special))
            return special;
        if (Property* p = o->findOwn(name)) {
            if (p->isAccessor()) {
                if (!p->getter)
                    return Value();
                return vm_.call(Value(p->getter), Value(this), {});
            }
            return p->value;
        }
    }
    return Value();
}

void Object::set(const QString& name, const Value& v)
{
    if (name.compare(QLatin1String("__proto__"), Qt::CaseInsensitive) == 0 &&
        (!vm_.caseSensitive() || name == QLatin1String("__proto__"))) {
        proto_ = v.object();
        return;
    }
    if (setSpecial(name, v))
        return;
    Value value = v;
    if (!watches.isEmpty()) {
        auto it = watches.find(key(name));
        if (it != watches.end()) {
            Value old = get(name);
            value = vm_.call(Value(it->callback), Value(this), {Value(name), old, v, it->data});
        }
    }
    Object* holder = nullptr;
    Property* p = findOnChain(name, &holder);
    if (p && p->isAccessor()) {
        if (p->setter)
            vm_.call(Value(p->setter), Value(this), {value});
        return;
    }
    if (p && holder == this) {
        if (!(p->flags & ReadOnly))
            p->value = value;
        return;
    }
    define(name, value, 0);
}

void Object::define(const QString& name, const Value& v, unsigned char flags)
{
    const QString k = key(name);
    auto it = index_.constFind(k);
    if (it != index_.constEnd()) {
        Property& p = props_[*it];
        p.value = v;
        p.flags = flags;
        p.getter = p.setter = nullptr;
        return;
    }
    index_.insert(k, int(props_.size()));
    props_.push_back(Property{name, v, flags, nullptr, nullptr});
}

void Object::defineAccessor(const QString& name, Object* getter, Object* setter, unsigned char flags)
{
    define(name, Value(), flags);
    Property* p = findOwn(name);
    p->getter = getter;
    p->setter = setter;
}

bool Object::remove(const QString& name)
{
    auto it = index_.constFind(key(name));
    if (it == index_.constEnd())
        return false;
    if (props_[*it].flags & DontDelete)
        return false;
    props_.erase(props_.begin() + *it);
    reindex();
    return true;
}

void Object::reindex()
{
    index_.clear();
    for (int i = 0; i < int(props_.size()); ++i)
        index_.insert(key(props_[i].name), i);
}

bool Object::hasOwn(const QString& name)
{
    Value special;
    if (getSpecial(name, special))
        return true;
    return findOwn(name) != nullptr;
}

bool Object::has(const QString& name)
{
    for (Object* o = this; o; o = o->proto_)
        if (o->hasOwn(name))
            return true;
    return false;
}

QStringList Object::ownKeys(bool includeHidden)
{
    QStringList out;
    for (auto it = props_.rbegin(); it != props_.rend(); ++it)
        if (includeHidden || !(it->flags & DontEnum))
            out.append(it->name);
    return out;
}

void Object::setFlags(const QString& name, unsigned char set, unsigned char clear)
{
    if (Property* p = findOwn(name))
        p->flags = (p->flags & ~clear) | set;
}

} // namespace nimbrel::movie::avm1
