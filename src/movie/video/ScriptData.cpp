#include "movie/video/ScriptData.h"
#include <cstring>

namespace nimbrel::movie::video {

const ScriptValue* ScriptValue::member(const QString& name) const {
    for (const auto& [key, value] : members)
        if (key == name) return &value;
    return nullptr;
}

namespace {

class Amf0 {
public:
    explicit Amf0(const QByteArray& d) : d_(d) {}
    QString error;

    bool value(ScriptValue& out, int depth) {
        if (depth > ScriptData::maxDepth) return fail("nested too deeply");
        uint8_t marker = 0;
        if (!u8(marker)) return false;
        switch (marker) {
        case 0: out.kind = ScriptValue::Number; return number(out.number);
        case 1: out.kind = ScriptValue::Boolean; { uint8_t b = 0; if (!u8(b)) return false; out.boolean = b != 0; } return true;
        case 2: out.kind = ScriptValue::String; return string(out.string, 2);
        case 12: out.kind = ScriptValue::String; return string(out.string, 4);
        case 3: out.kind = ScriptValue::Object; return members(out, depth);
        case 8: {
            out.kind = ScriptValue::Array;
            uint32_t count = 0; // a hint only: the entries end with the end marker
            return u32(count) && members(out, depth);
        }
        case 10: {
            out.kind = ScriptValue::Array;
            uint32_t count = 0;
            if (!u32(count)) return false;
            if (count > uint32_t(d_.size() - at_)) return fail("array longer than its data");
            for (uint32_t i = 0; i < count; ++i) {
                out.items.emplace_back();
                if (!value(out.items.back(), depth + 1)) return false;
            }
            return true;
        }
        case 11: {
            out.kind = ScriptValue::Date;
            uint16_t zone = 0;
            return number(out.number) && u16(zone);
        }
        case 5: out.kind = ScriptValue::Null; return true;
        case 6: out.kind = ScriptValue::Undefined; return true;
        default: return fail(QStringLiteral("unknown value type %1").arg(marker));
        }
    }
    bool string(QString& out, int lengthBytes) {
        uint32_t n = 0;
        if (lengthBytes == 2) { uint16_t s = 0; if (!u16(s)) return false; n = s; }
        else if (!u32(n)) return false;
        if (n > uint32_t(d_.size() - at_)) return fail("string longer than its data");
        out = QString::fromUtf8(d_.constData() + at_, qsizetype(n));
        at_ += n;
        return true;
    }
    bool atEnd() const { return at_ >= d_.size(); }

private:
    bool members(ScriptValue& out, int depth) {
        for (;;) {
            QString key;
            if (!string(key, 2)) return false;
            if (key.isEmpty() && at_ < d_.size() && uint8_t(d_[at_]) == 9) {
                ++at_;
                return true;
            }
            ScriptValue v;
            if (!value(v, depth + 1)) return false;
            out.members.push_back({std::move(key), std::move(v)});
        }
    }
    bool fail(const QString& why) { if (error.isEmpty()) error = why; return false; }
    bool need(qsizetype n) { return at_ + n <= d_.size() || fail("data ends early"); }
    bool u8(uint8_t& v) { if (!need(1)) return false; v = uint8_t(d_[at_++]); return true; }
    bool u16(uint16_t& v) { if (!need(2)) return false; v = uint16_t(uint8_t(d_[at_]) << 8 | uint8_t(d_[at_ + 1])); at_ += 2; return true; }
    bool u32(uint32_t& v) {
        if (!need(4)) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | uint8_t(d_[at_++]);
        return true;
    }
    bool number(double& v) {
        if (!need(8)) return false;
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = bits << 8 | uint8_t(d_[at_++]);
        std::memcpy(&v, &bits, 8);
        return true;
    }
    const QByteArray& d_;
    qsizetype at_ = 0;
};

} // namespace

std::optional<ScriptMessage> ScriptData::parse(const QByteArray& data, QString* error) {
    Amf0 in(data);
    ScriptValue name;
    ScriptMessage message;
    if (!in.value(name, 0) || name.kind != ScriptValue::String) {
        if (error) *error = in.error.isEmpty() ? QStringLiteral("no message name") : in.error;
        return std::nullopt;
    }
    message.name = name.string;
    // A message without a value is still a message.
    if (!in.atEnd() && !in.value(message.value, 0)) {
        if (error) *error = in.error;
        return std::nullopt;
    }
    return message;
}

} // namespace nimbrel::movie::video
