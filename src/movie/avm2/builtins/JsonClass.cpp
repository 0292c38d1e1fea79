#include "movie/avm2/builtins/JsonClass.h"
#include "movie/avm2/NumberText.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/VectorObject.h"
#include "movie/avm2/XmlSupport.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace nimbrel::movie::avm2 {

namespace {
// Nesting deeper than this is refused rather than risking the native stack.
constexpr int MaxDepth = 1000;

Name keyName(const QString& key) {
    Name n = Name::publicName(key);
    n.index = PropertyAccess::indexOf(key);
    return n;
}

bool isFunction(const Value& v) { return v.isObject() && v.obj()->type == ScriptObject::Type::Function; }

class Parser {
public:
    Parser(Runtime& rt, const QString& text) : rt_(rt), s_(text) {}

    Value document() {
        Value v = value(0);
        skipSpace();
        if (at_ != s_.size()) fail();
        return v;
    }

private:
    [[noreturn]] void fail() { rt_.raise(QStringLiteral("SyntaxError"), 1132); }
    void skipSpace() {
        while (at_ < s_.size() && (s_[at_] == u' ' || s_[at_] == u'\t' || s_[at_] == u'\n' || s_[at_] == u'\r')) ++at_;
    }
    bool take(char16_t c) {
        skipSpace();
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void expect(char16_t c) {
        if (!take(c)) fail();
    }
    bool word(const char* w) {
        const QString text = QString::fromLatin1(w);
        if (QStringView(s_).mid(at_, text.size()) != text) return false;
        at_ += text.size();
        return true;
    }

    Value value(int depth) {
        if (depth > MaxDepth) fail();
        skipSpace();
        if (at_ >= s_.size()) fail();
        const QChar c = s_[at_];
        if (c == u'{') return object(depth);
        if (c == u'[') return array(depth);
        if (c == u'"') return Value::string(string());
        if (c == u'-' || (c >= u'0' && c <= u'9')) return number();
        if (word("true")) return Value::boolean(true);
        if (word("false")) return Value::boolean(false);
        if (word("null")) return Value::null();
        fail();
    }

    Value object(int depth) {
        ++at_;
        ObjectPtr obj = rt_.newObject();
        if (take(u'}')) return Value::object(obj);
        do {
            skipSpace();
            if (at_ >= s_.size() || s_[at_] != u'"') fail();
            const QString key = string();
            expect(u':');
            obj->setOwn(key, value(depth + 1));
        } while (take(u','));
        expect(u'}');
        return Value::object(obj);
    }

    Value array(int depth) {
        ++at_;
        std::vector<Value> items;
        if (!take(u']')) {
            do items.push_back(value(depth + 1));
            while (take(u','));
            expect(u']');
        }
        return Value::object(rt_.newArray(std::move(items)));
    }

    QString string() {
        ++at_; // the opening quote
        QString out;
        while (true) {
            if (at_ >= s_.size()) fail();
            const QChar c = s_[at_++];
            if (c == u'"') return out;
            if (c.unicode() < 0x20) fail();
            if (c != u'\\') {
                out += c;
                continue;
            }
            if (at_ >= s_.size()) fail();
            const QChar e = s_[at_++];
            switch (e.unicode()) {
            case u'"': out += u'"'; break;
            case u'\\': out += u'\\'; break;
            case u'/': out += u'/'; break;
            case u'b': out += u'\b'; break;
            case u'f': out += u'\f'; break;
            case u'n': out += u'\n'; break;
            case u'r': out += u'\r'; break;
            case u't': out += u'\t'; break;
            case u'u': {
                bool ok = false;
                const uint code = at_ + 4 <= s_.size() ? s_.mid(at_, 4).toUInt(&ok, 16) : 0;
                if (!ok || s_.mid(at_, 4).contains(u'+') || s_.mid(at_, 4).contains(u'-')) fail();
                out += QChar(char16_t(code));
                at_ += 4;
                break;
            }
            default: fail();
            }
        }
    }

    Value number() {
        const qsizetype start = at_;
        auto digits = [&] {
            const qsizetype from = at_;
            while (at_ < s_.size() && s_[at_] >= u'0' && s_[at_] <= u'9') ++at_;
            return at_ > from;
        };
        if (s_[at_] == u'-') ++at_;
        if (at_ < s_.size() && s_[at_] == u'0') ++at_;
        else if (!digits()) fail();
        if (at_ < s_.size() && s_[at_] == u'.') {
            ++at_;
            if (!digits()) fail();
        }
        if (at_ < s_.size() && (s_[at_] == u'e' || s_[at_] == u'E')) {
            ++at_;
            if (at_ < s_.size() && (s_[at_] == u'+' || s_[at_] == u'-')) ++at_;
            if (!digits()) fail();
        }
        return Value::number(s_.mid(start, at_ - start).toDouble());
    }

    Runtime& rt_;
    const QString& s_;
    qsizetype at_ = 0;
};

// The reviver sees every value bottom up, with its holder as `this`; undefined removes it.
Value revive(Runtime& rt, const Value& reviver, const Value& holder, const QString& key, int depth) {
    Value v = PropertyAccess::get(rt, holder, keyName(key));
    if (v.isObject() && depth < MaxDepth) {
        if (ArrayObject* arr = native::asArray(v)) {
            for (uint32_t i = 0; i < arr->length(); ++i) {
                Value r = revive(rt, reviver, v, QString::number(i), depth + 1);
                if (r.isUndefined()) arr->deleteIndex(i);
                else arr->setIndex(i, r);
            }
        } else {
            QStringList keys;
            for (int p = v.obj()->nextOwnEnumPosition(0); p; p = v.obj()->nextOwnEnumPosition(p)) keys << rt.toString(v.obj()->ownEnumName(p));
            for (const QString& k : keys) {
                Value r = revive(rt, reviver, v, k, depth + 1);
                if (r.isUndefined()) v.obj()->deleteOwn(k);
                else v.obj()->setOwn(k, r);
            }
        }
    }
    Value args[2] = {Value::string(key), v};
    return rt.call(reviver, holder, Args{args, 2});
}

Value parse(Runtime& rt, const Value&, Args a) {
    if (a[0].isNullish()) rt.raise(QStringLiteral("SyntaxError"), 1132);
    const QString text = rt.toString(a[0]);
    Value result = Parser(rt, text).document();
    if (!isFunction(a[1])) return result;
    ObjectPtr root = rt.newObject();
    root->setOwn(QString(), result);
    return revive(rt, a[1], Value::object(root), QString(), 0);
}

QString quote(const QString& s) {
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\b': out += QStringLiteral("\\b"); break;
        case u'\f': out += QStringLiteral("\\f"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20) out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else out += c;
        }
    }
    return out + QLatin1Char('"');
}

class Writer {
public:
    Writer(Runtime& rt, Value replacer, QStringList allowed, bool hasAllowed, QString gap)
        : rt_(rt), replacer_(std::move(replacer)), allowed_(std::move(allowed)), hasAllowed_(hasAllowed), gap_(std::move(gap)) {}

    // False when the value has no text (undefined, functions).
    bool write(const Value& holder, const QString& key, Value v, QString& out) {
        if (v.isObject()) {
            const Name toJsonName = Name::publicName(QStringLiteral("toJSON"));
            Value toJson = PropertyAccess::has(rt_, v, toJsonName) ? PropertyAccess::get(rt_, v, toJsonName) : Value();
            // XML's names are its children: its toJSON is reached as a method call.
            if (XmlSupport::isXmlOrList(v)) {
                Value k = Value::string(key);
                v = XmlSupport::call(rt_, v, toJsonName, Args{&k, 1});
            } else if (isFunction(toJson)) {
                Value k = Value::string(key);
                v = rt_.call(toJson, v, Args{&k, 1});
            }
        }
        if (isFunction(replacer_)) {
            Value args[2] = {Value::string(key), v};
            v = rt_.call(replacer_, holder, Args{args, 2});
        }
        if (v.isObject() && v.obj()->type == ScriptObject::Type::Boxed) v = v.obj()->primitive;
        switch (v.kind) {
        case Value::Kind::Undefined: return false;
        case Value::Kind::Null: out += QStringLiteral("null"); return true;
        case Value::Kind::Boolean: out += v.b ? QStringLiteral("true") : QStringLiteral("false"); return true;
        case Value::Kind::Int:
        case Value::Kind::Number: {
            const double d = v.numberValue();
            out += std::isfinite(d) ? NumberText::format(d) : QStringLiteral("null");
            return true;
        }
        case Value::Kind::String: out += quote(v.s); return true;
        case Value::Kind::Object: break;
        }
        if (isFunction(v)) return false;
        if (std::find(stack_.begin(), stack_.end(), v.obj()) != stack_.end() || stack_.size() > size_t(MaxDepth))
            rt_.raise(QStringLiteral("TypeError"), 1129);
        stack_.push_back(v.obj());
        const QString outer = indent_;
        indent_ += gap_;
        if (native::asArray(v) || v.obj()->type == ScriptObject::Type::Vector) writeList(v, out);
        else writeObject(v, out);
        indent_ = outer;
        stack_.pop_back();
        return true;
    }

private:
    void writeList(const Value& v, QString& out) {
        const uint32_t n = v.obj()->type == ScriptObject::Type::Vector ? v.obj()->indexCount() : native::asArray(v)->length();
        QStringList parts;
        for (uint32_t i = 0; i < n; ++i) {
            Value item;
            v.obj()->getIndex(i, item);
            QString part;
            if (!write(v, QString::number(i), item, part)) part = QStringLiteral("null");
            parts << part;
        }
        out += wrap(u'[', parts, u']');
    }

    void writeObject(const Value& v, QString& out) {
        QStringList keys;
        if (hasAllowed_) {
            keys = allowed_;
        } else {
            // A class instance gives its public variables and getters (by name) before its dynamic properties.
            if (v.obj()->traits) {
                QStringList sealed;
                for (const auto& [name, bindings] : v.obj()->traits->all().asKeyValueRange())
                    for (const Binding& b : bindings)
                        if (b.ns.isPublicEmpty() && !b.alsoAs3 &&
                            (b.kind == Binding::Kind::Slot || b.kind == Binding::Kind::Const ||
                             (b.kind == Binding::Kind::Accessor && b.getter.valid())))
                            sealed << name;
                sealed.sort();
                sealed.removeDuplicates();
                keys = sealed;
            }
            for (int p = v.obj()->nextOwnEnumPosition(0); p; p = v.obj()->nextOwnEnumPosition(p))
                keys << rt_.toString(v.obj()->ownEnumName(p));
        }
        QStringList parts;
        for (const QString& k : keys) {
            QString part;
            if (!write(v, k, PropertyAccess::get(rt_, v, keyName(k)), part)) continue;
            parts << quote(k) + (gap_.isEmpty() ? QStringLiteral(":") : QStringLiteral(": ")) + part;
        }
        out += wrap(u'{', parts, u'}');
    }

    QString wrap(char16_t open, const QStringList& parts, char16_t close) const {
        if (parts.isEmpty()) return QString(QChar(open)) + QChar(close);
        if (gap_.isEmpty()) return QChar(open) + parts.join(QLatin1Char(',')) + QChar(close);
        const QString outer = indent_.left(indent_.size() - gap_.size());
        return QChar(open) + QLatin1Char('\n') + indent_ + parts.join(QStringLiteral(",\n") + indent_) + QLatin1Char('\n') + outer + QChar(close);
    }

    Runtime& rt_;
    Value replacer_;
    QStringList allowed_;
    bool hasAllowed_;
    QString gap_, indent_;
    std::vector<ScriptObject*> stack_;
};

Value stringify(Runtime& rt, const Value&, Args a) {
    const Value& replacer = a[1];
    QStringList allowed;
    bool hasAllowed = false;
    if (ArrayObject* list = native::asArray(replacer)) {
        hasAllowed = true;
        for (uint32_t i = 0; i < list->length(); ++i) {
            Value item;
            if (!list->getIndex(i, item)) continue;
            if (item.isObject() && item.obj()->type == ScriptObject::Type::Boxed) item = item.obj()->primitive;
            if (item.isString() || item.isNumeric()) allowed << rt.toString(item);
        }
        allowed.removeDuplicates();
    } else if (!replacer.isNullish() && !isFunction(replacer)) {
        rt.raise(QStringLiteral("TypeError"), 1131);
    }
    Value space = a[2];
    if (space.isObject() && space.obj()->type == ScriptObject::Type::Boxed) space = space.obj()->primitive;
    QString gap;
    if (space.isNumeric()) gap = QString(int(std::clamp(space.numberValue(), 0.0, 10.0)), QLatin1Char(' '));
    else if (space.isString()) gap = space.s.left(10);
    Writer writer(rt, isFunction(replacer) ? replacer : Value(), allowed, hasAllowed, gap);
    ObjectPtr root = rt.newObject();
    root->setOwn(QString(), a[0]);
    QString out;
    if (!writer.write(Value::object(root), QString(), a[0], out)) return Value();
    return Value::string(out);
}

Value notConstructible(Runtime& rt, const Value&, Args) { rt.raise(QStringLiteral("ArgumentError"), 2012, {QStringLiteral("JSON")}); }
} // namespace

void JsonClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QString(), QStringLiteral("JSON"), rt.builtin(QStringLiteral("Object")), {},
                                    {{"parse", parse, 2}, {"stringify", stringify, 3}});
    cls->constructor = MethodRef{nullptr, 0, notConstructible, cls.get(), 0};
    cls->isFinal = true;
}

} // namespace nimbrel::movie::avm2
