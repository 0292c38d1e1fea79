// LoadVars: variables exchanged with a server as "name=value&..." text.
#include "movie/avm1/Builtins.h"
#include "movie/avm1/DataLoad.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/UrlVariables.h"
#include "movie/avm1/LoadQueue.h"

namespace nimbrel::movie::avm1 {

namespace {

using Args = const std::vector<Value>&;

QString encodeObject(Interpreter& vm, Object* o)
{
    UrlVariables::Pairs pairs;
    for (const QString& k : o->ownKeys())
        pairs.append({k, vm.toString(o->get(k))});
    return UrlVariables::encode(pairs);
}

} // namespace

void installLoadVarsClass(Interpreter& vm)
{
    Object* proto = vm.newObject();
    vm.newClass(QStringLiteral("LoadVars"), nullptr, [](Interpreter&, Object* obj, Args) { return Value(obj); }, proto);
    auto method = [&vm, proto](const char* name, NativeFunction::Fn fn) {
        vm.addMethod(proto, QLatin1String(name), std::move(fn));
    };
    method("decode", [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o || a.empty())
            return Value();
        for (const auto& [name, value] : UrlVariables::decode(vm.toString(a[0])))
            o->set(name, Value(value));
        return Value();
    });
    method("toString", [](Interpreter& vm, const Value& self, Args) -> Value {
        Object* o = self.object();
        return o ? Value(encodeObject(vm, o)) : Value();
    });
    method("load", [](Interpreter& vm, const Value& self, Args a) -> Value {
        if (a.empty())
            return Value(false);
        return Value(DataLoad::startMarked(vm, self.object(), vm.toString(a[0])));
    });
    method("sendAndLoad", [](Interpreter& vm, const Value&, Args a) -> Value {
        // No server conversation: the target receives what the address returns.
        if (a.empty())
            return Value(false);
        return Value(DataLoad::startMarked(vm, arg(a, 1).object(), vm.toString(a[0])));
    });
    method("send", [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o || a.empty())
            return Value(false);
        QString url = vm.toString(a[0]);
        const QString vars = encodeObject(vm, o);
        if (!vars.isEmpty())
            url += (url.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) + vars;
        LoadQueue::navigate(vm, url, arg(a, 1).isUndefined() ? QString() : vm.toString(arg(a, 1)));
        return Value(true);
    });
    DataLoad::installRequestHeaders(vm, proto);
    DataLoad::installByteCounts(vm, proto);
    method("onLoad", [](Interpreter&, const Value&, Args) { return Value(); });
    method("onData", [](Interpreter& vm, const Value& self, Args a) -> Value {
        Object* o = self.object();
        if (!o)
            return Value();
        const bool ok = !arg(a, 0).isUndefined();
        if (ok)
            vm.callMethod(self, QStringLiteral("decode"), {arg(a, 0)});
        o->set(QStringLiteral("loaded"), Value(ok));
        vm.callMethod(self, QStringLiteral("onLoad"), {Value(ok)});
        return Value();
    });
    // MovieClip.loadVariables(url): the clip receives the variables.
    if (vm.movieClipProto) {
        vm.addMethod(vm.movieClipProto, QStringLiteral("loadVariables"), [](Interpreter& vm, const Value& self, Args a) {
            if (!a.empty())
                DataLoad::startVariables(vm, self.object(), vm.toString(a[0]));
            return Value();
        });
    }
    proto->define(QStringLiteral("contentType"), Value("application/x-www-form-urlencoded"), DontEnum);
}

} // namespace nimbrel::movie::avm1
