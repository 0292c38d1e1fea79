#include "movie/host/DeviceFontRegistry.h"
#include <QFile>
#include <QFontDatabase>

namespace nimbrel::movie::host {

DeviceFontRegistry& DeviceFontRegistry::instance() {
    static DeviceFontRegistry registry;
    return registry;
}

std::optional<QString> DeviceFontRegistry::addFontFile(const QString& family, const QString& path) {
    if (family.trimmed().isEmpty()) return QStringLiteral("no family named for %1").arg(path);
    if (!QFile::exists(path)) return QStringLiteral("font file not found: %1").arg(path);
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList loaded = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (loaded.isEmpty()) {
        if (id >= 0) QFontDatabase::removeApplicationFont(id);
        return QStringLiteral("not a usable font file: %1").arg(path);
    }
    std::lock_guard guard(lock_);
    loadedIds_.push_back(id);
    families_.insert(family.trimmed().toLower(), loaded.first());
    ++generation_;
    return std::nullopt;
}

void DeviceFontRegistry::setDefaultFamilies(Generic generic, const QStringList& families) {
    std::lock_guard guard(lock_);
    defaults_.insert(int(generic), families);
    ++generation_;
}

void DeviceFontRegistry::reset() {
    std::lock_guard guard(lock_);
    if (families_.isEmpty() && defaults_.isEmpty() && loadedIds_.empty()) return;
    for (int id : loadedIds_) QFontDatabase::removeApplicationFont(id);
    loadedIds_.clear();
    families_.clear();
    defaults_.clear();
    ++generation_;
}

QString DeviceFontRegistry::registeredFamily(const QString& family) const {
    std::lock_guard guard(lock_);
    return families_.value(family.trimmed().toLower());
}

QString DeviceFontRegistry::defaultFamily(Generic generic) const {
    std::lock_guard guard(lock_);
    for (const QString& name : defaults_.value(int(generic))) {
        if (const QString loaded = families_.value(name.trimmed().toLower()); !loaded.isEmpty()) return loaded;
        if (QFontDatabase::hasFamily(name)) return name;
    }
    return {};
}

quint64 DeviceFontRegistry::generation() const {
    std::lock_guard guard(lock_);
    return generation_;
}

} // namespace nimbrel::movie::host
