#include "movie/avm2/builtins/TextClasses.h"
#include "movie/avm2/Runtime.h"
#include "movie/avm2/builtins/FontClass.h"
#include "movie/avm2/builtins/StyleSheetClass.h"
#include "movie/avm2/builtins/TextEventClasses.h"
#include "movie/avm2/builtins/TextFieldClass.h"
#include "movie/avm2/builtins/TextFormatClass.h"

namespace nimbrel::movie::avm2 {

void TextClasses::install(Runtime& rt) {
    TextFormatClass::install(rt);
    if (ClassObject* interactive = rt.builtin(QStringLiteral("flash.display.InteractiveObject")))
        TextFieldClass::install(rt, *interactive);
    FontClass::install(rt);
    StyleSheetClass::install(rt);
    TextEventClasses::install(rt);
}

} // namespace nimbrel::movie::avm2
