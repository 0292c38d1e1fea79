#include "library/ConversionReport.h"

namespace nimbrel::library {

using Icon = platform::MessageBoxes::Icon;

const QString ConversionReport::kDone = QStringLiteral("转换完成");

ConversionReport::Message ConversionReport::forResult(const ProjectorWriter::Result& result) {
    const qsizetype failed = result.failedCount();
    if (failed == 0)
        return {kDone, Icon::None};
    if (!result.stubError.isEmpty())
        return {QStringLiteral("没有转换任何文件：%1").arg(result.stubError), Icon::Critical};

    QString text = QStringLiteral("%1，但有 %2 个文件没有转换成功（共 %3 个）：\n")
                       .arg(kDone)
                       .arg(failed)
                       .arg(result.entries.size());
    int listed = 0;
    for (const ProjectorWriter::Entry& e : result.entries) {
        if (e.written)
            continue;
        if (listed == MaxListed) {
            text += QStringLiteral("\n……另有 %1 个").arg(failed - listed);
            break;
        }
        text += QStringLiteral("\n%1：%2").arg(e.source, e.error);
        ++listed;
    }
    return {text, Icon::Exclamation};
}

} // namespace nimbrel::library
