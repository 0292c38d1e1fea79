#pragma once
// Text loads for script objects (XML, LoadVars, StyleSheet): fetch, then
// call the object's onData with the text, or with undefined on failure.
#include <QByteArray>
#include <QString>

namespace nimbrel::movie::avm1 {

class Interpreter;
class Object;

class DataLoad {
public:
    // Starts loading `url` for `target`; false when there is nothing to load.
    static bool start(Interpreter& vm, Object* target, const QString& url);
    // load() and sendAndLoad() of XML and LoadVars: `loaded` reads false
    // until the answer has been handled, then start().
    static bool startMarked(Interpreter& vm, Object* target, const QString& url);
    // loadVariables: the loaded variables become the target's own, as strings.
    static bool startVariables(Interpreter& vm, Object* target, const QString& url);
    // Loaded bytes as text: UTF-8 with or without a byte order mark, UTF-16 with one.
    static QString decode(const QByteArray& bytes);
    // getBytesLoaded / getBytesTotal: undefined until a load has answered.
    static void installByteCounts(Interpreter& vm, Object* proto);
    // addRequestHeader: headers kept in the object for the requests it makes.
    static void installRequestHeaders(Interpreter& vm, Object* proto);
};

} // namespace nimbrel::movie::avm1
