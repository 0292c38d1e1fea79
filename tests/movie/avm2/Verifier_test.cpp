// The verifier: each malformed method gives the VerifyError id the reference
// player throws for it; sound methods pass and decode to what the interpreter runs.
#include "movie/avm2/AbcDisassembler.h"
#include "movie/avm2/AbcParser.h"
#include "movie/avm2/Verifier.h"
#include "movie/support/AbcBuilder.h"
#include <gtest/gtest.h>

using namespace nimbrel::movie;
using namespace nimbrel::movie::avm2;
using nimbrel::movie::test::AbcBodySpec;
using nimbrel::movie::test::AbcBuilder;
using nimbrel::movie::test::AbcCode;

namespace {

AbcResult<DecodedMethod> prepare(const AbcBodySpec& spec, uint8_t methodFlags = 0) {
    auto abc = AbcParser::parse(AbcBuilder::withBody(spec, methodFlags));
    if (!abc) return abc.error();
    return Verifier::prepare(abc.value(), 0);
}

AbcBodySpec body(const AbcCode& code, uint32_t maxStack = 2, uint32_t locals = 1, uint32_t maxScope = 1) {
    AbcBodySpec b;
    b.maxStack = maxStack;
    b.localCount = locals;
    b.maxScopeDepth = maxScope;
    b.code = code.data();
    return b;
}

AbcCode code() { return AbcCode(); }

struct Case {
    const char* what;
    AbcBodySpec spec;
    int id; // 0: verifies
    uint8_t methodFlags = 0;
};

AbcBodySpec withHandler(AbcBodySpec b, uint32_t from, uint32_t to, uint32_t target) {
    b.exceptions.push_back(ExceptionInfo{from, to, target, 0, 0});
    return b;
}

} // namespace

TEST(Verifier, MethodsGiveTheReferenceErrorIds) {
    const Case cases[] = {
        {"sound method", body(code().op(Op::GetLocal0).op(Op::PushScope).op(Op::PushByte).u8(1).op(Op::ReturnValue)), 0},
        {"loop back to a label",
         body(code().op(Op::Label).op(Op::PushTrue).op(Op::IfTrue).s24(-6).op(Op::ReturnVoid)), 0},
        {"stack overflow", body(code().op(Op::PushByte).u8(1).op(Op::PushByte).u8(2).op(Op::ReturnVoid), 1), err::StackOverflow},
        {"stack underflow", body(code().op(Op::Pop).op(Op::ReturnVoid)), err::StackUnderflow},
        {"call pops its arguments", body(code().op(Op::PushNull).op(Op::CallPropVoid).u30(1).u30(2).op(Op::ReturnVoid)), err::StackUnderflow},
        {"scope overflow", body(code().op(Op::GetLocal0).op(Op::PushScope).op(Op::GetLocal0).op(Op::PushScope).op(Op::ReturnVoid), 2, 1, 1), err::ScopeOverflow},
        {"scope underflow", body(code().op(Op::PopScope).op(Op::ReturnVoid)), err::ScopeUnderflow},
        {"scope object beyond the stack", body(code().op(Op::GetScopeObject).u8(0).op(Op::ReturnValue)), err::ScopeObjectOutOfBounds},
        {"bad local", body(code().op(Op::GetLocal).u30(5).op(Op::ReturnValue), 2, 2), err::BadRegister},
        {"bad implicit local", body(code().op(Op::PushNull).op(Op::SetLocal3).op(Op::ReturnVoid), 2, 3), err::BadRegister},
        {"branch out of range", body(code().op(Op::Jump).s24(100).op(Op::ReturnVoid)), err::BadBranchTarget},
        {"branch before the code", body(code().op(Op::Jump).s24(-10).op(Op::ReturnVoid)), err::BadBranchTarget},
        {"branch into an operand",
         body(code().op(Op::PushTrue).op(Op::IfTrue).s24(1).op(Op::PushByte).u8(uint8_t(Op::ReturnVoid)).op(Op::ReturnValue)),
         err::BadBranchTarget},
        {"branch back to itself", body(code().op(Op::Jump).s24(-4)), err::BadBranchTarget},
        {"branch back without a label", body(code().op(Op::PushTrue).op(Op::IfTrue).s24(-5).op(Op::ReturnVoid)), err::BadBranchTarget},
        {"nothing reaches the bad bytes", body(code().op(Op::ReturnVoid).u8(0xFF).op(Op::Jump).u8(9)), 0},
        {"switch target out of range", body(code().op(Op::PushByte).u8(0).op(Op::LookupSwitch).s24(5).u30(0).s24(400)), err::BadBranchTarget},
        {"switch", body(code().op(Op::PushByte).u8(0).op(Op::LookupSwitch).s24(8).u30(0).s24(8).op(Op::ReturnVoid)), 0},
        {"falls off the end", body(code().op(Op::PushByte).u8(1).op(Op::Pop)), err::FallsOffEnd},
        {"empty code", body(code()), err::FallsOffEnd},
        {"instruction cut short", body(code().op(Op::PushNull).op(Op::Jump).u8(0)), err::LastInstructionExceedsCode},
        {"illegal opcode", body(code().u8(0xFF)), err::IllegalOpcode},
        {"string index", body(code().op(Op::PushString).u30(40).op(Op::ReturnValue)), err::PoolIndexOutOfRange},
        {"multiname index", body(code().op(Op::GetLex).u30(9).op(Op::ReturnValue)), err::PoolIndexOutOfRange},
        {"method index", body(code().op(Op::NewFunction).u30(3).op(Op::ReturnValue)), err::MethodOutOfRange},
        {"paths meet unbalanced",
         body(code().op(Op::PushTrue).op(Op::IfFalse).s24(2).op(Op::PushNull).op(Op::PushNull).op(Op::ReturnVoid), 3),
         err::StackUnbalanced},
        {"handler", withHandler(body(code().op(Op::ReturnVoid).op(Op::Throw)), 0, 1, 1), 0},
        {"handler nothing that may throw leads to",
         withHandler(body(code().op(Op::GetLocal0).op(Op::Pop).op(Op::ReturnVoid).op(Op::GetLocal).u30(9).op(Op::Throw)), 0, 2, 3), 0},
        {"handler target outside", withHandler(body(code().op(Op::ReturnVoid)), 0, 1, 7), err::BadExceptionRange},
        {"handler range reversed", withHandler(body(code().op(Op::ReturnVoid).op(Op::Throw)), 1, 0, 1), err::BadExceptionRange},
        {"activation without the flag", body(code().op(Op::NewActivation).op(Op::ReturnValue)), err::NewActivationWithoutFlag},
        {"activation with the flag", body(code().op(Op::NewActivation).op(Op::ReturnValue)), 0, methodflags::NeedActivation},
    };
    for (const Case& c : cases) {
        auto result = prepare(c.spec, c.methodFlags);
        if (c.id == 0) {
            EXPECT_TRUE(result) << c.what << ": " << qPrintable(result.error().message());
        } else {
            ASSERT_FALSE(result) << c.what;
            EXPECT_EQ(result.error().id, c.id) << c.what << ": " << qPrintable(result.error().message());
        }
    }
}

namespace {
// Two values on the stack where the branch meets the handler, one (the thrown value) from the handler.
AbcBodySpec handlerMeetsDeeperBranch() {
    return withHandler(body(code()
                                .op(Op::PushByte).u8(1)
                                .op(Op::PushByte).u8(2)
                                .op(Op::PushTrue)
                                .op(Op::IfFalse).s24(2)
                                .op(Op::PushNull)
                                .op(Op::Throw)
                                .op(Op::Pop)
                                .op(Op::ReturnVoid),
                            3),
                       9, 11, 11);
}
} // namespace

TEST(Verifier, ErrorsReadAsTheReferencePlayerWritesThem) {
    auto unbalanced = prepare(handlerMeetsDeeperBranch());
    ASSERT_FALSE(unbalanced);
    EXPECT_EQ(unbalanced.error().message(), QStringLiteral("VerifyError: Error #1030: Stack depth is unbalanced. 1 != 2."));
    auto illegal = prepare(body(code().op(Op::Nop).u8(0xFF)));
    ASSERT_FALSE(illegal);
    EXPECT_EQ(illegal.error().message(),
              QStringLiteral("VerifyError: Error #1011: Method method0() contained illegal opcode 255 at offset 1."));
    auto overflow = prepare(body(code().op(Op::PushNull).op(Op::ReturnValue), 0));
    ASSERT_FALSE(overflow);
    EXPECT_EQ(overflow.error().message(), QStringLiteral("VerifyError: Error #1023: Stack overflow occurred."));
    auto reg = prepare(body(code().op(Op::GetLocal).u30(7).op(Op::ReturnValue)));
    ASSERT_FALSE(reg);
    EXPECT_EQ(reg.error().message(), QStringLiteral("VerifyError: Error #1025: An invalid register 7 was accessed."));
}

TEST(Verifier, DecodedFormResolvesBranchesToInstructionIndices) {
    // 0 label, 1 pushtrue, 2 iftrue -> 0, 3 pushbyte 0, 4 lookupswitch -> [5 5], 5 returnvoid
    auto m = prepare(body(code()
                              .op(Op::Label)
                              .op(Op::PushTrue)
                              .op(Op::IfTrue).s24(-6)
                              .op(Op::PushByte).u8(0)
                              .op(Op::LookupSwitch).s24(8).u30(0).s24(8)
                              .op(Op::ReturnVoid)));
    ASSERT_TRUE(m) << qPrintable(m.error().message());
    ASSERT_EQ(m->code.size(), 6u);
    EXPECT_EQ(m->code[2].target, 0);
    EXPECT_EQ(m->code[3].operands[0], 0u);
    EXPECT_EQ(m->switchTargets, (std::vector<int32_t>{5, 5}));
    auto abc = AbcParser::parse(AbcBuilder::withBody(body(code().op(Op::GetLex).u30(1).op(Op::ReturnValue))));
    ASSERT_TRUE(abc);
    const QString text = AbcDisassembler(abc.value()).method(0);
    EXPECT_TRUE(text.contains(QStringLiteral("getlex x"))) << qPrintable(text);
}

TEST(Verifier, TableFlagsAgreeWithOperands) {
    // The verifier reads stack effects off these flags; a flag without its operand would miscount.
    for (int c = 0; c < 256; ++c) {
        const OpInfo& info = OpcodeTable::info(uint8_t(c));
        if (!info.valid()) continue;
        auto hasOperand = [&](OperandKind k) {
            return std::find(info.operands, info.operands + info.operandCount, k) != info.operands + info.operandCount;
        };
        EXPECT_EQ(info.has(opflags::BRANCH), hasOperand(OperandKind::Branch)) << info.name;
        if (info.has(opflags::ARGC) || info.has(opflags::ARGC2)) {
            EXPECT_TRUE(hasOperand(OperandKind::ArgCount)) << info.name;
        }
        if (info.has(opflags::RTNAME)) {
            EXPECT_TRUE(hasOperand(OperandKind::Multiname)) << info.name;
        }
    }
    EXPECT_STREQ(OpcodeTable::info(Op::Sf64).name, "sf64");
    EXPECT_FALSE(OpcodeTable::info(uint8_t(0xFF)).valid());
}
