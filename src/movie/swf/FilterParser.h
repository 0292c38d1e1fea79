#pragma once
#include "movie/swf/BitReader.h"
#include "movie/swf/Filter.h"
#include <vector>

namespace nimbrel::movie::swf {

// Reads a FILTERLIST (count byte, then the filters). On truncated or unknown
// data the reader's failed() is set and the filters read so far are returned.
std::vector<Filter> parseFilterList(BitReader& r);

} // namespace nimbrel::movie::swf
