#pragma once
// A flash.display.LoaderInfo: what is known of a movie or picture being (or
// done being) loaded, for the main movie or for a Loader's content.
#include "movie/avm2/EventTargetObject.h"
#include <QByteArray>
#include <QSize>
#include <memory>

namespace nimbrel::movie::swf {
struct Movie;
}

namespace nimbrel::movie::avm2 {

class LoaderInfoObject : public EventTargetObject {
public:
    QString url;         // empty: not known yet (null to scripts)
    QString loaderUrl;   // the address of the movie that loads
    qint64 bytesLoaded = 0, bytesTotal = 0;
    // What came, once its kind is known: a movie, or a picture of a size.
    std::shared_ptr<const swf::Movie> movie;
    bool picture = false;
    QSize pictureSize;
    QByteArray bytes;
    Value content = Value::null();
    Value loader = Value::null();
    Value parameters;    // made on first use
    Value sharedEvents, uncaughtErrorEvents;
    bool announced = false; // the main movie's init and complete were sent
    bool started = false;   // a load was asked for
};

} // namespace nimbrel::movie::avm2
