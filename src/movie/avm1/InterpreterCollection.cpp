// Garbage collection: objects no script can reach are freed between action
// lists, and a run allocating without bound is stopped.
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/avm1/MovieClipObject.h"

namespace nimbrel::movie::avm1 {

void Interpreter::checkHeap()
{
    // A runaway script allocating in a loop is stopped before memory runs out.
    if (topLevelDepth_ > 0 && heap_.size() > heapAtStart_ + kMaxObjectsPerRun)
        throw ScriptAbort{QStringLiteral("too many objects")};
}

void Interpreter::maybeCollectGarbage()
{
    if (topLevelDepth_ == 0 && heap_.size() > 2 * liveAfterGc_ + 20000)
        collectGarbage();
}

void Interpreter::collectGarbage()
{
    if (topLevelDepth_ != 0)
        return;
    std::vector<Object*> work;
    for (size_t i = 0; i < pinned_ && i < heap_.size(); ++i)
        work.push_back(heap_[i].get());
    for (MovieClipObject* w : wrappers_)
        work.push_back(w);
    for (const Value& v : leftoverStack)
        if (v.isObject())
            work.push_back(v.o);
    for (Object* c : registeredClasses)
        work.push_back(c);
    if (root)
        work.push_back(root);
    if (loads)
        loads->markRoots(work);
    for (const auto& [voice, sound] : playingSounds)
        work.push_back(sound);
    for (const auto& [sound, stream] : soundStreams)
        work.push_back(sound);
    for (Object* stream : netStreams)
        work.push_back(stream);
    for (const Timer& t : timers) {
        if (t.target.isObject())
            work.push_back(t.target.o);
        for (const Value& a : t.args)
            if (a.isObject())
                work.push_back(a.o);
    }
    for (auto& o : heap_)
        o->marked = false;
    while (!work.empty()) {
        Object* o = work.back();
        work.pop_back();
        if (!o || o->marked)
            continue;
        o->marked = true;
        o->markChildren(work);
    }
    size_t keep = 0;
    for (size_t i = 0; i < heap_.size(); ++i) {
        if (heap_[i]->marked || i < pinned_) {
            if (keep != i)
                heap_[keep] = std::move(heap_[i]);
            ++keep;
        }
    }
    heap_.resize(keep);
    liveAfterGc_ = keep;
}

} // namespace nimbrel::movie::avm1
