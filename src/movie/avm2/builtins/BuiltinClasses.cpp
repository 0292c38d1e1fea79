#include "movie/avm2/builtins/BuiltinClasses.h"
#include "movie/avm2/builtins/ApplicationDomainClass.h"
#include "movie/avm2/builtins/ArrayClass.h"
#include "movie/avm2/builtins/BitmapClass.h"
#include "movie/avm2/builtins/BitmapDataClass.h"
#include "movie/avm2/builtins/BooleanClass.h"
#include "movie/avm2/builtins/ByteArrayClass.h"
#include "movie/avm2/builtins/DateClass.h"
#include "movie/avm2/builtins/DictionaryClass.h"
#include "movie/avm2/builtins/DisplayClasses.h"
#include "movie/avm2/builtins/EventClasses.h"
#include "movie/avm2/builtins/GeomClasses.h"
#include "movie/avm2/builtins/GraphicsClass.h"
#include "movie/avm2/builtins/SystemClass.h"
#include "movie/avm2/builtins/TextClasses.h"
#include "movie/avm2/builtins/TimerClass.h"
#include "movie/avm2/builtins/UriFunctions.h"
#include "movie/avm2/builtins/ErrorClasses.h"
#include "movie/avm2/builtins/FunctionClass.h"
#include "movie/avm2/builtins/JsonClass.h"
#include "movie/avm2/builtins/LoadEventClasses.h"
#include "movie/avm2/builtins/LoaderClasses.h"
#include "movie/avm2/builtins/NetClasses.h"
#include "movie/avm2/builtins/KeyboardClasses.h"
#include "movie/avm2/builtins/GlobalFunctions.h"
#include "movie/avm2/builtins/MathClass.h"
#include "movie/avm2/builtins/NamespaceClass.h"
#include "movie/avm2/builtins/NetConnectionClasses.h"
#include "movie/avm2/builtins/NumberClass.h"
#include "movie/avm2/builtins/ObjectClass.h"
#include "movie/avm2/builtins/ProxyClass.h"
#include "movie/avm2/builtins/RegExpClass.h"
#include "movie/avm2/builtins/SimpleButtonClass.h"
#include "movie/avm2/builtins/SoundClasses.h"
#include "movie/avm2/builtins/StringClass.h"
#include "movie/avm2/builtins/VectorClass.h"
#include "movie/avm2/builtins/QNameClass.h"
#include "movie/avm2/builtins/ReflectionFunctions.h"
#include "movie/avm2/builtins/XmlClass.h"
#include "movie/avm2/builtins/XmlDocumentClasses.h"
#include "movie/avm2/builtins/XmlListClass.h"

namespace nimbrel::movie::avm2 {

void BuiltinClasses::install(Runtime& rt) {
    ObjectClass::install(rt); // Object, then Class
    FunctionClass::install(rt);
    BooleanClass::install(rt);
    NumberClass::install(rt);
    StringClass::install(rt);
    RegExpClass::install(rt);
    ArrayClass::install(rt);
    VectorClass::install(rt);
    MathClass::install(rt);
    JsonClass::install(rt);
    DictionaryClass::install(rt);
    ByteArrayClass::install(rt);
    ApplicationDomainClass::install(rt);
    DateClass::install(rt);
    NamespaceClass::install(rt);
    QNameClass::install(rt);
    XmlClass::install(rt);
    XmlListClass::install(rt);
    ErrorClasses::install(rt);
    GlobalFunctions::install(rt);
    ReflectionFunctions::install(rt);
    UriFunctions::install(rt);
    ProxyClass::install(rt);
    EventClasses::install(rt);
    SoundClasses::install(rt);
    NetConnectionClasses::install(rt);
    GeomClasses::install(rt);
    GraphicsClass::install(rt);
    DisplayClasses::install(rt);
    TextClasses::install(rt);
    BitmapDataClass::install(rt);
    BitmapClass::install(rt);
    LoadEventClasses::install(rt);
    LoaderClasses::install(rt);
    NetClasses::install(rt);
    SimpleButtonClass::install(rt);
    TimerClass::install(rt);
    SystemClass::install(rt);
    KeyboardClasses::install(rt);
    XmlDocumentClasses::install(rt);
}

} // namespace nimbrel::movie::avm2
