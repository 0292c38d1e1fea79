#include "movie/avm1/TextFieldVariable.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/ButtonObject.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/MovieClip.h"

namespace nimbrel::movie::avm1 {

namespace {

// The object holding the variable and the variable's own name.
Object* owner(Interpreter& vm, display::EditTextObject& field, QString& name) {
    const QString& v = field.variable;
    // A field shown by a button takes its variable from the clip holding the button.
    display::DisplayObject* scope = field.parent();
    while (scope && scope->type() != display::DisplayObject::Type::MovieClip) scope = scope->parent();
    if (v.isEmpty() || !scope) return nullptr;
    MovieClipObject* base = vm.scriptObjectFor(scope);
    if (!base) return nullptr;
    const qsizetype cut = std::max(v.lastIndexOf(QLatin1Char('.')), v.lastIndexOf(QLatin1Char(':')));
    if (cut < 0) {
        name = v;
        return base;
    }
    name = v.mid(cut + 1);
    if (name.isEmpty()) return nullptr;
    return vm.resolveTarget(v.left(cut), base);
}

// Deep display lists are walked with an explicit stack; the states buttons
// show hold fields too.
void collect(display::MovieClip* root, std::vector<display::EditTextObject*>& out) {
    std::vector<display::DisplayObject*> todo{root};
    auto visit = [&](const auto& children) {
        for (const auto& [depth, child] : children) {
            if (child->type() == display::DisplayObject::Type::EditText) {
                auto* field = static_cast<display::EditTextObject*>(child.get());
                if (!field->variable.isEmpty()) out.push_back(field);
            } else if (child->type() == display::DisplayObject::Type::MovieClip ||
                       child->type() == display::DisplayObject::Type::Button) {
                todo.push_back(child.get());
            }
        }
    };
    while (!todo.empty()) {
        display::DisplayObject* next = todo.back();
        todo.pop_back();
        if (next->type() == display::DisplayObject::Type::Button) visit(static_cast<display::ButtonObject*>(next)->children());
        else visit(static_cast<display::MovieClip*>(next)->children());
    }
}

} // namespace

void TextFieldVariable::pull(Interpreter& vm, display::EditTextObject& field) {
    QString name;
    Object* o = owner(vm, field, name);
    if (!o) return;
    const Value value = o->get(name);
    if (value.isUndefined()) {
        if (!field.text().isEmpty()) o->set(name, Value(field.html ? field.htmlText() : field.text()));
        return;
    }
    const QString s = vm.toString(value);
    if (s == field.boundValue) return;
    field.boundValue = s;
    if (field.html) field.setHtmlText(s);
    else field.setText(s);
}

void TextFieldVariable::push(Interpreter& vm, display::EditTextObject& field) {
    QString name;
    Object* o = owner(vm, field, name);
    if (!o) return;
    o->set(name, Value(field.html ? field.htmlText() : field.text()));
    // What the variable holds now, which a read-only one leaves as it was: the
    // field follows the variable only when that changes again.
    field.boundValue = vm.toString(o->get(name));
}

void TextFieldVariable::pullAll(Interpreter& vm) {
    if (!vm.root || !vm.root->clip()) return;
    std::vector<display::EditTextObject*> fields;
    collect(vm.root->clip(), fields);
    // Variables may be getters: a script error there ends the check quietly.
    try {
        for (display::EditTextObject* f : fields) pull(vm, *f);
    } catch (const ScriptException&) {
    } catch (const ScriptAbort&) {
    }
}

} // namespace nimbrel::movie::avm1
