#pragma once
// Installation of the built-in classes and global functions, one file each.
#include "movie/avm1/Value.h"
#include <vector>

namespace nimbrel::movie::display {
class DisplayObject;
}

namespace nimbrel::movie::avm1 {

class Interpreter;

void installBuiltins(Interpreter& vm);
void installObjectClass(Interpreter& vm);
void installFunctionClass(Interpreter& vm);
void installArrayClass(Interpreter& vm);
void installStringClass(Interpreter& vm);
void installNumberClass(Interpreter& vm);
void installBooleanClass(Interpreter& vm);
void installMathClass(Interpreter& vm);
void installDateClass(Interpreter& vm);
void installErrorClass(Interpreter& vm);
void installGlobalFunctions(Interpreter& vm);
void installMovieClipClass(Interpreter& vm);
void installTextFieldClass(Interpreter& vm);
Object* installTextFormatClass(Interpreter& vm); // returns TextFormat.prototype
void installStageObjects(Interpreter& vm);
void installSelectionClass(Interpreter& vm);
void installSoundClass(Interpreter& vm);
// onSoundComplete for the Sound objects whose sound ended since the last call.
void deliverSoundEvents(Interpreter& vm);
void installNetStreamClass(Interpreter& vm); // and Video
// Plays every NetStream on by one frame and runs the handlers of what it reported.
void advanceNetStreams(Interpreter& vm, double frameMs);
// width, height, smoothing and deblocking of a Video instance; false for other names and objects.
bool getVideoProperty(display::DisplayObject* video, const QString& name, Value& out);
bool setVideoProperty(Interpreter& vm, display::DisplayObject* video, const QString& name, const Value& value);
// stopAllSounds: everything the movie plays stops.
void stopAllSounds(Interpreter& vm);
void installColorClass(Interpreter& vm);
void installSystemObject(Interpreter& vm);
void installXmlNodeClass(Interpreter& vm);
void installXmlClass(Interpreter& vm);
void installLoadVarsClass(Interpreter& vm);
void installNetConnectionClass(Interpreter& vm);
void installContextMenuClass(Interpreter& vm);
void installPrintJobClass(Interpreter& vm);
void installExternalInterfaceClass(Interpreter& vm);
void installStyleSheetClass(Interpreter& vm);
void installSharedObjectClass(Interpreter& vm);
void installPointClass(Interpreter& vm);
void installRectangleClass(Interpreter& vm);
void installMatrixClass(Interpreter& vm);
void installColorTransformClass(Interpreter& vm);
void installTransformClass(Interpreter& vm);
void installBitmapDataClass(Interpreter& vm);
void installAttachBitmap(Interpreter& vm);
void installFilterClasses(Interpreter& vm);
void installDeviceClasses(Interpreter& vm);
void installTextSnapshotClass(Interpreter& vm);

inline Value arg(const std::vector<Value>& args, size_t i)
{
    return i < args.size() ? args[i] : Value();
}

// The number Number(), isNaN and isFinite read from an argument: text without characters is NaN.
double numberArgument(Interpreter& vm, const Value& v);

} // namespace nimbrel::movie::avm1
