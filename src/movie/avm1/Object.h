#pragma once
// A script object: named properties in insertion order, a prototype link,
// attribute flags and getter/setter pairs (Object.addProperty).
#include "movie/avm1/Value.h"
#include <QHash>
#include <QStringList>
#include <functional>
#include <vector>

namespace nimbrel::movie::avm1 {

class Interpreter;

enum PropertyFlag : unsigned short {
    DontEnum = 1,
    DontDelete = 2,
    ReadOnly = 4,
    // Version bits: the property does not exist for movies older than the version named (SWF 6 is the
    // exception: HiddenInSwf6 hides it there only). A script clears them with ASSetPropFlags to unhide.
    OnlySwf6Up = 1 << 7,
    HiddenInSwf6 = 1 << 8,
    OnlySwf7Up = 1 << 10,
    OnlySwf8Up = 1 << 12,
    OnlySwf9Up = 1 << 13,
    OnlySwf10Up = 1 << 14,
};

struct Property {
    QString name;
    Value value;
    unsigned short flags = 0;
    Object* getter = nullptr;
    Object* setter = nullptr;
    bool isAccessor() const { return getter || setter; }
    // False when the version bits hide this property from a movie of `swfVersion`.
    bool visibleIn(int swfVersion) const;
};

class Object {
public:
    Object(Interpreter& vm, Object* proto);
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Interpreter& vm() const { return vm_; }
    Object* proto() const { return proto_; }
    void setProto(Object* p) { proto_ = p; }

    // Reads through the prototype chain, running getters with this object as `this`.
    Value get(const QString& name);
    // Writes, running a setter found on the chain, else storing an own property.
    virtual void set(const QString& name, const Value& v);
    // Defines an own plain property, replacing any existing one.
    void define(const QString& name, const Value& v, unsigned short flags = 0);
    void defineAccessor(const QString& name, Object* getter, Object* setter, unsigned short flags = 0);
    virtual bool remove(const QString& name);
    virtual bool hasOwn(const QString& name);
    // Object.hasOwnProperty: like hasOwn, minus what only looks like a property (child clips).
    virtual bool hasOwnProperty(const QString& name) { return hasOwn(name); }
    bool has(const QString& name);
    // Own enumerable names, newest first (the player's for..in order).
    virtual QStringList ownKeys(bool includeHidden = false);

    // An own property this movie's version can see (version-hidden ones are absent).
    Property* findOwn(const QString& name);
    Property* findOwnAnyVersion(const QString& name);
    Property* findOnChain(const QString& name, Object** holder = nullptr);
    // Changes the flags of an own property, hidden by version or not.
    void setFlags(const QString& name, unsigned short set, unsigned short clear);
    std::vector<Property>& properties() { return props_; }

    // Garbage collection: objects this one keeps alive.
    virtual void markChildren(std::vector<Object*>& out) const;
    bool marked = false;

    virtual QString className() const { return QStringLiteral("Object"); }
    virtual bool isFunction() const { return false; }
    virtual bool isMovieClip() const { return false; }

    // Boxed primitive of Number, String and Boolean objects.
    bool hasPrimitive = false;
    Value primitive;
    // Names of interfaces (ImplementsOp) for instanceof.
    std::vector<Object*> interfaces;
    // Watches (Object.watch): name -> callback and user data.
    struct Watch { Object* callback; Value data; bool running = false; };
    QHash<QString, Watch> watches;

protected:
    // Special own properties computed by subclasses (array length, clip properties).
    virtual bool getSpecial(const QString& name, Value& out) { return false; }
    virtual bool setSpecial(const QString& name, const Value& v) { return false; }
    QString key(const QString& name) const;
    // Deletes every own property `pred` picks in one pass (DontDelete ones too).
    void eraseOwnIf(const std::function<bool(const Property&)>& pred);

private:
    void reindex();
    // The part of set() after watchers: setters on the chain, else an own property.
    void storeWatched(const QString& name, const Value& value);
    int findIndex(const QString& name) const;

    Interpreter& vm_;
    Object* proto_ = nullptr;
    std::vector<Property> props_;
    QHash<QString, int> index_;
};

} // namespace nimbrel::movie::avm1
