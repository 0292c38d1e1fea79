#pragma once
// MovieClip's drawing methods (beginFill, lineStyle, moveTo, lineTo...).
namespace nimbrel::movie::avm1 {

class Interpreter;

// Installs the drawing methods on MovieClip.prototype; runs after the class exists.
void installMovieClipDrawing(Interpreter& vm);

} // namespace nimbrel::movie::avm1
