#include "movie/avm1/DataLoad.h"
#include "movie/avm1/ArrayObject.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/UrlVariables.h"
#include <QStringDecoder>

namespace nimbrel::movie::avm1 {

bool DataLoad::startMarked(Interpreter& vm, Object* target, const QString& url)
{
    if (!target)
        return false;
    target->set(QStringLiteral("loaded"), Value(false));
    return start(vm, target, url);
}

bool DataLoad::start(Interpreter& vm, Object* target, const QString& url)
{
    if (!target)
        return false;
    target->define(QStringLiteral("_bytesLoaded"), Value(0), DontEnum);
    target->define(QStringLiteral("_bytesTotal"), Value(), DontEnum);
    return LoadQueue::of(vm).start(target, url, [target](Interpreter& vm, const std::optional<QByteArray>& data) {
        Value text;
        // An empty answer reads as no answer: onData hears undefined.
        if (data && !data->isEmpty())
            text = Value(decode(*data));
        if (data) {
            target->define(QStringLiteral("_bytesLoaded"), Value(double(data->size())), DontEnum);
            target->define(QStringLiteral("_bytesTotal"), Value(double(data->size())), DontEnum);
        }
        Value handler = target->get(QStringLiteral("onData"));
        if (handler.isObject())
            vm.callSafely(handler, Value(target), {text});
    });
}

bool DataLoad::startVariables(Interpreter& vm, Object* target, const QString& url)
{
    if (!target)
        return false;
    return LoadQueue::of(vm).start(target, url, [target](Interpreter&, const std::optional<QByteArray>& data) {
        if (!data)
            return;
        for (const auto& [name, value] : UrlVariables::decode(decode(*data)))
            target->set(name, Value(value));
    });
}

QString DataLoad::decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        auto decoder = QStringDecoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    return QString::fromUtf8(bytes);
}

void DataLoad::installByteCounts(Interpreter& vm, Object* proto)
{
    vm.addMethod(proto, QStringLiteral("getBytesLoaded"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) {
        return vm.getMember(self, QStringLiteral("_bytesLoaded"));
    });
    vm.addMethod(proto, QStringLiteral("getBytesTotal"), [](Interpreter& vm, const Value& self, const std::vector<Value>&) {
        return vm.getMember(self, QStringLiteral("_bytesTotal"));
    });
}

void DataLoad::installRequestHeaders(Interpreter& vm, Object* proto)
{
    vm.addMethod(proto, QStringLiteral("addRequestHeader"), [](Interpreter& vm, const Value& self, const std::vector<Value>& a) {
        Object* o = self.object();
        if (!o)
            return Value();
        Value list = o->get(QStringLiteral("_customHeaders"));
        auto* headers = dynamic_cast<ArrayObject*>(list.object());
        if (!headers) {
            headers = vm.newArray();
            o->define(QStringLiteral("_customHeaders"), Value(static_cast<Object*>(headers)), DontEnum);
        }
        // Either a name and a value, or one array of name, value pairs.
        if (auto* pairs = dynamic_cast<ArrayObject*>(arg(a, 0).object())) {
            for (size_t i = 0; i + 1 < pairs->elements.size() && headers->elements.size() < 4096; i += 2) {
                headers->elements.push_back(pairs->elements[i]);
                headers->elements.push_back(pairs->elements[i + 1]);
            }
        } else if (a.size() >= 2 && headers->elements.size() < 4096) {
            headers->elements.push_back(a[0]);
            headers->elements.push_back(a[1]);
        }
        return Value();
    });
}

} // namespace nimbrel::movie::avm1
