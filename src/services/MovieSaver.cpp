#include "services/MovieSaver.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace nimbrel::services {

const QString MovieSaver::kDialogTitle = QStringLiteral("文件另存为...");

namespace {

const QString kAppTitle = QStringLiteral("Quorvane FlashPlayer");

MovieSaver::Outcome outcome(MovieSaver::Status status, const QString& message, const QString& title) {
    MovieSaver::Outcome o;
    o.status = status;
    o.message = message;
    o.title = title;
    return o;
}

// Copies `from` to `to` through a temporary file renamed over `to` at the end.
QString copyReplacing(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    QSaveFile target(to); // never falls back to writing the target in place
    if (!target.open(QIODevice::WriteOnly))
        return target.errorString();
    QByteArray chunk;
    constexpr qint64 kChunk = 256 * 1024;
    while (!source.atEnd()) {
        chunk = source.read(kChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return source.errorString();
        if (target.write(chunk) != chunk.size())
            return target.errorString();
    }
    if (source.error() != QFileDevice::NoError)
        return source.errorString();
    if (!target.commit())
        return target.errorString();
    return {};
}

} // namespace

std::optional<MovieSaver::Outcome> MovieSaver::checkMovie(const QString& moviePath) {
    if (!moviePath.isEmpty() && QFileInfo(moviePath).isFile())
        return std::nullopt;
    Outcome o = outcome(Status::MissingMovie, QStringLiteral("这个文件不存在,请检查"), QStringLiteral("检查"));
    o.informationIcon = true;
    return o;
}

QString MovieSaver::targetName(const QString& chosenName) {
    if (chosenName.endsWith(QStringLiteral(".swf"), Qt::CaseInsensitive))
        return chosenName;
    return chosenName + QStringLiteral(".swf");
}

MovieSaver::Outcome MovieSaver::save(const QString& moviePath, const QString& chosenName) {
    if (auto missing = checkMovie(moviePath))
        return *missing;
    if (chosenName.isEmpty())
        return outcome(Status::NoName, QStringLiteral("请输入有效的文件名"), kAppTitle);

    const QString target = targetName(chosenName);
    const QString error = copyReplacing(moviePath, target);
    Outcome o = error.isEmpty() ? outcome(Status::Saved, QStringLiteral("文件存储成功"), kAppTitle)
                                : outcome(Status::Failed, QStringLiteral("文件存储失败\n%1").arg(error), kAppTitle);
    o.target = target;
    o.reason = error;
    return o;
}

} // namespace nimbrel::services
