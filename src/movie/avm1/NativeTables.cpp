// ASnative, ASSetNative and ASSetNativeAccessor over the built-ins' numbers.
#include "movie/avm1/NativeTables.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include <QHash>
#include <memory>

namespace nimbrel::movie::avm1 {

namespace {

enum class Part : unsigned char { Value, Getter, Setter };

struct Entry {
    int table;
    int index;
    const char* holder; // dotted path from _global; empty for _global itself
    const char* name;
    Part part = Part::Value;
};

// The numbers scripts rely on. Where a table is only partly known, the unknown indices
// still give a function that does nothing, as the player's do.
const Entry kEntries[] = {
    {100, 0, "", "escape"},
    {100, 1, "", "unescape"},
    {100, 2, "", "parseInt"},
    {100, 3, "", "parseFloat"},
    {100, 5, "", "updateAfterEvent"},
    {101, 0, "Object.prototype", "watch"},
    {101, 1, "Object.prototype", "unwatch"},
    {101, 2, "Object.prototype", "addProperty"},
    {101, 3, "Object.prototype", "valueOf"},
    {101, 4, "Object.prototype", "toString"},
    {101, 5, "Object.prototype", "hasOwnProperty"},
    {101, 6, "Object.prototype", "isPrototypeOf"},
    {101, 7, "Object.prototype", "isPropertyEnumerable"},
    {103, 0, "Date.prototype", "getFullYear"},
    {103, 1, "Date.prototype", "getYear"},
    {103, 2, "Date.prototype", "getMonth"},
    {103, 3, "Date.prototype", "getDate"},
    {103, 4, "Date.prototype", "getDay"},
    {103, 5, "Date.prototype", "getHours"},
    {103, 6, "Date.prototype", "getMinutes"},
    {103, 7, "Date.prototype", "getSeconds"},
    {103, 8, "Date.prototype", "getMilliseconds"},
    {103, 9, "Date.prototype", "setFullYear"},
    {103, 10, "Date.prototype", "setMonth"},
    {103, 11, "Date.prototype", "setDate"},
    {103, 12, "Date.prototype", "setHours"},
    {103, 13, "Date.prototype", "setMinutes"},
    {103, 14, "Date.prototype", "setSeconds"},
    {103, 15, "Date.prototype", "setMilliseconds"},
    {103, 16, "Date.prototype", "getTime"},
    {103, 17, "Date.prototype", "setTime"},
    {103, 18, "Date.prototype", "getTimezoneOffset"},
    {103, 19, "Date.prototype", "toString"},
    {103, 20, "Date.prototype", "setYear"},
    {103, 128, "Date.prototype", "getUTCFullYear"},
    {103, 129, "Date.prototype", "getUTCYear"},
    {103, 130, "Date.prototype", "getUTCMonth"},
    {103, 131, "Date.prototype", "getUTCDate"},
    {103, 132, "Date.prototype", "getUTCDay"},
    {103, 133, "Date.prototype", "getUTCHours"},
    {103, 134, "Date.prototype", "getUTCMinutes"},
    {103, 135, "Date.prototype", "getUTCSeconds"},
    {103, 136, "Date.prototype", "getUTCMilliseconds"},
    {103, 256, "", "Date"},
    {103, 257, "Date", "UTC"},
    {106, 0, "Number.prototype", "valueOf"},
    {106, 1, "Number.prototype", "toString"},
    {106, 2, "", "Number"},
    {107, 0, "Boolean.prototype", "valueOf"},
    {107, 1, "Boolean.prototype", "toString"},
    {107, 2, "", "Boolean"},
    {251, 3, "String.prototype", "toUpperCase"},
    {251, 4, "String.prototype", "toLowerCase"},
    {252, 0, "", "Array"},
    {666, 1, "Stage", "scaleMode", Part::Getter},
    {666, 2, "Stage", "scaleMode", Part::Setter},
    {666, 3, "Stage", "align", Part::Getter},
    {666, 4, "Stage", "align", Part::Setter},
    {666, 5, "Stage", "width", Part::Getter},
    {666, 6, "Stage", "width", Part::Setter},
    {666, 7, "Stage", "height", Part::Getter},
    {666, 8, "Stage", "height", Part::Setter},
    {666, 9, "Stage", "showMenu", Part::Getter},
    {666, 10, "Stage", "showMenu", Part::Setter},
    {901, 0, "MovieClip.prototype", "createEmptyMovieClip"},
};

// Tables whose unknown indices still answer with a (do-nothing) function.
const int kKnownTables[] = {1, 2, 100, 101, 102, 103, 104, 105, 106, 107, 200, 250, 251, 252, 300, 400,
                            500, 600, 666, 700, 800, 900, 901, 1100, 2106};

qint64 keyOf(int table, int index)
{
    return (qint64(table) << 32) | quint32(index);
}

Property* ownAnyVersion(Object* o, const QString& name)
{
    return o ? o->findOwnAnyVersion(name) : nullptr;
}

// The object at a dotted path under _global, version-hidden members included.
Object* holderAt(Interpreter& vm, const char* path)
{
    Object* o = vm.global;
    const QString text = QString::fromLatin1(path);
    if (text.isEmpty())
        return o;
    for (const QString& part : text.split(QLatin1Char('.'))) {
        Property* p = ownAnyVersion(o, part);
        o = p && !p->isAccessor() ? p->value.object() : nullptr;
        if (!o)
            return nullptr;
    }
    return o;
}

// What an entry resolves to: a function, or a plain value read through a stored property.
struct Resolved {
    Object* function = nullptr;
    Object* holder = nullptr; // for plain properties the stand-ins read and write
    QString name;
    bool writes = false;
};

using Table = QHash<qint64, Resolved>;

Table buildTable(Interpreter& vm)
{
    Table table;
    for (const Entry& e : kEntries) {
        Object* holder = holderAt(vm, e.holder);
        const QString name = QString::fromLatin1(e.name);
        Property* p = ownAnyVersion(holder, name);
        if (!p)
            continue;
        Resolved r;
        if (e.part == Part::Value && !p->isAccessor())
            r.function = p->value.object();
        else if (e.part == Part::Getter && p->getter)
            r.function = p->getter;
        else if (e.part == Part::Setter && p->setter)
            r.function = p->setter;
        else if (e.part != Part::Value) {
            // A plain property the player serves through numbered accessors.
            r.holder = holder;
            r.name = name;
            r.writes = e.part == Part::Setter;
        }
        if (r.function || r.holder)
            table.insert(keyOf(e.table, e.index), r);
    }
    return table;
}

bool knownTable(int table)
{
    for (int t : kKnownTables)
        if (t == table)
            return true;
    return false;
}

// A fresh function for (table, index), or null when the table does not exist. The player hands
// out a new function object on every request.
Object* nativeFunction(Interpreter& vm, const std::shared_ptr<Table>& table, int tableId, int index)
{
    if (tableId == 200)
        return vm.newFunction([index](Interpreter& vm, const Value&, const std::vector<Value>& args) {
            return callMathNative(vm, index, args);
        });
    if (tableId == 100 && index == 4)
        return vm.newFunction([](Interpreter& vm, const Value&, const std::vector<Value>& args) {
            const Value v = arg(args, 0);
            vm.trace(v.isUndefined() ? QStringLiteral("undefined") : vm.toString(v));
            return Value();
        });
    auto it = table->constFind(keyOf(tableId, index));
    if (it == table->constEnd())
        return knownTable(tableId) ? vm.newFunction([](Interpreter&, const Value&, const std::vector<Value>&) { return Value(); })
                                   : nullptr;
    const Resolved r = *it;
    if (r.function)
        return vm.newFunction([f = r.function](Interpreter& vm, const Value& self, const std::vector<Value>& args) {
            return vm.call(Value(f), self, args);
        });
    return vm.newFunction([r](Interpreter&, const Value&, const std::vector<Value>& args) -> Value {
        if (!r.writes)
            return r.holder->get(r.name);
        r.holder->set(r.name, arg(args, 0));
        return Value();
    });
}

// The value a name had before a version-gated entry replaced it: what the prototype chain gives.
Value inheritedValue(Object* target, const QString& name)
{
    Object* proto = target->proto();
    return proto ? proto->get(name) : Value();
}

// Installs each name of a comma list; `step` is 1 for functions and 2 for getter/setter pairs.
void installList(Interpreter& vm, const std::shared_ptr<Table>& table, const std::vector<Value>& args, bool accessors)
{
    Object* target = arg(args, 0).object();
    if (!target || args.size() < 3)
        return;
    const int tableId = vm.toInt32(args[1]);
    const QString list = vm.toString(args[2]);
    int index = args.size() > 3 ? vm.toInt32(args[3]) : 0;
    const QStringList entries = list.split(QLatin1Char(','));
    // A name list is text the movie wrote; a list longer than any table is cut off.
    const int maxEntries = 4096;
    for (int i = 0; i < entries.size() && i < maxEntries; ++i, index += accessors ? 2 : 1) {
        int minVersion = 0;
        const QString name = splitNativeName(entries[i], minVersion);
        if (name.isEmpty())
            continue;
        if (minVersion > vm.version()) {
            // Too new for this movie: the name keeps the value it would have had without it.
            target->define(name, inheritedValue(target, name));
            continue;
        }
        Object* first = nativeFunction(vm, table, tableId, index);
        if (!accessors) {
            if (first)
                target->define(name, Value(first));
            continue;
        }
        Object* second = nativeFunction(vm, table, tableId, index + 1);
        if (first)
            target->defineAccessor(name, first, second);
    }
}

} // namespace

QString splitNativeName(const QString& entry, int& minVersion)
{
    minVersion = 0;
    if (entry.startsWith(QLatin1String("10"))) {
        minVersion = 10;
        return entry.mid(2);
    }
    if (!entry.isEmpty()) {
        const ushort c = entry[0].unicode();
        if (c == '1')
            return entry.mid(1);
        if (c >= '6' && c <= '9') {
            minVersion = c - '0';
            return entry.mid(1);
        }
    }
    return entry;
}

void installNativeTables(Interpreter& vm)
{
    auto table = std::make_shared<Table>(buildTable(vm));
    Object* g = vm.global;
    vm.addMethod(g, QStringLiteral("ASnative"), [table](Interpreter& vm, const Value&, const std::vector<Value>& args) -> Value {
        if (args.size() != 2)
            return Value();
        const int tableId = vm.toInt32(args[0]);
        const int index = vm.toInt32(args[1]);
        Object* f = nativeFunction(vm, table, tableId, index);
        return f ? Value(f) : Value();
    });
    vm.addMethod(g, QStringLiteral("ASSetNative"), [table](Interpreter& vm, const Value&, const std::vector<Value>& args) {
        installList(vm, table, args, false);
        return Value();
    });
    vm.addMethod(g, QStringLiteral("ASSetNativeAccessor"), [table](Interpreter& vm, const Value&, const std::vector<Value>& args) {
        installList(vm, table, args, true);
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
