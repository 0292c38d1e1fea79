#pragma once
// QName: a namespace URI and a local name, as XML names and runtime names use them.
#include "movie/avm2/Runtime.h"

namespace nimbrel::movie::avm2 {

class QNameClass {
public:
    static void install(Runtime& rt);
    static Value make(Runtime& rt, const QString& uri, const QString& local, const QString& prefix = QString());
};

} // namespace nimbrel::movie::avm2
