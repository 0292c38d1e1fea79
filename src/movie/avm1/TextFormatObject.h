#pragma once
// A TextFormat as scripts see it: each setting reads null until set, and
// assignments convert the way the player does (sizes round to whole pixels,
// colours wrap to 32 bits, margins never go below zero).
#include "movie/avm1/Object.h"
#include "movie/display/TextFormat.h"

namespace nimbrel::movie::avm1 {

class TextFormatObject : public Object {
public:
    using Object::Object;
    QString className() const override { return QStringLiteral("TextFormat"); }

    display::TextFormat format;

    // The setting names scripts use, in the order the player lists them.
    static const QStringList& names();
    // Fills a TextFormat's settings from the constructor's arguments.
    void construct(const std::vector<Value>& args);

protected:
    bool getSpecial(const QString& name, Value& out) override;
    bool setSpecial(const QString& name, const Value& v) override;
};

} // namespace nimbrel::movie::avm1
