#include "movie/avm2/AbcDisassembler.h"
#include "movie/avm2/MethodDecoder.h"
#include "movie/avm2/Verifier.h"
#include <QStringList>

namespace nimbrel::movie::avm2 {

namespace {
const char* traitKindName(TraitKind k) {
    switch (k) {
    case TraitKind::Slot: return "slot";
    case TraitKind::Method: return "method";
    case TraitKind::Getter: return "getter";
    case TraitKind::Setter: return "setter";
    case TraitKind::Class: return "class";
    case TraitKind::Function: return "function";
    case TraitKind::Const: return "const";
    }
    return "?";
}
} // namespace

QString AbcDisassembler::operand(OperandKind kind, uint32_t v) const {
    const ConstantPool& pool = abc_.pool;
    switch (kind) {
    case OperandKind::SignedByte: return QString::number(int32_t(v));
    case OperandKind::Register: return QStringLiteral("r%1").arg(v);
    case OperandKind::Int: return QString::number(pool.ints[v]);
    case OperandKind::UInt: return QString::number(pool.uints[v]);
    case OperandKind::Double: return QString::number(pool.doubles[v], 'g', 17);
    case OperandKind::String: return QLatin1Char('"') + pool.strings[v] + QLatin1Char('"');
    case OperandKind::Namespace: return abc_.namespaceText(v);
    case OperandKind::Multiname: return abc_.multinameText(v);
    case OperandKind::Method: return QStringLiteral("method%1").arg(v);
    case OperandKind::Class: return QStringLiteral("class%1").arg(v);
    default: return QString::number(v);
    }
}

QString AbcDisassembler::instruction(const DecodedMethod& m, const Instruction& ins) const {
    const OpInfo& info = OpcodeTable::info(ins.op);
    QStringList parts{QString::fromLatin1(info.name)};
    for (int k = 0; k < info.operandCount; ++k) {
        const OperandKind kind = info.operands[k];
        if (kind == OperandKind::Branch) {
            parts << QStringLiteral("-> %1").arg(ins.target);
        } else if (kind == OperandKind::Switch) {
            QStringList targets;
            for (uint32_t c = 0; c <= ins.operands[1]; ++c)
                targets << QString::number(m.switchTargets[size_t(ins.target) + c]);
            parts << QStringLiteral("-> [%1]").arg(targets.join(QLatin1Char(' ')));
        } else {
            parts << operand(kind, ins.operands[k]);
        }
    }
    return parts.join(QLatin1Char(' '));
}

QString AbcDisassembler::method(uint32_t index) const {
    const MethodInfo& mi = abc_.methods[index];
    QStringList params;
    for (uint32_t t : mi.paramTypes) params << abc_.multinameText(t);
    QString out = QStringLiteral("method%1 %2(%3):%4\n")
                      .arg(index)
                      .arg(abc_.stringAt(mi.name))
                      .arg(params.join(QStringLiteral(", ")))
                      .arg(abc_.multinameText(mi.returnType));
    if (mi.body < 0) return out;
    const MethodBody& body = abc_.bodies[size_t(mi.body)];
    out += QStringLiteral("  stack %1 locals %2 scope %3..%4 code %5 bytes\n")
               .arg(body.maxStack)
               .arg(body.localCount)
               .arg(body.initScopeDepth)
               .arg(body.maxScopeDepth)
               .arg(body.code.size());
    auto decoded = MethodDecoder::decode(abc_, uint32_t(mi.body));
    if (!decoded) {
        // The bytes themselves, since there are no instructions to show.
        return out + QStringLiteral("  ") + decoded.error().message() + QStringLiteral("\n  bytes ") +
               QString::fromLatin1(body.code.toHex(' ')) + QLatin1Char('\n');
    }
    if (auto error = Verifier::verify(abc_, decoded.value())) out += QStringLiteral("  ") + error->message() + QLatin1Char('\n');
    for (size_t i = 0; i < decoded->code.size(); ++i)
        out += QStringLiteral("  %1  %2\n").arg(i, 4).arg(instruction(decoded.value(), decoded->code[i]));
    for (const DecodedHandler& h : decoded->handlers) {
        const ExceptionInfo& ex = body.exceptions[h.exception];
        out += QStringLiteral("  catch %1 in [%2, %3) -> %4\n")
                   .arg(abc_.multinameText(ex.type))
                   .arg(h.from)
                   .arg(h.to)
                   .arg(h.target);
    }
    return out;
}

QString AbcDisassembler::traits(const std::vector<TraitInfo>& list, const QString& indent) const {
    QString out;
    for (const TraitInfo& t : list) {
        out += indent + QStringLiteral("%1 %2").arg(QString::fromLatin1(traitKindName(t.kind)), abc_.multinameText(t.name));
        if (t.kind == TraitKind::Slot || t.kind == TraitKind::Const) out += QStringLiteral(":") + abc_.multinameText(t.typeName);
        else if (t.kind == TraitKind::Class) out += QStringLiteral(" = class%1").arg(t.index);
        else out += QStringLiteral(" = method%1").arg(t.index);
        out += QLatin1Char('\n');
    }
    return out;
}

QString AbcDisassembler::all() const {
    QString out = QStringLiteral("abc %1.%2: %3 methods, %4 classes, %5 scripts\n")
                      .arg(abc_.majorVersion)
                      .arg(abc_.minorVersion)
                      .arg(abc_.methods.size())
                      .arg(abc_.classes.size())
                      .arg(abc_.scripts.size());
    for (size_t c = 0; c < abc_.classes.size(); ++c) {
        const InstanceInfo& inst = abc_.instances[c];
        out += QStringLiteral("class%1 %2 extends %3 (init method%4, static init method%5)\n")
                   .arg(c)
                   .arg(abc_.multinameText(inst.name))
                   .arg(abc_.multinameText(inst.superName))
                   .arg(inst.initializer)
                   .arg(abc_.classes[c].initializer);
        out += traits(inst.traits, QStringLiteral("  "));
        out += traits(abc_.classes[c].traits, QStringLiteral("  static "));
    }
    for (size_t s = 0; s < abc_.scripts.size(); ++s) {
        out += QStringLiteral("script%1 (init method%2)\n").arg(s).arg(abc_.scripts[s].initializer);
        out += traits(abc_.scripts[s].traits, QStringLiteral("  "));
    }
    for (size_t m = 0; m < abc_.methods.size(); ++m) out += method(uint32_t(m));
    return out;
}

} // namespace nimbrel::movie::avm2
