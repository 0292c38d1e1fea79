#pragma once
// flash.display.Loader and LoaderInfo: movies and pictures loaded into a
// display object, the main movie's own LoaderInfo, and the end of each frame
// where loads hand over what has come.
#include "movie/avm2/Value.h"

namespace nimbrel::movie::avm2 {
class ClassObject;
class LoadRequests;
class Runtime;
class LoaderClasses {
public:
    static void install(Runtime& rt);
    // DisplayObject.loaderInfo, for the display classes to list.
    static void addDisplayMembers(ClassObject& displayObject);
    // The frame's scripts ran: the main movie tells it has loaded (once), loads answer.
    static void frameEnded(Runtime& rt, int frame);
    // The loads of the movie's scripts, made on first use (null without a player).
    static LoadRequests* requests(Runtime& rt);
};
} // namespace nimbrel::movie::avm2
