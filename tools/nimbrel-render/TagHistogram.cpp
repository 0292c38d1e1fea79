#include "TagHistogram.h"
#include "movie/swf/BitReader.h"
#include "movie/swf/TagCode.h"
#include "movie/swf/TagReader.h"

using namespace nimbrel::movie::swf;

TagHistogram TagHistogram::of(const QByteArray& body) {
    TagHistogram h;
    BitReader r(reinterpret_cast<const uint8_t*>(body.constData()), size_t(body.size()));
    r.rect();
    r.u16();
    r.u16();
    TagReader tags(r.current(), r.remaining());
    Tag tag;
    while (tags.next(tag)) {
        h.topLevel[tagName(tag.code)]++;
        if (tag.code != TagDefineSprite || tag.length < 4) continue;
        TagReader inner(tag.body + 4, tag.length - 4);
        Tag t;
        while (inner.next(t)) h.inSprites[tagName(t.code)]++;
    }
    h.truncated = tags.truncated();
    return h;
}
