#pragma once
// Outlines of scaling strokes, kept across frames. A stroke whose width
// scales with its shape has the same outline in shape units under any
// matrix; only how finely its curves are followed depends on the scale. So
// the outline is made once per path, pen and scale bucket (a quarter octave)
// and filled under whatever matrix the object has this frame, rather than
// stroked anew on every draw.
#include <QHash>
#include <QPainterPath>
#include <QPen>
#include <cstdint>

namespace nimbrel::movie::render {

class StrokeCache {
public:
    // Outline of `path` stroked with `pen` (width in path units, not
    // cosmetic) to be filled under a transform scaling it by `scale`.
    const QPainterPath& outline(const QPainterPath& path, const QPen& pen, double scale);
    // The same outline made afresh.
    static QPainterPath stroke(const QPainterPath& path, const QPen& pen, double scale);
    // Buckets are quarter octaves: an outline is made for the largest scale of its bucket.
    static int bucketOf(double scale);

    // Starts a frame: outlines not used for a while are dropped.
    void nextFrame();
    void clear();
    qsizetype size() const { return entries_.size(); }

    // Frames an outline is kept without being used.
    static constexpr int keptFrames = 120;
    // Beyond this many outlines everything is dropped and made anew.
    static constexpr qsizetype maxEntries = 4096;

private:
    struct Key {
        const QPainterPath* path; // paths of a movie's shapes, which never change
        int bucket;
        double width, miterLimit;
        int cap, join;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed) {
        return qHashMulti(seed, k.path, k.bucket, k.width, k.miterLimit, k.cap, k.join);
    }
    struct Entry {
        // A copy of the stroked path: it shares the original's data, so while
        // that lives telling them apart costs a pointer comparison, and a
        // path made later at the same address is not mistaken for it.
        QPainterPath source;
        QPainterPath outline;
        uint64_t used = 0;
    };
    QHash<Key, Entry> entries_;
    uint64_t frame_ = 0;
};

} // namespace nimbrel::movie::render
