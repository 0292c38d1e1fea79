#pragma once
// The events of loading (ProgressEvent, IOErrorEvent, HTTPStatusEvent and
// their kin): an Event with the figures and text its class adds.
#include "movie/avm2/EventObject.h"
#include <QHash>

namespace nimbrel::movie::avm2 {

class LoadEventObject : public EventObject {
public:
    QHash<QString, Value> fields;
};

} // namespace nimbrel::movie::avm2
