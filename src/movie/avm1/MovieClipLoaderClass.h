#pragma once
// MovieClipLoader: loads movies into clips and tells its listeners (itself
// first) how the load went: onLoadStart, onLoadProgress, onLoadComplete,
// then onLoadInit once the loaded movie's first frame has run, or onLoadError.

namespace nimbrel::movie::avm1 {

class Interpreter;

void installMovieClipLoaderClass(Interpreter& vm);

} // namespace nimbrel::movie::avm1
