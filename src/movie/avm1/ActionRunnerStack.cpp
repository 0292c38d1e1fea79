// The stack machine: pushes, arithmetic, comparisons, strings and registers.
#include "movie/avm1/ActionRunner.h"
#include "movie/avm1/ActionRunnerSupport.h"
#include "movie/avm1/NumberFormat.h"
#include "movie/swf/BitReader.h"
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

void ActionRunner::opPush(const Action& a)
{
    const uint8_t* data = a.data;
    const size_t len = a.len;
    size_t at = 0;
    while (at < len) {
        uint8_t type = data[at++];
        swf::BitReader r(data, len);
        r.seek(at);
        switch (type) {
        case 0: push(Value(readText(a, at))); continue;
        case 1: push(Value(double(r.f32()))); break;
        case 2: push(Value::null()); break;
        case 3: push(Value()); break;
        case 4: push(reg(r.u8())); break;
        case 5: push(Value(r.u8() != 0)); break;
        case 6: push(Value(r.f64())); break;
        case 7: push(Value(double(r.s32()))); break;
        case 8:
        case 9: {
            int idx = type == 8 ? r.u8() : r.u16();
            if (act_.pool && idx < int(act_.pool->size()))
                push(Value((*act_.pool)[size_t(idx)]));
            else
                push(Value());
            break;
        }
        default: actions::malformed("unknown push type");
        }
        if (r.failed())
            actions::malformed("truncated push");
        at = r.pos();
    }
}

void ActionRunner::opPop() { pop(); }

// Which operand is converted first differs per action (valueOf side effects show it).
void ActionRunner::opAdd() { Value a = pop(), b = pop(); double x = number(b), y = number(a); push(Value(x + y)); }
void ActionRunner::opSubtract() { Value a = pop(), b = pop(); double y = number(a), x = number(b); push(Value(x - y)); }
void ActionRunner::opMultiply() { Value a = pop(), b = pop(); double x = number(b), y = number(a); push(Value(x * y)); }

void ActionRunner::opDivide()
{
    Value a = pop(), b = pop();
    double d = number(a);
    double n = number(b);
    if (d == 0 && act_.code.swfVersion < 5)
        push(Value(QStringLiteral("#ERROR#")));
    else
        push(Value(n / d));
}

void ActionRunner::opModulo() { Value a = pop(), b = pop(); double y = number(a), x = number(b); push(Value(std::fmod(x, y))); }
void ActionRunner::opIncrement() { push(Value(number(pop()) + 1)); }
void ActionRunner::opDecrement() { push(Value(number(pop()) - 1)); }

void ActionRunner::opEquals() { Value a = pop(), b = pop(); double y = number(a), x = number(b); pushTruth(x == y); }
void ActionRunner::opLess() { Value a = pop(), b = pop(); double x = number(b), y = number(a); pushTruth(x < y); }
void ActionRunner::opAnd() { Value a = pop(), b = pop(); pushTruth(vm_.toBoolean(b) && vm_.toBoolean(a)); }
void ActionRunner::opOr() { Value a = pop(), b = pop(); pushTruth(vm_.toBoolean(b) || vm_.toBoolean(a)); }
void ActionRunner::opNot() { Value a = pop(); pushTruth(!vm_.toBoolean(a)); }
void ActionRunner::opEquals2() { Value a = pop(), b = pop(); pushTruth(vm_.looseEquals(b, a)); }
void ActionRunner::opStrictEquals() { Value a = pop(), b = pop(); pushTruth(vm_.strictEquals(b, a)); }

void ActionRunner::opLess2()
{
    Value a = pop(), b = pop();
    Value r = vm_.lessThan(b, a);
    if (r.isBoolean())
        pushTruth(r.b);
    else
        push(r);
}

void ActionRunner::opGreater()
{
    Value a = pop(), b = pop();
    Value r = vm_.lessThan(a, b, false);
    if (r.isBoolean())
        pushTruth(r.b);
    else
        push(r);
}

void ActionRunner::opAdd2()
{
    Value a = pop(), b = pop();
    push(vm_.add(b, a));
}

void ActionRunner::opBitAnd() { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b & a))); }
void ActionRunner::opBitOr() { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b | a))); }
void ActionRunner::opBitXor() { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b ^ a))); }

void ActionRunner::opBitLShift()
{
    int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop());
    push(Value(double(int32_t(uint32_t(b) << (a & 31)))));
}

void ActionRunner::opBitRShift() { int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop()); push(Value(double(b >> (a & 31)))); }

void ActionRunner::opBitURShift()
{
    int32_t a = vm_.toInt32(pop()), b = vm_.toInt32(pop());
    push(Value(double(uint32_t(b) >> (a & 31))));
}

void ActionRunner::opStringEquals() { Value a = pop(), b = pop(); pushTruth(text(b) == text(a)); }
void ActionRunner::opStringLength() { push(Value(double(text(pop()).size()))); }
void ActionRunner::opStringAdd() { Value a = pop(), b = pop(); push(Value(text(b) + text(a))); }
void ActionRunner::opStringLess() { Value a = pop(), b = pop(); pushTruth(text(b) < text(a)); }
void ActionRunner::opStringGreater() { Value a = pop(), b = pop(); pushTruth(text(b) > text(a)); }

void ActionRunner::opStringExtract()
{
    double count = number(pop());
    double index = number(pop());
    QString s = text(pop());
    if (!std::isfinite(index))
        index = 0;
    if (!std::isfinite(count))
        count = 0;
    // Beyond any string's length either way; keeps the casts below defined.
    index = std::clamp(index, -1e15, 1e15);
    count = std::clamp(count, -1e15, 1e15);
    long long start = (long long)index - 1;
    if (start < 0)
        start = 0;
    if (start >= s.size()) {
        push(Value(QString()));
        return;
    }
    long long n = (long long)count;
    if (n < 0 || start + n > s.size())
        n = s.size() - start;
    push(Value(s.mid(int(start), int(n))));
}

void ActionRunner::opToInteger()
{
    double v = number(pop());
    push(Value(double(avm1::toInt32(v))));
}

void ActionRunner::opCharToAscii()
{
    QString s = text(pop());
    push(s.isEmpty() ? Value(std::numeric_limits<double>::quiet_NaN()) : Value(double(s[0].unicode())));
}

void ActionRunner::opAsciiToChar()
{
    double v = number(pop());
    int c = avm1::toInt32(v) & 0xFFFF;
    push(c == 0 ? Value(QString()) : Value(QString(QChar(c))));
}

void ActionRunner::opToNumber() { push(Value(number(pop()))); }
void ActionRunner::opToString() { push(Value(text(pop()))); }
void ActionRunner::opTypeOf() { push(Value(vm_.typeOf(pop()))); }

void ActionRunner::opPushDuplicate()
{
    Value v = act_.stack.empty() ? Value() : act_.stack.back();
    push(v);
}

void ActionRunner::opStackSwap()
{
    Value a = pop(), b = pop();
    push(a);
    push(b);
}

void ActionRunner::opStoreRegister(const Action& a)
{
    int r = a.len > 0 ? a.data[0] : -1;
    reg(r) = act_.stack.empty() ? Value() : act_.stack.back();
}

void ActionRunner::opConstantPool(const Action& a)
{
    swf::BitReader r(a.data, a.len);
    uint16_t count = r.u16();
    auto pool = std::make_shared<std::vector<QString>>();
    size_t at = 2;
    for (uint16_t i = 0; i < count && at < a.len; ++i)
        pool->push_back(readText(a, at));
    act_.pool = pool;
}

void ActionRunner::opGetTime() { push(Value(vm_.clockMs ? std::floor(vm_.clockMs()) : 0.0)); }

void ActionRunner::opRandomNumber()
{
    int32_t max = vm_.toInt32(pop());
    push(Value(max <= 0 ? 0.0 : double(QRandomGenerator::global()->bounded(max))));
}

} // namespace nimbrel::movie::avm1
