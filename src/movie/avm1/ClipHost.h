#pragma once
// What the interpreter needs from the timeline that owns the movie clips:
// frame navigation and the clip life cycle. The headless trace player and
// the full movie player each provide one.
#include "movie/avm1/Value.h"
#include <QString>

namespace nimbrel::movie::avm1 {

class MovieClipObject;
class Object;

class ClipHost {
public:
    virtual ~ClipHost() = default;
    // 1-based frame; beyond the last frame goes to the last.
    virtual void gotoFrame(MovieClipObject* clip, int frame, bool play) = 0;
    // 1-based frame of a label, or 0.
    virtual int frameOfLabel(MovieClipObject* clip, const QString& label) = 0;
    // Runs the actions of a frame without moving there (ActionCall).
    virtual void callFrame(MovieClipObject* clip, int frame) = 0;
    virtual MovieClipObject* createEmptyClip(MovieClipObject* parent, const QString& name, int depth) = 0;
    virtual MovieClipObject* attachClip(MovieClipObject* parent, const QString& exportName, const QString& name,
                                        int depth, Object* init) = 0;
    virtual MovieClipObject* duplicateClip(MovieClipObject* clip, const QString& name, int depth, Object* init) = 0;
    virtual void removeClip(MovieClipObject* clip) = 0;
    virtual void swapDepths(MovieClipObject* clip, int depth) = 0;
    virtual MovieClipObject* createTextField(MovieClipObject* parent, const QString& name, int depth, double x,
                                             double y, double w, double h) = 0;
    virtual void getUrl(const QString& url, const QString& target, int method) = 0;
    virtual void loadMovie(MovieClipObject* clip, const QString& url) = 0;
};

} // namespace nimbrel::movie::avm1
