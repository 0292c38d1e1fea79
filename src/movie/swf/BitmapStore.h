#pragma once
// The bitmap characters of a movie, kept as their tags' bytes and decoded
// on first use: a large movie full of photos loads without decoding (and
// holding) every picture it may never show. Copies share the decoded images.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>

namespace nimbrel::movie::swf {

class BitmapStore {
public:
    // A bitmap tag's body (its id first) and the movie's JPEGTables at that point.
    void add(uint16_t id, int tagCode, const QByteArray& body, const QByteArray& jpegTables);
    bool contains(uint16_t id) const { return entries_.count(id) != 0; }
    size_t size() const { return entries_.size(); }
    // The image, decoded now if it was not yet; nullptr when the id is unknown
    // or its data cannot be decoded.
    const QImage* image(uint16_t id) const;
    // Decodes every bitmap; what could not be decoded, one line each.
    QStringList decodeAll() const;

private:
    struct Entry;
    static const QImage* decode(Entry& e);
    std::map<uint16_t, std::shared_ptr<Entry>> entries_;
};

} // namespace nimbrel::movie::swf
