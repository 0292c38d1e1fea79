#include "movie/avm1/Object.h"
#include "movie/avm1/Interpreter.h"
#include <algorithm>

namespace nimbrel::movie::avm1 {

Object::Object(Interpreter& vm, Object* proto) : vm_(vm), proto_(proto) {}

Object::~Object() = default;

// Names of SWF 6 and older movies match without case, on the player's older character tables:
// letters newer than Unicode 3.2 have no case partner there.
static char16_t foldCase(char16_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
    const QChar lower = QChar(c).toLower();
    if (lower.unicode() == c || QChar(c).unicodeVersion() > QChar::Unicode_3_2 ||
        lower.unicodeVersion() > QChar::Unicode_3_2)
        return c;
    return lower.unicode();
}

static QString foldName(const QString& name)
{
    QString out = name;
    for (QChar& c : out)
        c = QChar(foldCase(c.unicode()));
    return out;
}

QString Object::key(const QString& name) const
{
    return vm_.caseSensitive() ? name : foldName(name);
}

// Small objects are searched linearly; the hash index exists only for large ones.
static constexpr size_t kIndexThreshold = 12;

int Object::findIndex(const QString& name) const
{
    if (props_.size() <= kIndexThreshold) {
        const bool exact = vm_.caseSensitive();
        for (size_t i = 0; i < props_.size(); ++i) {
            const QString& n = props_[i].name;
            if (n.size() != name.size())
                continue;
            if (exact ? n == name : std::equal(n.begin(), n.end(), name.begin(), [](QChar a, QChar b) {
                    return a == b || foldCase(a.unicode()) == foldCase(b.unicode());
                }))
                return int(i);
        }
        return -1;
    }
    auto it = index_.constFind(key(name));
    return it == index_.constEnd() ? -1 : *it;
}

bool Property::visibleIn(int swfVersion) const
{
    if (!(flags & (OnlySwf6Up | HiddenInSwf6 | OnlySwf7Up | OnlySwf8Up | OnlySwf9Up | OnlySwf10Up)))
        return true;
    return !((flags & OnlySwf6Up && swfVersion < 6) || (flags & HiddenInSwf6 && swfVersion == 6) ||
             (flags & OnlySwf7Up && swfVersion < 7) || (flags & OnlySwf8Up && swfVersion < 8) ||
             (flags & OnlySwf9Up && swfVersion < 9) || (flags & OnlySwf10Up && swfVersion < 10));
}

Property* Object::findOwn(const QString& name)
{
    int i = findIndex(name);
    if (i < 0 || !props_[size_t(i)].visibleIn(vm_.version()))
        return nullptr;
    return &props_[size_t(i)];
}

Property* Object::findOwnAnyVersion(const QString& name)
{
    int i = findIndex(name);
    return i < 0 ? nullptr : &props_[size_t(i)];
}

void Object::markChildren(std::vector<Object*>& out) const
{
    if (proto_)
        out.push_back(proto_);
    for (const Property& p : props_) {
        if (p.value.o && p.value.type == Value::Type::Object)
            out.push_back(p.value.o);
        if (p.getter)
            out.push_back(p.getter);
        if (p.setter)
            out.push_back(p.setter);
    }
    for (const Watch& w : watches) {
        out.push_back(w.callback);
        if (w.data.isObject())
            out.push_back(w.data.o);
    }
    for (Object* i : interfaces)
        out.push_back(i);
}

// A prototype chain longer than this (a cycle, most likely) stops the running script.
static constexpr int kMaxChain = 256;

// Outside scripts (the player asking for a handler) the search just ends.
static bool chainTooLong(Interpreter& vm)
{
    if (vm.running())
        throw ScriptAbort{QStringLiteral("prototype chain too long")};
    return true;
}

Property* Object::findOnChain(const QString& name, Object** holder)
{
    Object* o = this;
    for (int guard = 0; o; ++guard, o = o->proto_) {
        if (guard >= kMaxChain && chainTooLong(vm_))
            return nullptr;
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
    for (int guard = 0; o; ++guard, o = o->proto_) {
        if (guard >= kMaxChain && chainTooLong(vm_))
            return Value();
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
        // A watcher setting its own property stores the value directly (SWF 6 and
        // older); later movies call it again, a bounded number of levels deep.
        static int watchNesting = 0;
        constexpr int kMaxWatchNesting = 65;
        const bool reenter = vm_.version() >= 7 && watchNesting < kMaxWatchNesting;
        if (it != watches.end() && (!it->running || reenter)) {
            const QString watchKey = it.key();
            const Watch w = *it;
            const bool wasRunning = it->running;
            it->running = true;
            ++watchNesting;
            auto finish = [&] {
                --watchNesting;
                auto again = watches.find(watchKey);
                if (again != watches.end())
                    again->running = wasRunning;
            };
            try {
                value = vm_.call(Value(w.callback), Value(this), {Value(name), get(name), v, w.data});
            } catch (...) {
                // A throwing watcher leaves the property undefined.
                finish();
                storeWatched(name, Value());
                throw;
            }
            finish();
        }
    }
    storeWatched(name, value);
}

void Object::storeWatched(const QString& name, const Value& value)
{
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

void Object::define(const QString& name, const Value& v, unsigned short flags)
{
    int i = findIndex(name);
    if (i >= 0) {
        Property& p = props_[size_t(i)];
        p.value = v;
        p.flags = flags;
        p.getter = p.setter = nullptr;
        return;
    }
    props_.push_back(Property{name, v, flags, nullptr, nullptr});
    if (props_.size() > kIndexThreshold) {
        if (index_.isEmpty())
            reindex();
        else
            index_.insert(key(name), int(props_.size()) - 1);
    }
}

void Object::defineAccessor(const QString& name, Object* getter, Object* setter, unsigned short flags)
{
    define(name, Value(), flags);
    Property* p = findOwn(name);
    p->getter = getter;
    p->setter = setter;
}

bool Object::remove(const QString& name)
{
    int i = findIndex(name);
    if (i < 0 || !props_[size_t(i)].visibleIn(vm_.version()))
        return false;
    if (props_[size_t(i)].flags & DontDelete)
        return false;
    props_.erase(props_.begin() + i);
    reindex();
    return true;
}

void Object::eraseOwnIf(const std::function<bool(const Property&)>& pred)
{
    const size_t before = props_.size();
    props_.erase(std::remove_if(props_.begin(), props_.end(), pred), props_.end());
    if (props_.size() != before)
        reindex();
}

void Object::reindex()
{
    index_.clear();
    if (props_.size() <= kIndexThreshold)
        return;
    for (int i = 0; i < int(props_.size()); ++i)
        index_.insert(key(props_[size_t(i)].name), i);
}

bool Object::hasOwn(const QString& name)
{
    if (findOwn(name))
        return true;
    Value special;
    return getSpecial(name, special);
}

bool Object::has(const QString& name)
{
    int guard = 0;
    for (Object* o = this; o; o = o->proto_, ++guard) {
        if (guard >= kMaxChain && chainTooLong(vm_))
            return false;
        if (o->hasOwn(name))
            return true;
    }
    return false;
}

QStringList Object::ownKeys(bool includeHidden)
{
    QStringList out;
    const int version = vm_.version();
    for (auto it = props_.rbegin(); it != props_.rend(); ++it)
        if ((includeHidden || !(it->flags & DontEnum)) && it->visibleIn(version))
            out.append(it->name);
    return out;
}

void Object::setFlags(const QString& name, unsigned short set, unsigned short clear)
{
    int i = findIndex(name);
    if (i >= 0)
        props_[size_t(i)].flags = (props_[size_t(i)].flags & ~clear) | set;
}

} // namespace nimbrel::movie::avm1
