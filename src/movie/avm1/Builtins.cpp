#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipDrawing.h"
#include "movie/avm1/NativeTables.h"

namespace nimbrel::movie::avm1 {

void installBuiltins(Interpreter& vm)
{
    // The two roots of every prototype chain come first.
    vm.objectProto = vm.newObject(nullptr);
    vm.functionProto = vm.newObject(vm.objectProto);
    // The global object inherits nothing: it has no toString or valueOf of its own.
    vm.global = vm.newObject(nullptr);
    installObjectClass(vm);
    installFunctionClass(vm);
    installArrayClass(vm);
    installStringClass(vm);
    installNumberClass(vm);
    installBooleanClass(vm);
    installMathClass(vm);
    installDateClass(vm);
    installErrorClass(vm);
    installGlobalFunctions(vm);
    installMovieClipClass(vm);
    installMovieClipDrawing(vm);
    installTextFieldClass(vm);
    installStageObjects(vm);
    installSelectionClass(vm);
    installSoundClass(vm);
    installColorClass(vm);
    installSystemObject(vm);
    installXmlNodeClass(vm);
    installXmlClass(vm);
    installLoadVarsClass(vm);
    installNetConnectionClass(vm);
    installContextMenuClass(vm);
    installPrintJobClass(vm);
    installExternalInterfaceClass(vm);
    installStyleSheetClass(vm);
    installSharedObjectClass(vm);
    installPointClass(vm);
    installRectangleClass(vm);
    installMatrixClass(vm);
    installColorTransformClass(vm);
    installTransformClass(vm);
    installBitmapDataClass(vm);
    installAttachBitmap(vm);
    vm.movieClipProto->setFlags(QStringLiteral("attachBitmap"), OnlySwf8Up, 0);
    installFilterClasses(vm);
    installDeviceClasses(vm);
    installNetStreamClass(vm);
    installTextSnapshotClass(vm);
    installNativeTables(vm);
}

} // namespace nimbrel::movie::avm1
