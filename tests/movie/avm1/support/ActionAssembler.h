#pragma once
// Builds action bytes by hand for interpreter tests.
#include "movie/avm1/ActionCode.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstring>
#include <vector>

namespace nimbrel::movie::avm1::test {

class ActionAssembler {
public:
    ActionAssembler& op(uint8_t code)
    {
        bytes_.push_back(code);
        return *this;
    }
    ActionAssembler& record(uint8_t code, const std::vector<uint8_t>& payload)
    {
        bytes_.push_back(code);
        bytes_.push_back(uint8_t(payload.size() & 0xFF));
        bytes_.push_back(uint8_t(payload.size() >> 8));
        bytes_.insert(bytes_.end(), payload.begin(), payload.end());
        return *this;
    }
    ActionAssembler& raw(const std::vector<uint8_t>& b)
    {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    ActionAssembler& pushString(const QString& s)
    {
        std::vector<uint8_t> p{0};
        appendString(p, s);
        return record(0x96, p);
    }
    ActionAssembler& pushNumber(double v)
    {
        std::vector<uint8_t> p{6};
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        // High word first, each word little-endian.
        uint32_t hi = uint32_t(bits >> 32), lo = uint32_t(bits);
        for (uint32_t w : {hi, lo})
            for (int i = 0; i < 4; ++i)
                p.push_back(uint8_t(w >> (8 * i)));
        return record(0x96, p);
    }
    ActionAssembler& pushInt(int32_t v)
    {
        std::vector<uint8_t> p{7};
        for (int i = 0; i < 4; ++i)
            p.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return record(0x96, p);
    }
    ActionAssembler& pushBool(bool v) { return record(0x96, {5, uint8_t(v)}); }
    ActionAssembler& pushNull() { return record(0x96, {2}); }
    ActionAssembler& pushUndefined() { return record(0x96, {3}); }
    ActionAssembler& pushRegister(uint8_t r) { return record(0x96, {4, r}); }
    ActionAssembler& pushConstant(uint8_t i) { return record(0x96, {8, i}); }
    ActionAssembler& constantPool(const QStringList& pool)
    {
        std::vector<uint8_t> p{uint8_t(pool.size() & 0xFF), uint8_t(pool.size() >> 8)};
        for (const QString& s : pool)
            appendString(p, s);
        return record(0x88, p);
    }
    ActionAssembler& jump(int16_t offset) { return record(0x99, le16(uint16_t(offset))); }
    ActionAssembler& ifTrue(int16_t offset) { return record(0x9D, le16(uint16_t(offset))); }
    ActionAssembler& storeRegister(uint8_t r) { return record(0x87, {r}); }

    // Common sequences.
    ActionAssembler& trace() { return op(0x26); }
    ActionAssembler& traceString(const QString& s) { return pushString(s).trace(); }
    ActionAssembler& getVariable(const QString& name) { return pushString(name).op(0x1C); }
    ActionAssembler& setVariable() { return op(0x1D); }
    ActionAssembler& callFunction(const QString& name, int argCount)
    {
        return pushInt(argCount).pushString(name).op(0x3D);
    }

    ActionAssembler& defineFunction(const QString& name, const QStringList& params, const ActionAssembler& body)
    {
        std::vector<uint8_t> p;
        appendString(p, name);
        auto n = le16(uint16_t(params.size()));
        p.insert(p.end(), n.begin(), n.end());
        for (const QString& s : params)
            appendString(p, s);
        auto size = le16(uint16_t(body.size()));
        p.insert(p.end(), size.begin(), size.end());
        record(0x9B, p);
        return raw(body.bytes());
    }
    struct Param {
        uint8_t reg;
        QString name;
    };
    ActionAssembler& defineFunction2(const QString& name, uint8_t registers, uint16_t flags,
                                     const std::vector<Param>& params, const ActionAssembler& body)
    {
        std::vector<uint8_t> p;
        appendString(p, name);
        auto n = le16(uint16_t(params.size()));
        p.insert(p.end(), n.begin(), n.end());
        p.push_back(registers);
        auto f = le16(flags);
        p.insert(p.end(), f.begin(), f.end());
        for (const Param& prm : params) {
            p.push_back(prm.reg);
            appendString(p, prm.name);
        }
        auto size = le16(uint16_t(body.size()));
        p.insert(p.end(), size.begin(), size.end());
        record(0x8E, p);
        return raw(body.bytes());
    }
    // Try with an optional catch (into a named variable) and an optional finally.
    ActionAssembler& tryBlock(const ActionAssembler& body, const QString& catchName, const ActionAssembler* catchBody,
                              const ActionAssembler* finallyBody)
    {
        std::vector<uint8_t> p;
        p.push_back(uint8_t((catchBody ? 1 : 0) | (finallyBody ? 2 : 0)));
        for (size_t s : {body.size(), catchBody ? catchBody->size() : 0, finallyBody ? finallyBody->size() : 0}) {
            auto b = le16(uint16_t(s));
            p.insert(p.end(), b.begin(), b.end());
        }
        appendString(p, catchName);
        record(0x8F, p);
        raw(body.bytes());
        if (catchBody)
            raw(catchBody->bytes());
        if (finallyBody)
            raw(finallyBody->bytes());
        return *this;
    }

    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    // The bytes as a DoAction tag body.
    QByteArray tagBody() const { return QByteArray(reinterpret_cast<const char*>(bytes_.data()), qsizetype(bytes_.size())); }
    ActionCode code(int version) const { return ActionCode::fromBytes(bytes_, version); }

private:
    static std::vector<uint8_t> le16(uint16_t v) { return {uint8_t(v & 0xFF), uint8_t(v >> 8)}; }
    static void appendString(std::vector<uint8_t>& p, const QString& s)
    {
        QByteArray u = s.toUtf8();
        p.insert(p.end(), u.begin(), u.end());
        p.push_back(0);
    }
    std::vector<uint8_t> bytes_;
};

} // namespace nimbrel::movie::avm1::test
