#include "movie/swf/BitmapStore.h"
#include "movie/swf/BitmapParser.h"
#include <mutex>

namespace nimbrel::movie::swf {

struct BitmapStore::Entry {
    int tagCode = 0;
    QByteArray body;
    QByteArray jpegTables;
    std::once_flag decoded;
    QImage image;
    QString error; // set when decoding failed
};

void BitmapStore::add(uint16_t id, int tagCode, const QByteArray& body, const QByteArray& jpegTables) {
    auto e = std::make_shared<Entry>();
    e->tagCode = tagCode;
    e->body = body;
    e->jpegTables = jpegTables;
    entries_.emplace(id, std::move(e));
}

const QImage* BitmapStore::decode(Entry& e) {
    std::call_once(e.decoded, [&e] {
        QString error;
        auto b = parseBitmap(e.tagCode, reinterpret_cast<const uint8_t*>(e.body.constData()), size_t(e.body.size()),
                             e.jpegTables, &error);
        if (b) e.image = std::move(b->image);
        else e.error = error.isEmpty() ? QStringLiteral("cannot decode") : error;
        // The encoded bytes are no longer needed either way.
        e.body = QByteArray();
        e.jpegTables = QByteArray();
    });
    return e.error.isEmpty() ? &e.image : nullptr;
}

const QImage* BitmapStore::image(uint16_t id) const {
    auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : decode(*it->second);
}

QStringList BitmapStore::decodeAll() const {
    QStringList problems;
    for (const auto& [id, e] : entries_)
        if (!decode(*e)) problems << QStringLiteral("bitmap %1: %2").arg(id).arg(e->error);
    return problems;
}

} // namespace nimbrel::movie::swf
