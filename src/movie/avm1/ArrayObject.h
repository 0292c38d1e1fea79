#pragma once
// Array: dense element storage behind the ordinary property interface.
#include "movie/avm1/Object.h"
#include <vector>

namespace nimbrel::movie::avm1 {

class ArrayObject : public Object {
public:
    using Object::Object;
    QString className() const override { return QStringLiteral("Array"); }

    std::vector<Value> elements;

    bool remove(const QString& name) override;
    bool hasOwn(const QString& name) override;
    QStringList ownKeys(bool includeHidden = false) override;
    void setLength(double len);
    void markChildren(std::vector<Object*>& out) const override;

    // A canonical array index ("0", "17"), or -1.
    static long long indexOf(const QString& name);

protected:
    bool getSpecial(const QString& name, Value& out) override;
    bool setSpecial(const QString& name, const Value& v) override;
};

} // namespace nimbrel::movie::avm1
