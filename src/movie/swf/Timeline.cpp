#include "movie/swf/Timeline.h"

namespace nimbrel::movie::swf {

const Frame& Timeline::frame(int index) const {
    static const Frame empty;
    return index >= 0 && size_t(index) < frames.size() ? frames[size_t(index)] : empty;
}

int Timeline::frameOfLabel(const QString& label) const {
    for (size_t i = 0; i < frames.size(); ++i)
        if (!frames[i].label.isEmpty() && frames[i].label.compare(label, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

} // namespace nimbrel::movie::swf
