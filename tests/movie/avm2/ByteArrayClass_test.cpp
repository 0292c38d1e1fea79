// ByteArray: values round-trip in both byte orders, reads past the end
// raise EOFError, text decoding keeps undecodable bytes, and each
// compression format gets back what it packed.
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/DomainMemory.h"
#include "movie/avm2/PropertyAccess.h"
#include "movie/avm2/Runtime.h"
#include "movie/support/Avm2RuntimeTest.h"
#include <functional>
#include <gtest/gtest.h>

using namespace nimbrel::movie::avm2;

namespace {
struct Avm2ByteArray : nimbrel::movie::test::Avm2RuntimeTest {
    Value ba = rt.constructClass(*rt.builtin(QStringLiteral("flash.utils.ByteArray")), {});
    ByteArrayObject& bytes() { return *static_cast<ByteArrayObject*>(ba.obj()); }

    Value call(const char* method, std::vector<Value> args = {}) {
        return PropertyAccess::call(rt, ba, Name::publicName(QString::fromLatin1(method)), Args{args.data(), int(args.size())});
    }
    void set(const char* property, const Value& v) { PropertyAccess::set(rt, ba, Name::publicName(QString::fromLatin1(property)), v); }
    QString errorClass(const std::function<void()>& run) {
        try {
            run();
        } catch (const ScriptThrow& t) {
            return rt.classOf(t.value)->qualifiedName();
        }
        return {};
    }
};
} // namespace

TEST_F(Avm2ByteArray, ValuesInBothByteOrders) {
    struct Case {
        const char* write;
        const char* read;
        Value value;
        QByteArray bigEndian;
    };
    const Case cases[] = {
        {"writeShort", "readShort", Value::integer(-2), QByteArray("\xFF\xFE", 2)},
        {"writeShort", "readUnsignedShort", Value::integer(0x1234), QByteArray("\x12\x34", 2)},
        {"writeInt", "readInt", Value::integer(-16909061), QByteArray("\xFE\xFD\xFC\xFB", 4)},
        {"writeUnsignedInt", "readUnsignedInt", Value::number(4294967295.0), QByteArray("\xFF\xFF\xFF\xFF", 4)},
        {"writeFloat", "readFloat", Value::number(1.5), QByteArray("\x3F\xC0\x00\x00", 4)},
        {"writeDouble", "readDouble", Value::number(-2.0), QByteArray("\xC0\x00\x00\x00\x00\x00\x00\x00", 8)},
    };
    for (const Case& c : cases) {
        for (bool little : {false, true}) {
            call("clear");
            set("endian", Value::string(little ? QStringLiteral("littleEndian") : QStringLiteral("bigEndian")));
            call(c.write, {c.value});
            QByteArray expected = c.bigEndian;
            if (little) std::reverse(expected.begin(), expected.end());
            EXPECT_EQ(bytes().bytes, expected) << c.write << little;
            set("position", Value::integer(0));
            EXPECT_TRUE(strictEquals(call(c.read), c.value)) << c.read << little;
        }
    }
    EXPECT_EQ(errorClass([&] { set("endian", Value::string(QStringLiteral("middle"))); }), QStringLiteral("ArgumentError"));
}

TEST_F(Avm2ByteArray, PositionLengthAndEndOfFile) {
    call("writeUTF", {Value::string(QStringLiteral("hé"))});
    EXPECT_EQ(bytes().bytes, QByteArray("\x00\x03h\xC3\xA9", 5));
    set("position", Value::integer(0));
    EXPECT_EQ(rt.toString(call("readUTF")), QStringLiteral("hé"));
    EXPECT_EQ(errorClass([&] { call("readByte"); }), QStringLiteral("flash.errors::EOFError"));
    // A position past the end reads nothing and writes zero-filled.
    set("position", Value::integer(8));
    EXPECT_EQ(rt.toInt32(PropertyAccess::get(rt, ba, Name::publicName(QStringLiteral("bytesAvailable")))), 0);
    call("writeByte", {Value::integer(0x141)});
    EXPECT_EQ(bytes().bytes, QByteArray("\x00\x03h\xC3\xA9\x00\x00\x00\x41", 9));
    // Shrinking pulls the position back.
    set("length", Value::integer(2));
    EXPECT_EQ(bytes().position, 2u);
}

TEST_F(Avm2ByteArray, TextKeepsUndecodableBytes) {
    const std::pair<QByteArray, QString> cases[] = {
        {QByteArray("\xEF\xBB\xBFok"), QStringLiteral("ok")},                          // BOM dropped
        {QByteArray("a\xE4z"), QStringLiteral("a\u00E4z")},                            // cut-short sequence
        {QByteArray("\xC0\xAF"), QStringLiteral("\u00C0\u00AF")},                      // overlong form
        {QByteArray("\xFE\xFF\x00h\x00i", 6), QStringLiteral("hi")},                      // UTF-16 by its mark
        {QByteArray("ab\0cd", 5), QStringLiteral("ab")},                               // ends at NUL
    };
    for (const auto& [raw, text] : cases) {
        bytes().bytes = raw;
        EXPECT_EQ(rt.toString(call("toString")), text) << raw.toHex().constData();
    }
}

TEST_F(Avm2ByteArray, CompressionRoundTrips) {
    const QByteArray original = QByteArray("compress me, compress me, compress me ").repeated(20);
    for (const char* format : {"zlib", "deflate", "lzma"}) {
        bytes().bytes = original;
        call("compress", {Value::string(QString::fromLatin1(format))});
        EXPECT_LT(bytes().bytes.size(), original.size()) << format;
        call("uncompress", {Value::string(QString::fromLatin1(format))});
        EXPECT_EQ(bytes().bytes, original) << format;
        EXPECT_EQ(bytes().position, 0u);
    }
    // Data that is not a stream of the format is an IOError and stays as it was.
    bytes().bytes = QByteArray("not packed");
    EXPECT_EQ(errorClass([&] { call("uncompress"); }), QStringLiteral("flash.errors::IOError"));
    EXPECT_EQ(bytes().bytes, QByteArray("not packed"));
}

TEST_F(Avm2ByteArray, MethodTakenAloneStaysBoundToItsArray) {
    Value writeByte = PropertyAccess::get(rt, ba, Name::publicName(QStringLiteral("writeByte")));
    Value arg = Value::integer(7);
    rt.call(writeByte, Value::null(), Args{&arg, 1});
    EXPECT_EQ(bytes().bytes, QByteArray("\x07", 1));
}

TEST_F(Avm2ByteArray, DomainMemoryInstructions) {
    Value domainClass = Value::object(rt.builtin(QStringLiteral("flash.system.ApplicationDomain"))->shared_from_this());
    Value domain = PropertyAccess::get(rt, domainClass, Name::publicName(QStringLiteral("currentDomain")));
    const Name memory = Name::publicName(QStringLiteral("domainMemory"));
    // Too small a memory is refused; so is anything not a ByteArray.
    bytes().bytes = QByteArray(1023, '\0');
    EXPECT_EQ(errorClass([&] { PropertyAccess::set(rt, domain, memory, ba); }), QStringLiteral("RangeError"));
    EXPECT_EQ(errorClass([&] { PropertyAccess::set(rt, domain, memory, Value::object(rt.newObject())); }), QStringLiteral("TypeError"));
    bytes().bytes = QByteArray(2048, '\0');
    PropertyAccess::set(rt, domain, memory, ba);

    // Stores and loads are little-endian whatever the array's own byte order.
    DomainMemory::store(rt, Op::Si32, 2044, Value::integer(int32_t(0x80DE32F1)));
    EXPECT_EQ(bytes().bytes.mid(2044), QByteArray("\xF1\x32\xDE\x80", 4));
    struct Case {
        Op op;
        int32_t address;
        const char* loaded;
    };
    const Case cases[] = {{Op::Li8, 2047, "128"}, {Op::Li16, 2046, "32990"}, {Op::Li32, 2044, "-2132921615"}};
    for (const Case& c : cases) EXPECT_EQ(rt.toString(DomainMemory::load(rt, c.op, c.address)), QString::fromLatin1(c.loaded));
    DomainMemory::store(rt, Op::Sf64, 0, Value::number(12.375));
    EXPECT_EQ(rt.toString(DomainMemory::load(rt, Op::Lf64, 0)), QStringLiteral("12.375"));
    // Any byte outside the memory is a RangeError.
    for (const auto& [op, address] : {std::pair{Op::Li32, 2045}, {Op::Li8, -1}, {Op::Lf64, 2041}})
        EXPECT_EQ(errorClass([&] { DomainMemory::load(rt, op, address); }), QStringLiteral("RangeError"));

    // With no memory set the instructions use a zeroed scratch of the minimum size.
    PropertyAccess::set(rt, domain, memory, Value::null());
    EXPECT_EQ(rt.toInt32(DomainMemory::load(rt, Op::Li32, 1020)), 0);
    EXPECT_EQ(errorClass([&] { DomainMemory::load(rt, Op::Li8, 1024); }), QStringLiteral("RangeError"));
}
