#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Interpreter.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

// Arrays grow on demand, but a stray huge index must not exhaust memory.
static constexpr long long kMaxDense = 1 << 24;

long long ArrayObject::indexOf(const QString& name)
{
    const int n = name.size();
    if (n == 0 || n > 10)
        return -1;
    if (n > 1 && name[0] == QLatin1Char('0'))
        return -1;
    long long v = 0;
    for (QChar c : name) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        v = v * 10 + (c.unicode() - '0');
    }
    return v < 4294967295LL ? v : -1;
}

bool ArrayObject::getSpecial(const QString& name, Value& out)
{
    if (name == QLatin1String("length")) {
        out = Value(double(elements.size()));
        return true;
    }
    long long i = indexOf(name);
    if (i >= 0 && i < (long long)elements.size()) {
        out = elements[size_t(i)];
        return true;
    }
    return false;
}

bool ArrayObject::setSpecial(const QString& name, const Value& v)
{
    if (name == QLatin1String("length")) {
        setLength(vm().toNumber(v));
        return true;
    }
    long long i = indexOf(name);
    if (i < 0 || i >= kMaxDense)
        return false;
    if (i >= (long long)elements.size())
        elements.resize(size_t(i) + 1);
    elements[size_t(i)] = v;
    return true;
}

void ArrayObject::markChildren(std::vector<Object*>& out) const
{
    Object::markChildren(out);
    for (const Value& v : elements)
        if (v.isObject())
            out.push_back(v.o);
}

void ArrayObject::setLength(double len)
{
    if (std::isnan(len) || len < 0)
        return;
    long long n = (long long)len;
    if (n > kMaxDense)
        n = kMaxDense;
    elements.resize(size_t(n));
}

bool ArrayObject::remove(const QString& name)
{
    long long i = indexOf(name);
    if (i >= 0 && i < (long long)elements.size()) {
        elements[size_t(i)] = Value();
        return true;
    }
    return Object::remove(name);
}

bool ArrayObject::hasOwn(const QString& name)
{
    long long i = indexOf(name);
    if (i >= 0 && i < (long long)elements.size())
        return true;
    return Object::hasOwn(name);
}

QStringList ArrayObject::ownKeys(bool includeHidden)
{
    QStringList out = Object::ownKeys(includeHidden);
    for (long long i = (long long)elements.size() - 1; i >= 0; --i)
        if (!elements[size_t(i)].isUndefined())
            out.append(QString::number(i));
    return out;
}

} // namespace nimbrel::movie::avm1
