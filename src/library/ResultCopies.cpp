#include "library/ResultCopies.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <filesystem>
#include <system_error>

namespace nimbrel::library {

namespace fs = std::filesystem;

namespace {
fs::path nativePath(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

QString reasonOf(const std::error_code& ec) { return QString::fromLocal8Bit(ec.message()); }
} // namespace

ResultCopies::Report ResultCopies::copyInto(const QStringList& files, const QString& folder) {
    Report report;
    QSet<QString> written;
    for (const QString& file : files) {
        const QString target = folder + QFileInfo(file).fileName();
        // Two results of one name would leave only the last: the first copy is kept.
        if (written.contains(target)) {
            report.failures.append({file, QStringLiteral("与本次拷贝的另一个文件同名")});
            continue;
        }
        const fs::path from = nativePath(file);
        const fs::path to = nativePath(target);
        std::error_code ec;
        if (!fs::is_regular_file(from, ec)) {
            report.failures.append({file, ec ? reasonOf(ec) : QStringLiteral("不是文件")});
            continue;
        }
        // Saving a result into its own folder leaves it where it is, which is a copy done.
        if (fs::equivalent(from, to, ec) && !ec) {
            ++report.copied;
            written.insert(target);
            continue;
        }
        ec.clear();
        if (fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec) && !ec) {
            ++report.copied;
            written.insert(target);
        } else
            report.failures.append({file, reasonOf(ec)});
    }
    return report;
}

QString ResultCopies::text(const Report& report) {
    QString out = QStringLiteral("拷贝") + QString::number(report.copied) + QStringLiteral("个文件完成");
    if (report.failures.isEmpty())
        return out;
    out += QStringLiteral("\n") + QString::number(report.failures.size()) + QStringLiteral("个文件未能拷贝：");
    for (const Failure& f : report.failures)
        out += QStringLiteral("\n") + f.path + QStringLiteral("：") + f.reason;
    return out;
}

} // namespace nimbrel::library
