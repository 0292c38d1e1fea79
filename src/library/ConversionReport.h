#pragma once
// The message that ends a conversion run. "转换完成" alone only when every
// entry was written; otherwise the entries that failed, each with its reason.
#include "library/ProjectorWriter.h"
#include "platform/MessageBoxes.h"

namespace nimbrel::library {

class ConversionReport {
public:
    static const QString kDone;           // "转换完成"
    static constexpr int MaxListed = 20;  // failures named one by one; the rest are counted

    struct Message {
        QString text;
        platform::MessageBoxes::Icon icon = platform::MessageBoxes::Icon::None;
    };
    static Message forResult(const ProjectorWriter::Result& result);
};

} // namespace nimbrel::library
