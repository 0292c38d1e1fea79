#include "movie/avm1/TextFormatObject.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Interpreter.h"
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {

// Whole pixels, halves to even; what does not fit 32 bits becomes the smallest integer.
double roundedPixels(double v) {
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0) return -2147483648.0;
    return r;
}

Value optionalString(const std::optional<QString>& v) { return v ? Value(*v) : Value::null(); }
Value optionalNumber(const std::optional<double>& v) { return v ? Value(*v) : Value::null(); }
Value optionalBool(const std::optional<bool>& v) { return v ? Value(*v) : Value::null(); }

} // namespace

const QStringList& TextFormatObject::names() {
    static const QStringList list = {
        QStringLiteral("font"),        QStringLiteral("size"),        QStringLiteral("color"),
        QStringLiteral("url"),         QStringLiteral("target"),      QStringLiteral("bold"),
        QStringLiteral("italic"),      QStringLiteral("underline"),   QStringLiteral("align"),
        QStringLiteral("leftMargin"),  QStringLiteral("rightMargin"), QStringLiteral("indent"),
        QStringLiteral("leading"),     QStringLiteral("blockIndent"), QStringLiteral("tabStops"),
        QStringLiteral("bullet"),      QStringLiteral("display"),     QStringLiteral("kerning"),
        QStringLiteral("letterSpacing"),
    };
    return list;
}

void TextFormatObject::construct(const std::vector<Value>& args) {
    static const char* const order[] = {"font", "size", "color", "bold", "italic", "underline", "url",
                                        "target", "align", "leftMargin", "rightMargin", "indent", "leading"};
    format.display = QStringLiteral("block");
    for (size_t i = 0; i < args.size() && i < std::size(order); ++i) {
        const QString name = QLatin1String(order[i]);
        const Value& v = args[i];
        // The constructor cuts pixel values toward zero and keeps negative margins.
        std::optional<double>* pixels = name == QLatin1String("size")          ? &format.size
                                        : name == QLatin1String("leftMargin")  ? &format.leftMargin
                                        : name == QLatin1String("rightMargin") ? &format.rightMargin
                                        : name == QLatin1String("indent")      ? &format.indent
                                        : name == QLatin1String("leading")     ? &format.leading
                                                                               : nullptr;
        if (pixels) {
            if (v.isNullish()) pixels->reset();
            else *pixels = double(vm().toInt32(v));
            continue;
        }
        if (name == QLatin1String("align") && !v.isNullish()) format.align.reset();
        setSpecial(name, v);
    }
}

bool TextFormatObject::getSpecial(const QString& n, Value& out) {
    const display::TextFormat& f = format;
    if (n == QLatin1String("font")) out = optionalString(f.font);
    else if (n == QLatin1String("size")) out = optionalNumber(f.size);
    else if (n == QLatin1String("color")) out = f.color ? Value(double(*f.color)) : Value::null();
    else if (n == QLatin1String("url")) out = optionalString(f.url);
    else if (n == QLatin1String("target")) out = optionalString(f.target);
    else if (n == QLatin1String("bold")) out = optionalBool(f.bold);
    else if (n == QLatin1String("italic")) out = optionalBool(f.italic);
    else if (n == QLatin1String("underline")) out = optionalBool(f.underline);
    else if (n == QLatin1String("align")) out = optionalString(f.align);
    else if (n == QLatin1String("leftMargin")) out = optionalNumber(f.leftMargin);
    else if (n == QLatin1String("rightMargin")) out = optionalNumber(f.rightMargin);
    else if (n == QLatin1String("indent")) out = optionalNumber(f.indent);
    else if (n == QLatin1String("leading")) out = optionalNumber(f.leading);
    else if (n == QLatin1String("blockIndent")) out = optionalNumber(f.blockIndent);
    else if (n == QLatin1String("bullet")) out = optionalBool(f.bullet);
    else if (n == QLatin1String("kerning")) out = optionalBool(f.kerning);
    else if (n == QLatin1String("letterSpacing")) out = optionalNumber(f.letterSpacing);
    else if (n == QLatin1String("display")) out = optionalString(f.display);
    else if (n == QLatin1String("tabStops")) {
        if (!f.tabStops) out = Value::null();
        else {
            std::vector<Value> items;
            for (double s : *f.tabStops) items.emplace_back(s);
            out = Value(static_cast<Object*>(vm().newArray(std::move(items))));
        }
    } else return false;
    return true;
}

bool TextFormatObject::setSpecial(const QString& n, const Value& v) {
    if (!names().contains(n)) return false;
    Interpreter& vm = this->vm();
    display::TextFormat& f = format;
    const bool unset = v.isNullish();
    auto str = [&](std::optional<QString>& m) { m = unset ? std::nullopt : std::optional<QString>(vm.toString(v)); };
    auto flag = [&](std::optional<bool>& m) { m = unset ? std::nullopt : std::optional<bool>(vm.toBoolean(v)); };
    auto pixels = [&](std::optional<double>& m, bool nonNegative) {
        if (unset) {
            m.reset();
            return;
        }
        const double d = vm.toNumber(v);
        // Margins never go below zero; not-a-number counts as below.
        m = nonNegative && !(d >= 0) ? 0.0 : roundedPixels(d);
    };
    if (n == QLatin1String("font")) {
        str(f.font);
        // Font names are cut to the length the player keeps.
        if (f.font) f.font = f.font->left(64);
    }
    else if (n == QLatin1String("size")) pixels(f.size, false);
    else if (n == QLatin1String("color")) {
        if (unset) f.color.reset();
        else {
            const double d = vm.toNumber(v);
            // Colours keep all 32 bits, cut toward zero.
            f.color = std::isfinite(d) ? uint32_t(int64_t(std::trunc(std::fmod(d, 4294967296.0)))) : 0u;
        }
    } else if (n == QLatin1String("url")) str(f.url);
    else if (n == QLatin1String("target")) str(f.target);
    else if (n == QLatin1String("bold")) flag(f.bold);
    else if (n == QLatin1String("italic")) flag(f.italic);
    else if (n == QLatin1String("underline")) flag(f.underline);
    else if (n == QLatin1String("bullet")) flag(f.bullet);
    else if (n == QLatin1String("kerning")) flag(f.kerning);
    else if (n == QLatin1String("align")) {
        // Neither null nor an unknown name changes the alignment.
        if (!unset) {
            const QString a = vm.toString(v).toLower();
            if (a == QLatin1String("left") || a == QLatin1String("right") || a == QLatin1String("center") ||
                a == QLatin1String("justify"))
                f.align = a;
        }
    } else if (n == QLatin1String("display")) {
        // Anything but the two other names, null included, is a block.
        const QString d = unset ? QString() : vm.toString(v);
        f.display = d == QLatin1String("none") || d == QLatin1String("inline") ? d : QStringLiteral("block");
    } else if (n == QLatin1String("leftMargin")) pixels(f.leftMargin, true);
    else if (n == QLatin1String("rightMargin")) pixels(f.rightMargin, true);
    else if (n == QLatin1String("indent")) pixels(f.indent, false);
    else if (n == QLatin1String("leading")) pixels(f.leading, false);
    else if (n == QLatin1String("blockIndent")) pixels(f.blockIndent, false);
    else if (n == QLatin1String("letterSpacing")) {
        if (unset) f.letterSpacing.reset();
        else f.letterSpacing = vm.toNumber(v);
    } else if (n == QLatin1String("tabStops")) {
        // Any object with a length is read as a list, as arrays are.
        Object* o = v.object();
        if (!o) {
            f.tabStops.reset();
        } else {
            std::vector<double> stops;
            const double length = vm.toNumber(vm.getMember(v, QStringLiteral("length")));
            const int count = std::isfinite(length) ? int(std::clamp(length, 0.0, 10000.0)) : 0;
            for (int i = 0; i < count; ++i)
                stops.push_back(roundedPixels(vm.toNumber(vm.getMember(v, QString::number(i)))));
            f.tabStops = std::move(stops);
        }
    }
    return true;
}

} // namespace nimbrel::movie::avm1
