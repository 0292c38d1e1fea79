#include "movie/display/StageLevels.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include <utility>

namespace nimbrel::movie::display {

MovieClip* StageLevels::at(int n) const {
    auto it = levels_.find(n);
    return it == levels_.end() ? nullptr : it->second.get();
}

MovieClip* StageLevels::place(MovieContext& mainContext, int n, std::shared_ptr<const swf::Movie> movie) {
    if (n < 1 || n > maxLevel || !movie) return nullptr;
    MovieContext* ctx = mainContext.contextForLoaded(std::move(movie));
    if (!ctx) return nullptr;
    remove(n);
    auto clip = std::make_shared<MovieClip>(ctx, 0, &ctx->movie()->timeline);
    // Paths (_levelN) and depths are read from where the root stands.
    clip->setDepth(n);
    levels_[n] = clip;
    ctx->scripts().objectCreated(clip.get());
    clip->start();
    clip->flushActions();
    return clip.get();
}

void StageLevels::remove(int n) {
    auto it = levels_.find(n);
    if (it == levels_.end()) return;
    auto gone = it->second; // alive while its unload handlers run
    levels_.erase(it);
    gone->removed();
}

void StageLevels::clear() {
    for (const auto& [n, clip] : std::exchange(levels_, {})) clip->removed();
}

std::vector<std::shared_ptr<MovieClip>> StageLevels::roots() const {
    std::vector<std::shared_ptr<MovieClip>> out;
    out.reserve(levels_.size());
    for (const auto& [n, clip] : levels_) out.push_back(clip);
    return out;
}

} // namespace nimbrel::movie::display
