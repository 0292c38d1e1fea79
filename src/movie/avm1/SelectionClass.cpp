// Selection: the keyboard focus as scripts see it, and the selected range of
// the focused text field. Focus changes are announced to its listeners.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/ScriptHost.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;
using display::EditTextObject;

EditTextObject* focusedField(Interpreter& vm) {
    display::DisplayObject* d = vm.host ? vm.host->focusedObject() : nullptr;
    if (!d || d->type() != display::DisplayObject::Type::EditText) return nullptr;
    return static_cast<EditTextObject*>(d);
}

// The display object a setFocus argument names: a clip, button or field, or a path to one.
display::DisplayObject* focusTarget(Interpreter& vm, const Value& v) {
    MovieClipObject* m = nullptr;
    if (Object* o = v.object()) {
        if (o->isMovieClip()) m = static_cast<MovieClipObject*>(o);
    } else if (v.type == Value::Type::String) {
        m = vm.resolveTarget(vm.toString(v), vm.root);
    }
    return m ? m->display() : nullptr;
}

} // namespace

void installSelectionClass(Interpreter& vm) {
    Object* selection = vm.newObject();
    vm.global->define(QStringLiteral("Selection"), Value(selection), DontEnum);
    const Value init = vm.getMember(vm.getMember(Value(vm.global), QStringLiteral("AsBroadcaster")), QStringLiteral("initialize"));
    vm.call(init, Value(), {Value(selection)});

    vm.addMethod(selection, QStringLiteral("getFocus"), [](Interpreter& vm, const Value&, Args) -> Value {
        display::DisplayObject* d = vm.host ? vm.host->focusedObject() : nullptr;
        MovieClipObject* o = d ? vm.scriptObjectFor(d) : nullptr;
        return o ? Value(o->targetPath()) : Value::null();
    });
    vm.addMethod(selection, QStringLiteral("setFocus"), [](Interpreter& vm, const Value&, Args a) -> Value {
        if (!vm.host || a.empty()) return Value(false);
        if (a[0].isNullish()) return Value(vm.host->setFocus(nullptr));
        display::DisplayObject* target = focusTarget(vm, a[0]);
        const bool focused = target != nullptr && vm.host->setFocus(target);
        // A script focusing a field selects all of it, even when it had focus already.
        if (focused && target->type() == display::DisplayObject::Type::EditText) static_cast<EditTextObject*>(target)->selectAll();
        return Value(focused);
    });
    vm.addMethod(selection, QStringLiteral("getBeginIndex"), [](Interpreter& vm, const Value&, Args) -> Value {
        EditTextObject* f = focusedField(vm);
        return Value(f ? double(f->selectionBegin()) : -1.0);
    });
    vm.addMethod(selection, QStringLiteral("getEndIndex"), [](Interpreter& vm, const Value&, Args) -> Value {
        EditTextObject* f = focusedField(vm);
        return Value(f ? double(f->selectionEnd()) : -1.0);
    });
    vm.addMethod(selection, QStringLiteral("getCaretIndex"), [](Interpreter& vm, const Value&, Args) -> Value {
        EditTextObject* f = focusedField(vm);
        return Value(f ? double(f->caret()) : -1.0);
    });
    vm.addMethod(selection, QStringLiteral("setSelection"), [](Interpreter& vm, const Value&, Args a) -> Value {
        EditTextObject* f = focusedField(vm);
        if (!f || a.empty()) return Value();
        const int begin = vm.toInt32(a[0]);
        f->setSelection(begin, a.size() > 1 ? vm.toInt32(a[1]) : begin);
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
