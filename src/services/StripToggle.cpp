#include "services/StripToggle.h"

namespace nimbrel::services {

StripToggle::Captions StripToggle::autoPlay() {
    return {QStringLiteral("自动播放"), QStringLiteral("取消自动播放")};
}

StripToggle::Captions StripToggle::clipboardWatch() {
    return {QStringLiteral("内存监控"), QStringLiteral("取消内存监控")};
}

StripToggle::Outcome StripToggle::toggle(const QString& stored, const Captions& captions) {
    const bool on = stored == QLatin1String("false");
    return {on, on ? QStringLiteral("true") : QStringLiteral("false"), caption(on, captions)};
}

} // namespace nimbrel::services
