#pragma once
// Turns the bytes of an SWF file into a Movie. Damaged files give an error
// when nothing usable is left, otherwise the valid part with warnings.
#include "movie/swf/Movie.h"
#include "movie/swf/ParseResult.h"
#include "movie/swf/TagReader.h"
#include <QByteArray>
#include <memory>

namespace nimbrel::movie::swf {

class MovieParser {
public:
    static ParseResult<std::shared_ptr<const Movie>> parse(const QByteArray& file);

private:
    explicit MovieParser(Movie& m) : movie_(m) {}
    void readTimeline(TagReader& tags, Timeline& timeline, int declaredFrames, bool insideSprite);
    void readDefinition(const Tag& tag);
    void addVideoFrame(const Tag& tag);
    void readAbcTag(const Tag& tag, int frame);
    void warn(const QString& text);

    Movie& movie_;
    QByteArray jpegTables_;
};

} // namespace nimbrel::movie::swf
