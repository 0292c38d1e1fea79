#pragma once
// The shared pixel operations under the names the first machine's BitmapData uses.
#include "movie/avm1/BitmapDataObject.h"
#include "movie/bitmap/BitmapOps.h"

namespace nimbrel::movie::avm1 {

using bitmap::AlphaBit;
using bitmap::applyThreshold;
using bitmap::BlueBit;
using bitmap::ChannelTable;
using bitmap::colorBounds;
using bitmap::copyChannelFrom;
using bitmap::differences;
using bitmap::fillNoise;
using bitmap::floodFill;
using bitmap::GreenBit;
using bitmap::hitTestBitmap;
using bitmap::hitTestPoint;
using bitmap::hitTestRect;
using bitmap::mergeFrom;
using bitmap::NoiseSequence;
using bitmap::paletteMapFrom;
using bitmap::RedBit;
using bitmap::ThresholdTest;
using bitmap::transformColors;

} // namespace nimbrel::movie::avm1
