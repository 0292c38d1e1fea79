#include "movie/swf/Timeline.h"

namespace nimbrel::movie::swf {

int Timeline::frameOfLabel(const QString& label) const {
    for (size_t i = 0; i < frames.size(); ++i)
        if (!frames[i].label.isEmpty() && frames[i].label.compare(label, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

} // namespace nimbrel::movie::swf
