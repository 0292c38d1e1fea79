// Every instruction of the second virtual machine, once: code, identifier,
// name, values popped and pushed before operand-dependent ones, flags and up
// to four operand kinds. Included with NIMBREL_AVM2_OP defined to expand it.
// Flags: ARGC pops the argument count too, ARGC2 pops twice the count,
// RTNAME pops the runtime parts of its multiname, END never falls through,
// BRANCH has a target, PUSHSCOPE/POPSCOPE change the scope depth, NOTHROW
// never throws (so it leads to no exception handler).
// clang-format off
#define NIMBREL_AVM2_OPS(X) \
X(0x01, Bkpt,            "bkpt",            0, 0, NOTHROW,          None, None, None, None) \
X(0x02, Nop,             "nop",             0, 0, NOTHROW,          None, None, None, None) \
X(0x03, Throw,           "throw",           1, 0, END,               None, None, None, None) \
X(0x04, GetSuper,        "getsuper",        1, 1, RTNAME,            Multiname, None, None, None) \
X(0x05, SetSuper,        "setsuper",        2, 0, RTNAME,            Multiname, None, None, None) \
X(0x06, Dxns,            "dxns",            0, 0, 0,                 String, None, None, None) \
X(0x07, DxnsLate,        "dxnslate",        1, 0, 0,                 None, None, None, None) \
X(0x08, Kill,            "kill",            0, 0, NOTHROW,          Register, None, None, None) \
X(0x09, Label,           "label",           0, 0, NOTHROW,          None, None, None, None) \
X(0x0C, IfNlt,           "ifnlt",           2, 0, BRANCH,            Branch, None, None, None) \
X(0x0D, IfNle,           "ifnle",           2, 0, BRANCH,            Branch, None, None, None) \
X(0x0E, IfNgt,           "ifngt",           2, 0, BRANCH,            Branch, None, None, None) \
X(0x0F, IfNge,           "ifnge",           2, 0, BRANCH,            Branch, None, None, None) \
X(0x10, Jump,            "jump",            0, 0, BRANCH | END | NOTHROW, Branch, None, None, None) \
X(0x11, IfTrue,          "iftrue",          1, 0, BRANCH | NOTHROW, Branch, None, None, None) \
X(0x12, IfFalse,         "iffalse",         1, 0, BRANCH | NOTHROW, Branch, None, None, None) \
X(0x13, IfEq,            "ifeq",            2, 0, BRANCH,            Branch, None, None, None) \
X(0x14, IfNe,            "ifne",            2, 0, BRANCH,            Branch, None, None, None) \
X(0x15, IfLt,            "iflt",            2, 0, BRANCH,            Branch, None, None, None) \
X(0x16, IfLe,            "ifle",            2, 0, BRANCH,            Branch, None, None, None) \
X(0x17, IfGt,            "ifgt",            2, 0, BRANCH,            Branch, None, None, None) \
X(0x18, IfGe,            "ifge",            2, 0, BRANCH,            Branch, None, None, None) \
X(0x19, IfStrictEq,      "ifstricteq",      2, 0, BRANCH | NOTHROW, Branch, None, None, None) \
X(0x1A, IfStrictNe,      "ifstrictne",      2, 0, BRANCH | NOTHROW, Branch, None, None, None) \
X(0x1B, LookupSwitch,    "lookupswitch",    1, 0, END | NOTHROW,    Switch, None, None, None) \
X(0x1C, PushWith,        "pushwith",        1, 0, PUSHSCOPE,         None, None, None, None) \
X(0x1D, PopScope,        "popscope",        0, 0, POPSCOPE | NOTHROW, None, None, None, None) \
X(0x1E, NextName,        "nextname",        2, 1, 0,                 None, None, None, None) \
X(0x1F, HasNext,         "hasnext",         2, 1, 0,                 None, None, None, None) \
X(0x20, PushNull,        "pushnull",        0, 1, NOTHROW,          None, None, None, None) \
X(0x21, PushUndefined,   "pushundefined",   0, 1, NOTHROW,          None, None, None, None) \
X(0x23, NextValue,       "nextvalue",       2, 1, 0,                 None, None, None, None) \
X(0x24, PushByte,        "pushbyte",        0, 1, NOTHROW,          SignedByte, None, None, None) \
X(0x25, PushShort,       "pushshort",       0, 1, NOTHROW,          Value, None, None, None) \
X(0x26, PushTrue,        "pushtrue",        0, 1, NOTHROW,          None, None, None, None) \
X(0x27, PushFalse,       "pushfalse",       0, 1, NOTHROW,          None, None, None, None) \
X(0x28, PushNaN,         "pushnan",         0, 1, NOTHROW,          None, None, None, None) \
X(0x29, Pop,             "pop",             1, 0, NOTHROW,          None, None, None, None) \
X(0x2A, Dup,             "dup",             1, 2, NOTHROW,          None, None, None, None) \
X(0x2B, Swap,            "swap",            2, 2, NOTHROW,          None, None, None, None) \
X(0x2C, PushString,      "pushstring",      0, 1, NOTHROW,          String, None, None, None) \
X(0x2D, PushInt,         "pushint",         0, 1, NOTHROW,          Int, None, None, None) \
X(0x2E, PushUInt,        "pushuint",        0, 1, NOTHROW,          UInt, None, None, None) \
X(0x2F, PushDouble,      "pushdouble",      0, 1, NOTHROW,          Double, None, None, None) \
X(0x30, PushScope,       "pushscope",       1, 0, PUSHSCOPE,         None, None, None, None) \
X(0x31, PushNamespace,   "pushnamespace",   0, 1, NOTHROW,          Namespace, None, None, None) \
X(0x32, HasNext2,        "hasnext2",        0, 1, 0,                 Register, Register, None, None) \
X(0x35, Li8,             "li8",             1, 1, 0,                 None, None, None, None) \
X(0x36, Li16,            "li16",            1, 1, 0,                 None, None, None, None) \
X(0x37, Li32,            "li32",            1, 1, 0,                 None, None, None, None) \
X(0x38, Lf32,            "lf32",            1, 1, 0,                 None, None, None, None) \
X(0x39, Lf64,            "lf64",            1, 1, 0,                 None, None, None, None) \
X(0x3A, Si8,             "si8",             2, 0, 0,                 None, None, None, None) \
X(0x3B, Si16,            "si16",            2, 0, 0,                 None, None, None, None) \
X(0x3C, Si32,            "si32",            2, 0, 0,                 None, None, None, None) \
X(0x3D, Sf32,            "sf32",            2, 0, 0,                 None, None, None, None) \
X(0x3E, Sf64,            "sf64",            2, 0, 0,                 None, None, None, None) \
X(0x40, NewFunction,     "newfunction",     0, 1, 0,                 Method, None, None, None) \
X(0x41, Call,            "call",            2, 1, ARGC,              ArgCount, None, None, None) \
X(0x42, Construct,       "construct",       1, 1, ARGC,              ArgCount, None, None, None) \
X(0x43, CallMethod,      "callmethod",      1, 1, ARGC,              DispId, ArgCount, None, None) \
X(0x44, CallStatic,      "callstatic",      1, 1, ARGC,              Method, ArgCount, None, None) \
X(0x45, CallSuper,       "callsuper",       1, 1, ARGC | RTNAME,     Multiname, ArgCount, None, None) \
X(0x46, CallProperty,    "callproperty",    1, 1, ARGC | RTNAME,     Multiname, ArgCount, None, None) \
X(0x47, ReturnVoid,      "returnvoid",      0, 0, END | NOTHROW,    None, None, None, None) \
X(0x48, ReturnValue,     "returnvalue",     1, 0, END,               None, None, None, None) \
X(0x49, ConstructSuper,  "constructsuper",  1, 0, ARGC,              ArgCount, None, None, None) \
X(0x4A, ConstructProp,   "constructprop",   1, 1, ARGC | RTNAME,     Multiname, ArgCount, None, None) \
X(0x4C, CallPropLex,     "callproplex",     1, 1, ARGC | RTNAME,     Multiname, ArgCount, None, None) \
X(0x4E, CallSuperVoid,   "callsupervoid",   1, 0, ARGC | RTNAME,     Multiname, ArgCount, None, None) \
X(0x4F, CallPropVoid,    "callpropvoid",    1, 0, ARGC | RTNAME,     Multiname, ArgCount, None, None) \
X(0x50, Sxi1,            "sxi1",            1, 1, 0,                 None, None, None, None) \
X(0x51, Sxi8,            "sxi8",            1, 1, 0,                 None, None, None, None) \
X(0x52, Sxi16,           "sxi16",           1, 1, 0,                 None, None, None, None) \
X(0x53, ApplyType,       "applytype",       1, 1, ARGC,              ArgCount, None, None, None) \
X(0x55, NewObject,       "newobject",       0, 1, ARGC2,             ArgCount, None, None, None) \
X(0x56, NewArray,        "newarray",        0, 1, ARGC,              ArgCount, None, None, None) \
X(0x57, NewActivation,   "newactivation",   0, 1, 0,                 None, None, None, None) \
X(0x58, NewClass,        "newclass",        1, 1, 0,                 Class, None, None, None) \
X(0x59, GetDescendants,  "getdescendants",  1, 1, RTNAME,            Multiname, None, None, None) \
X(0x5A, NewCatch,        "newcatch",        0, 1, 0,                 Exception, None, None, None) \
X(0x5D, FindPropStrict,  "findpropstrict",  0, 1, RTNAME,            Multiname, None, None, None) \
X(0x5E, FindProperty,    "findproperty",    0, 1, RTNAME,            Multiname, None, None, None) \
X(0x5F, FindDef,         "finddef",         0, 1, 0,                 Multiname, None, None, None) \
X(0x60, GetLex,          "getlex",          0, 1, 0,                 Multiname, None, None, None) \
X(0x61, SetProperty,     "setproperty",     2, 0, RTNAME,            Multiname, None, None, None) \
X(0x62, GetLocal,        "getlocal",        0, 1, NOTHROW,          Register, None, None, None) \
X(0x63, SetLocal,        "setlocal",        1, 0, NOTHROW,          Register, None, None, None) \
X(0x64, GetGlobalScope,  "getglobalscope",  0, 1, NOTHROW,          None, None, None, None) \
X(0x65, GetScopeObject,  "getscopeobject",  0, 1, NOTHROW,          ScopeIndex, None, None, None) \
X(0x66, GetProperty,     "getproperty",     1, 1, RTNAME,            Multiname, None, None, None) \
X(0x67, GetOuterScope,   "getouterscope",   0, 1, NOTHROW,          Value, None, None, None) \
X(0x68, InitProperty,    "initproperty",    2, 0, RTNAME,            Multiname, None, None, None) \
X(0x6A, DeleteProperty,  "deleteproperty",  1, 1, RTNAME,            Multiname, None, None, None) \
X(0x6C, GetSlot,         "getslot",         1, 1, 0,                 Slot, None, None, None) \
X(0x6D, SetSlot,         "setslot",         2, 0, 0,                 Slot, None, None, None) \
X(0x6E, GetGlobalSlot,   "getglobalslot",   0, 1, 0,                 Slot, None, None, None) \
X(0x6F, SetGlobalSlot,   "setglobalslot",   1, 0, 0,                 Slot, None, None, None) \
X(0x70, ConvertS,        "convert_s",       1, 1, 0,                 None, None, None, None) \
X(0x71, EscXElem,        "esc_xelem",       1, 1, 0,                 None, None, None, None) \
X(0x72, EscXAttr,        "esc_xattr",       1, 1, 0,                 None, None, None, None) \
X(0x73, ConvertI,        "convert_i",       1, 1, 0,                 None, None, None, None) \
X(0x74, ConvertU,        "convert_u",       1, 1, 0,                 None, None, None, None) \
X(0x75, ConvertD,        "convert_d",       1, 1, 0,                 None, None, None, None) \
X(0x76, ConvertB,        "convert_b",       1, 1, NOTHROW,          None, None, None, None) \
X(0x77, ConvertO,        "convert_o",       1, 1, 0,                 None, None, None, None) \
X(0x78, CheckFilter,     "checkfilter",     1, 1, 0,                 None, None, None, None) \
X(0x80, Coerce,          "coerce",          1, 1, 0,                 Multiname, None, None, None) \
X(0x81, CoerceB,         "coerce_b",        1, 1, NOTHROW,          None, None, None, None) \
X(0x82, CoerceA,         "coerce_a",        1, 1, NOTHROW,          None, None, None, None) \
X(0x83, CoerceI,         "coerce_i",        1, 1, 0,                 None, None, None, None) \
X(0x84, CoerceD,         "coerce_d",        1, 1, 0,                 None, None, None, None) \
X(0x85, CoerceS,         "coerce_s",        1, 1, 0,                 None, None, None, None) \
X(0x86, AsType,          "astype",          1, 1, 0,                 Multiname, None, None, None) \
X(0x87, AsTypeLate,      "astypelate",      2, 1, 0,                 None, None, None, None) \
X(0x88, CoerceU,         "coerce_u",        1, 1, 0,                 None, None, None, None) \
X(0x89, CoerceO,         "coerce_o",        1, 1, 0,                 None, None, None, None) \
X(0x90, Negate,          "negate",          1, 1, 0,                 None, None, None, None) \
X(0x91, Increment,       "increment",       1, 1, 0,                 None, None, None, None) \
X(0x92, IncLocal,        "inclocal",        0, 0, 0,                 Register, None, None, None) \
X(0x93, Decrement,       "decrement",       1, 1, 0,                 None, None, None, None) \
X(0x94, DecLocal,        "declocal",        0, 0, 0,                 Register, None, None, None) \
X(0x95, TypeOf,          "typeof",          1, 1, NOTHROW,          None, None, None, None) \
X(0x96, Not,             "not",             1, 1, NOTHROW,          None, None, None, None) \
X(0x97, BitNot,          "bitnot",          1, 1, 0,                 None, None, None, None) \
X(0xA0, Add,             "add",             2, 1, 0,                 None, None, None, None) \
X(0xA1, Subtract,        "subtract",        2, 1, 0,                 None, None, None, None) \
X(0xA2, Multiply,        "multiply",        2, 1, 0,                 None, None, None, None) \
X(0xA3, Divide,          "divide",          2, 1, 0,                 None, None, None, None) \
X(0xA4, Modulo,          "modulo",          2, 1, 0,                 None, None, None, None) \
X(0xA5, LShift,          "lshift",          2, 1, 0,                 None, None, None, None) \
X(0xA6, RShift,          "rshift",          2, 1, 0,                 None, None, None, None) \
X(0xA7, URShift,         "urshift",         2, 1, 0,                 None, None, None, None) \
X(0xA8, BitAnd,          "bitand",          2, 1, 0,                 None, None, None, None) \
X(0xA9, BitOr,           "bitor",           2, 1, 0,                 None, None, None, None) \
X(0xAA, BitXor,          "bitxor",          2, 1, 0,                 None, None, None, None) \
X(0xAB, Equals,          "equals",          2, 1, 0,                 None, None, None, None) \
X(0xAC, StrictEquals,    "strictequals",    2, 1, NOTHROW,          None, None, None, None) \
X(0xAD, LessThan,        "lessthan",        2, 1, 0,                 None, None, None, None) \
X(0xAE, LessEquals,      "lessequals",      2, 1, 0,                 None, None, None, None) \
X(0xAF, GreaterThan,     "greaterthan",     2, 1, 0,                 None, None, None, None) \
X(0xB0, GreaterEquals,   "greaterequals",   2, 1, 0,                 None, None, None, None) \
X(0xB1, InstanceOf,      "instanceof",      2, 1, 0,                 None, None, None, None) \
X(0xB2, IsType,          "istype",          1, 1, 0,                 Multiname, None, None, None) \
X(0xB3, IsTypeLate,      "istypelate",      2, 1, 0,                 None, None, None, None) \
X(0xB4, In,              "in",              2, 1, 0,                 None, None, None, None) \
X(0xC0, IncrementI,      "increment_i",     1, 1, 0,                 None, None, None, None) \
X(0xC1, DecrementI,      "decrement_i",     1, 1, 0,                 None, None, None, None) \
X(0xC2, IncLocalI,       "inclocal_i",      0, 0, 0,                 Register, None, None, None) \
X(0xC3, DecLocalI,       "declocal_i",      0, 0, 0,                 Register, None, None, None) \
X(0xC4, NegateI,         "negate_i",        1, 1, 0,                 None, None, None, None) \
X(0xC5, AddI,            "add_i",           2, 1, 0,                 None, None, None, None) \
X(0xC6, SubtractI,       "subtract_i",      2, 1, 0,                 None, None, None, None) \
X(0xC7, MultiplyI,       "multiply_i",      2, 1, 0,                 None, None, None, None) \
X(0xD0, GetLocal0,       "getlocal_0",      0, 1, NOTHROW,          None, None, None, None) \
X(0xD1, GetLocal1,       "getlocal_1",      0, 1, NOTHROW,          None, None, None, None) \
X(0xD2, GetLocal2,       "getlocal_2",      0, 1, NOTHROW,          None, None, None, None) \
X(0xD3, GetLocal3,       "getlocal_3",      0, 1, NOTHROW,          None, None, None, None) \
X(0xD4, SetLocal0,       "setlocal_0",      1, 0, NOTHROW,          None, None, None, None) \
X(0xD5, SetLocal1,       "setlocal_1",      1, 0, NOTHROW,          None, None, None, None) \
X(0xD6, SetLocal2,       "setlocal_2",      1, 0, NOTHROW,          None, None, None, None) \
X(0xD7, SetLocal3,       "setlocal_3",      1, 0, NOTHROW,          None, None, None, None) \
X(0xEF, Debug,           "debug",           0, 0, NOTHROW,          Byte, String, Byte, Value) \
X(0xF0, DebugLine,       "debugline",       0, 0, NOTHROW,          Value, None, None, None) \
X(0xF1, DebugFile,       "debugfile",       0, 0, NOTHROW,          String, None, None, None) \
X(0xF2, BkptLine,        "bkptline",        0, 0, NOTHROW,          Value, None, None, None) \
X(0xF3, Timestamp,       "timestamp",       0, 0, NOTHROW,          None, None, None, None)
// clang-format on
