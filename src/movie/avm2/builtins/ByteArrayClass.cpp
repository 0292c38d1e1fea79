#include "movie/avm2/builtins/ByteArrayClass.h"
#include "movie/avm2/ByteArrayObject.h"
#include "movie/avm2/builtins/ByteCompression.h"
#include "movie/avm2/builtins/NativeSupport.h"
#include "movie/avm2/StageBridge.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/swf/Movie.h"
#include <QStringDecoder>
#include <QStringEncoder>
#include <bit>
#include <type_traits>
#include <cmath>
#include <cstring>

namespace nimbrel::movie::avm2 {

namespace {

ByteArrayObject& self(Runtime& rt, const Value& v) {
    if (!v.isObject() || v.obj()->type != ScriptObject::Type::ByteArray)
        rt.raise(QStringLiteral("TypeError"), 1034, {rt.describe(v), QStringLiteral("flash.utils.ByteArray")});
    return *static_cast<ByteArrayObject*>(v.obj());
}

// The next `n` bytes at the position, in memory order; EOFError when fewer remain.
const char* take(Runtime& rt, ByteArrayObject& b, uint32_t n) {
    if (b.position > uint32_t(b.bytes.size()) || uint32_t(b.bytes.size()) - b.position < n) rt.raise(QStringLiteral("flash.errors.EOFError"), 2030);
    const char* at = b.bytes.constData() + b.position;
    b.position += n;
    return at;
}

// Writes at the position, growing the array (zero-filled) as needed.
void put(ByteArrayObject& b, const char* data, uint32_t n) {
    const uint64_t end = uint64_t(b.position) + n;
    if (end > uint64_t(b.bytes.size())) b.bytes.resize(qsizetype(end), '\0');
    std::memcpy(b.bytes.data() + b.position, data, n);
    b.position = uint32_t(end);
}

// Reverses the bytes of an unsigned integer (C++20 has no std::byteswap).
template <typename T> T swapped(T v) {
    T out = 0;
    for (size_t i = 0; i < sizeof(T); ++i, v >>= 8) out = T((out << 8) | (v & 0xff));
    return out;
}

template <typename T> T readValue(Runtime& rt, ByteArrayObject& b) {
    T v;
    std::memcpy(&v, take(rt, b, sizeof(T)), sizeof(T));
    if (b.littleEndian != (std::endian::native == std::endian::little)) v = T(swapped(std::make_unsigned_t<T>(v)));
    return v;
}
template <typename T> void writeValue(ByteArrayObject& b, T v) {
    if (b.littleEndian != (std::endian::native == std::endian::little)) v = T(swapped(std::make_unsigned_t<T>(v)));
    put(b, reinterpret_cast<const char*>(&v), sizeof(T));
}

Value getLength(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(uint32_t(self(rt, s).bytes.size())); }
Value setLength(Runtime& rt, const Value& s, Args a) {
    ByteArrayObject& b = self(rt, s);
    const uint32_t n = rt.toUint32(a[0]);
    // Growing past what memory allows is refused rather than attempted.
    if (n > 0x40000000u) rt.raise(QStringLiteral("flash.errors.MemoryError"), 1000);
    b.bytes.resize(qsizetype(n), '\0');
    if (b.position > n) b.position = n;
    return Value();
}
Value getPosition(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(self(rt, s).position); }
Value setPosition(Runtime& rt, const Value& s, Args a) {
    self(rt, s).position = rt.toUint32(a[0]);
    return Value();
}
Value bytesAvailable(Runtime& rt, const Value& s, Args) {
    ByteArrayObject& b = self(rt, s);
    return Value::unsignedInt(b.position < uint32_t(b.bytes.size()) ? uint32_t(b.bytes.size()) - b.position : 0);
}
Value getEndian(Runtime& rt, const Value& s, Args) {
    return Value::string(self(rt, s).littleEndian ? QStringLiteral("littleEndian") : QStringLiteral("bigEndian"));
}
Value setEndian(Runtime& rt, const Value& s, Args a) {
    const QString e = rt.toString(a[0]);
    if (e != QLatin1String("littleEndian") && e != QLatin1String("bigEndian"))
        rt.raise(QStringLiteral("ArgumentError"), 2008, {QStringLiteral("type")});
    self(rt, s).littleEndian = e == QLatin1String("littleEndian");
    return Value();
}
Value getObjectEncoding(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(self(rt, s).objectEncoding); }
Value setObjectEncoding(Runtime& rt, const Value& s, Args a) {
    const uint32_t e = rt.toUint32(a[0]);
    if (e != 0 && e != 3) rt.raise(QStringLiteral("ArgumentError"), 2008, {QStringLiteral("version")});
    self(rt, s).objectEncoding = e;
    return Value();
}

Value readBoolean(Runtime& rt, const Value& s, Args) { return Value::boolean(*take(rt, self(rt, s), 1) != 0); }
Value readByte(Runtime& rt, const Value& s, Args) { return Value::integer(int8_t(*take(rt, self(rt, s), 1))); }
Value readUnsignedByte(Runtime& rt, const Value& s, Args) { return Value::integer(uint8_t(*take(rt, self(rt, s), 1))); }
Value readShort(Runtime& rt, const Value& s, Args) { return Value::integer(readValue<int16_t>(rt, self(rt, s))); }
Value readUnsignedShort(Runtime& rt, const Value& s, Args) { return Value::integer(readValue<uint16_t>(rt, self(rt, s))); }
Value readInt(Runtime& rt, const Value& s, Args) { return Value::integer(readValue<int32_t>(rt, self(rt, s))); }
Value readUnsignedInt(Runtime& rt, const Value& s, Args) { return Value::unsignedInt(readValue<uint32_t>(rt, self(rt, s))); }
Value readFloat(Runtime& rt, const Value& s, Args) {
    return Value::number(double(std::bit_cast<float>(readValue<uint32_t>(rt, self(rt, s)))));
}
Value readDouble(Runtime& rt, const Value& s, Args) { return Value::number(std::bit_cast<double>(readValue<uint64_t>(rt, self(rt, s)))); }

Value writeBoolean(Runtime& rt, const Value& s, Args a) {
    const char c = a[0].toBoolean() ? 1 : 0;
    put(self(rt, s), &c, 1);
    return Value();
}
Value writeByte(Runtime& rt, const Value& s, Args a) {
    const char c = char(rt.toInt32(a[0]));
    put(self(rt, s), &c, 1);
    return Value();
}
Value writeShort(Runtime& rt, const Value& s, Args a) {
    writeValue<uint16_t>(self(rt, s), uint16_t(rt.toInt32(a[0])));
    return Value();
}
Value writeInt(Runtime& rt, const Value& s, Args a) {
    writeValue<uint32_t>(self(rt, s), uint32_t(rt.toInt32(a[0])));
    return Value();
}
Value writeFloat(Runtime& rt, const Value& s, Args a) {
    writeValue<uint32_t>(self(rt, s), std::bit_cast<uint32_t>(float(rt.toNumber(a[0]))));
    return Value();
}
Value writeDouble(Runtime& rt, const Value& s, Args a) {
    writeValue<uint64_t>(self(rt, s), std::bit_cast<uint64_t>(rt.toNumber(a[0])));
    return Value();
}

// UTF-8 text of `n` bytes: a leading byte-order mark is skipped, and the text
// ends at a NUL. A byte that does not start a whole, valid sequence stands for
// itself (as Latin-1), so no byte is lost to a replacement character.
QString utf8Text(const char* data, uint32_t n) {
    const auto* p = reinterpret_cast<const uint8_t*>(data);
    uint32_t i = n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF ? 3 : 0;
    QString out;
    while (i < n && p[i] != 0) {
        const uint8_t b = p[i];
        // Any byte from 0xF0 up leads four bytes, its low three bits the top of the value.
        const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 ? 1 : 0;
        char32_t code = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : b & 0x1F;
        bool whole = extra > 0;
        for (int k = 1; whole && k <= extra; ++k) {
            if (i + uint32_t(k) >= n || (p[i + uint32_t(k)] & 0xC0) != 0x80) whole = false;
            else code = (code << 6) | (p[i + uint32_t(k)] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not valid either.
        const char32_t least = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : 0x80;
        if (whole && (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))) whole = false;
        if (b < 0x80 || !whole) {
            out += QChar(char16_t(b));
            ++i;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i += uint32_t(extra) + 1;
    }
    return out;
}
Value readUTF(Runtime& rt, const Value& s, Args) {
    ByteArrayObject& b = self(rt, s);
    const uint16_t n = readValue<uint16_t>(rt, b);
    return Value::string(utf8Text(take(rt, b, n), n));
}
Value readUTFBytes(Runtime& rt, const Value& s, Args a) {
    const uint32_t n = rt.toUint32(a[0]);
    return Value::string(utf8Text(take(rt, self(rt, s), n), n));
}
Value writeUTF(Runtime& rt, const Value& s, Args a) {
    const QByteArray text = rt.toString(a[0]).toUtf8();
    if (text.size() > 0xffff) rt.raise(QStringLiteral("RangeError"), 2006);
    ByteArrayObject& b = self(rt, s);
    writeValue<uint16_t>(b, uint16_t(text.size()));
    put(b, text.constData(), uint32_t(text.size()));
    return Value();
}
Value writeUTFBytes(Runtime& rt, const Value& s, Args a) {
    const QByteArray text = rt.toString(a[0]).toUtf8();
    put(self(rt, s), text.constData(), uint32_t(text.size()));
    return Value();
}

// Charsets by their documented labels; an unknown one reads and writes as UTF-8.
QStringConverter::Encoding encodingFor(const QString& charset) {
    const QString c = charset.toLower();
    if (c == QLatin1String("iso-8859-1") || c == QLatin1String("latin1")) return QStringConverter::Latin1;
    if (c == QLatin1String("utf-16") || c == QLatin1String("unicode") || c == QLatin1String("utf-16le")) return QStringConverter::Utf16LE;
    if (c == QLatin1String("utf-16be") || c == QLatin1String("unicodefffe")) return QStringConverter::Utf16BE;
    return QStringConverter::Utf8;
}
Value readMultiByte(Runtime& rt, const Value& s, Args a) {
    const uint32_t n = rt.toUint32(a[0]);
    const QString charset = rt.toString(a[1]);
    const char* data = take(rt, self(rt, s), n);
    if (encodingFor(charset) == QStringConverter::Utf8) return Value::string(utf8Text(data, n));
    QStringDecoder decode(encodingFor(charset));
    return Value::string(decode(QByteArrayView(data, qsizetype(n))));
}
Value writeMultiByte(Runtime& rt, const Value& s, Args a) {
    QStringEncoder encode(encodingFor(rt.toString(a[1])));
    const QByteArray bytes = encode(rt.toString(a[0]));
    put(self(rt, s), bytes.constData(), uint32_t(bytes.size()));
    return Value();
}

// readBytes(into, offset, length): length 0 means everything left.
Value readBytes(Runtime& rt, const Value& s, Args a) {
    ByteArrayObject& b = self(rt, s);
    ByteArrayObject& into = self(rt, a[0]);
    const uint32_t offset = rt.toUint32(a[1]);
    uint32_t n = rt.toUint32(a[2]);
    const uint32_t left = b.position < uint32_t(b.bytes.size()) ? uint32_t(b.bytes.size()) - b.position : 0;
    if (n == 0) n = left;
    if (uint64_t(offset) + n > 0xffffffffu) rt.raise(QStringLiteral("RangeError"), 2006);
    const char* data = take(rt, b, n);
    const QByteArray copy(data, qsizetype(n)); // `into` may be this same array
    const uint32_t keep = into.position;
    into.position = offset;
    put(into, copy.constData(), n);
    into.position = keep;
    return Value();
}
// writeBytes(from, offset, length): length 0 means from offset to the end.
Value writeBytes(Runtime& rt, const Value& s, Args a) {
    ByteArrayObject& b = self(rt, s);
    ByteArrayObject& from = self(rt, a[0]);
    const uint32_t size = uint32_t(from.bytes.size());
    const uint32_t offset = std::min(rt.toUint32(a[1]), size);
    uint32_t n = rt.toUint32(a[2]);
    if (n == 0) n = size - offset;
    if (uint64_t(offset) + n > size) rt.raise(QStringLiteral("RangeError"), 2006);
    const QByteArray copy = from.bytes.mid(qsizetype(offset), qsizetype(n));
    put(b, copy.constData(), n);
    return Value();
}

Value clear(Runtime& rt, const Value& s, Args) {
    ByteArrayObject& b = self(rt, s);
    b.bytes.clear();
    b.position = 0;
    return Value();
}

// toString: the bytes as text, by their byte-order mark (UTF-16 either way), else UTF-8.
Value toString(Runtime& rt, const Value& s, Args) {
    const QByteArray& raw = self(rt, s).bytes;
    if (raw.startsWith("\xFE\xFF")) return Value::string(QStringDecoder(QStringConverter::Utf16BE)(raw.mid(2)));
    if (raw.startsWith("\xFF\xFE")) return Value::string(QStringDecoder(QStringConverter::Utf16LE)(raw.mid(2)));
    return Value::string(utf8Text(raw.constData(), uint32_t(raw.size())));
}

ByteCompression::Format formatArg(Runtime& rt, Args a, int i) {
    const QString name = native::stringArg(rt, a, i, QStringLiteral("zlib"));
    if (name == QLatin1String("deflate")) return ByteCompression::Format::Deflate;
    if (name == QLatin1String("lzma")) return ByteCompression::Format::Lzma;
    if (name != QLatin1String("zlib")) rt.raise(QStringLiteral("ArgumentError"), 2008, {QStringLiteral("algorithm")});
    return ByteCompression::Format::Zlib;
}
Value compressWith(Runtime& rt, const Value& s, ByteCompression::Format f) {
    ByteArrayObject& b = self(rt, s);
    if (b.bytes.isEmpty()) return Value(); // nothing to pack stays nothing
    b.bytes = ByteCompression::compress(b.bytes, f);
    b.position = uint32_t(b.bytes.size());
    return Value();
}
Value uncompressWith(Runtime& rt, const Value& s, ByteCompression::Format f) {
    ByteArrayObject& b = self(rt, s);
    if (b.bytes.isEmpty()) return Value();
    auto out = ByteCompression::uncompress(b.bytes, f);
    if (!out) rt.raise(QStringLiteral("flash.errors.IOError"), 2058);
    b.bytes = std::move(*out);
    b.position = 0;
    return Value();
}
Value compress(Runtime& rt, const Value& s, Args a) { return compressWith(rt, s, formatArg(rt, a, 0)); }
Value uncompress(Runtime& rt, const Value& s, Args a) { return uncompressWith(rt, s, formatArg(rt, a, 0)); }
Value deflate(Runtime& rt, const Value& s, Args) { return compressWith(rt, s, ByteCompression::Format::Deflate); }
Value inflate(Runtime& rt, const Value& s, Args) { return uncompressWith(rt, s, ByteCompression::Format::Deflate); }

ObjectPtr allocate(const ClassObject&) { return std::make_shared<ByteArrayObject>(); }
// A class the movie links to embedded data (DefineBinaryData) starts with a copy of it.
Value construct(Runtime& rt, const Value& made, Args) {
    if (!rt.stage || !made.isObject()) return Value();
    const swf::Movie& movie = *rt.stage->root()->context()->movie();
    for (const ClassObject* c = made.obj()->cls; c; c = c->base.get()) {
        const QString name = c->package.isEmpty() ? c->name : c->package + QLatin1Char('.') + c->name;
        for (uint16_t id : rt.stage->symbolsOf(name)) {
            const auto data = movie.binaryData.find(id);
            if (data != movie.binaryData.end()) {
                self(rt, made).bytes = data->second;
                return Value();
            }
        }
    }
    return Value();
}

// Methods and accessors are traits of the instances, so `ba.readByte` taken
// alone is a method closure bound to its array.
const NativeMethod members[] = {{"get length", getLength}, {"set length", setLength}, {"get position", getPosition},
         {"set position", setPosition}, {"get bytesAvailable", bytesAvailable}, {"get endian", getEndian},
         {"set endian", setEndian}, {"get objectEncoding", getObjectEncoding}, {"set objectEncoding", setObjectEncoding},
         {"readBoolean", readBoolean}, {"readByte", readByte}, {"readUnsignedByte", readUnsignedByte},
         {"readShort", readShort}, {"readUnsignedShort", readUnsignedShort}, {"readInt", readInt},
         {"readUnsignedInt", readUnsignedInt}, {"readFloat", readFloat}, {"readDouble", readDouble},
         {"writeBoolean", writeBoolean, 1}, {"writeByte", writeByte, 1}, {"writeShort", writeShort, 1},
         {"writeInt", writeInt, 1}, {"writeUnsignedInt", writeInt, 1}, {"writeFloat", writeFloat, 1},
         {"writeDouble", writeDouble, 1}, {"readUTF", readUTF}, {"readUTFBytes", readUTFBytes, 1},
         {"writeUTF", writeUTF, 1}, {"writeUTFBytes", writeUTFBytes, 1}, {"readMultiByte", readMultiByte, 2},
         {"writeMultiByte", writeMultiByte, 2}, {"readBytes", readBytes, 1}, {"writeBytes", writeBytes, 1},
         {"clear", clear}, {"toString", toString}, {"compress", compress}, {"uncompress", uncompress},
         {"deflate", deflate}, {"inflate", inflate}};

} // namespace

void ByteArrayClass::install(Runtime& rt) {
    auto cls = rt.defineNativeClass(QStringLiteral("flash.utils"), QStringLiteral("ByteArray"), rt.builtin(QStringLiteral("Object")), {});
    native::addInstanceMembers(*cls, members);
    cls->nativeAllocate = allocate;
    cls->constructor = MethodRef{nullptr, 0, construct, cls.get(), 0};
    cls->dynamicInstances = false;
    // The names the endian and compress arguments take.
    struct Constant {
        const char* holder;
        const char* key;
        const char* text;
    };
    const Constant constants[] = {{"Endian", "BIG_ENDIAN", "bigEndian"}, {"Endian", "LITTLE_ENDIAN", "littleEndian"},
                                  {"CompressionAlgorithm", "DEFLATE", "deflate"}, {"CompressionAlgorithm", "LZMA", "lzma"},
                                  {"CompressionAlgorithm", "ZLIB", "zlib"}};
    for (const Constant& c : constants) {
        const QString holderName = QString::fromLatin1(c.holder);
        ClassObject* holder = rt.builtin(QStringLiteral("flash.utils.") + holderName);
        if (!holder) {
            holder = rt.defineNativeClass(QStringLiteral("flash.utils"), holderName, rt.builtin(QStringLiteral("Object")), {}).get();
            holder->isFinal = true;
        }
        rt.defineStaticConstant(*holder, QString::fromLatin1(c.key), Value::string(QString::fromLatin1(c.text)));
    }
}

} // namespace nimbrel::movie::avm2
