#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/NumberFormat.h"
#include <QSet>
#include <algorithm>
#include <climits>

namespace nimbrel::movie::avm1 {

std::optional<int32_t> ArrayObject::indexOf(const QString& name)
{
    const int n = name.size();
    int i = 0;
    const bool negative = n > 0 && name[0] == QLatin1Char('-');
    if (negative)
        ++i;
    if (i >= n)
        return std::nullopt;
    uint32_t v = 0;
    for (; i < n; ++i) {
        const char16_t c = name[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10u + uint32_t(c - u'0'); // wraps like the player's 32-bit arithmetic
    }
    return int32_t(negative ? 0u - v : v);
}

bool ArrayObject::isLength(const QString& name) const
{
    return name.compare(QLatin1String("length"), vm().caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

bool ArrayObject::getSpecial(const QString& name, Value& out)
{
    if (!isLength(name))
        return false;
    out = Value(double(length_));
    return true;
}

bool ArrayObject::setSpecial(const QString& name, const Value& v)
{
    if (!isLength(name))
        return false;
    setLength(vm().toNumber(v));
    return true;
}

void ArrayObject::grow(const QString& name)
{
    // One past the index may wrap below the old length: that cuts like a shorter length.
    if (std::optional<int32_t> i = indexOf(name); i && *i >= length_)
        setLength(double(int32_t(uint32_t(*i) + 1u)));
}

void ArrayObject::set(const QString& name, const Value& v)
{
    Object::set(name, v);
    if (!isLength(name) && findOwn(name))
        grow(name);
}

bool ArrayObject::hasOwn(const QString& name)
{
    return isLength(name) || Object::hasOwn(name);
}

bool ArrayObject::remove(const QString& name)
{
    if (isLength(name))
        return false;
    return Object::remove(name);
}

void ArrayObject::setLength(double len)
{
    const int32_t n = toInt32(len);
    const int32_t old = length_;
    length_ = n;
    if (n >= old)
        return;
    const int32_t from = std::max(n, 0);
    eraseOwnIf([&](const Property& p) {
        std::optional<int32_t> i = indexOf(p.name);
        return i && *i >= from && *i < old;
    });
}

Value ArrayObject::at(long long i)
{
    return get(QString::number(i));
}

void ArrayObject::put(long long i, const Value& v)
{
    set(QString::number(i), v);
}

void ArrayObject::replaceAll(const std::vector<Value>& values)
{
    const int32_t old = length_;
    eraseOwnIf([&](const Property& p) {
        std::optional<int32_t> i = indexOf(p.name);
        return i && *i >= 0 && *i < std::max<int32_t>(old, int32_t(std::min<size_t>(values.size(), INT32_MAX)));
    });
    length_ = 0;
    for (size_t i = 0; i < values.size(); ++i)
        define(QString::number(i), values[i]);
    length_ = int32_t(std::min<size_t>(values.size(), INT32_MAX));
}

void ArrayObject::rewrite(const std::vector<std::pair<long long, Value>>& pairs)
{
    QSet<QString> names;
    for (const auto& pr : pairs)
        names.insert(QString::number(pr.first));
    eraseOwnIf([&](const Property& p) { return names.contains(p.name); });
    for (const auto& [i, v] : pairs) {
        define(QString::number(i), v);
        grow(QString::number(i));
    }
}

// ---- positional view --------------------------------------------------------

size_t ArrayObject::Elements::size() const
{
    return a_->length_ > 0 ? size_t(a_->length_) : 0;
}

Value ArrayObject::Elements::operator[](size_t i) const
{
    return a_->at((long long)i);
}

void ArrayObject::Elements::push_back(const Value& v)
{
    a_->put((long long)size(), v);
}

void ArrayObject::Elements::clear()
{
    a_->setLength(0);
}

ArrayObject::Elements& ArrayObject::Elements::operator=(const std::vector<Value>& values)
{
    a_->replaceAll(values);
    return *this;
}

ArrayObject::Elements::operator std::vector<Value>() const
{
    std::vector<Value> out;
    const size_t n = std::min<size_t>(size(), size_t(kMaxScan));
    out.reserve(n);
    for (size_t i = 0; i < n; ++i)
        out.push_back((*this)[i]);
    return out;
}

} // namespace nimbrel::movie::avm1
