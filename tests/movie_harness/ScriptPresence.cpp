#include "ScriptPresence.h"
#include <type_traits>
#include <variant>

namespace swf = nimbrel::movie::swf;

bool ScriptPresence::timelineScripted(const swf::Timeline& timeline) {
    for (const swf::Frame& frame : timeline.frames)
        for (const swf::ControlTag& tag : frame.tags) {
            const bool scripted = std::visit(
                [](const auto& t) {
                    using T = std::decay_t<decltype(t)>;
                    if constexpr (std::is_same_v<T, swf::DoAction> || std::is_same_v<T, swf::DoInitAction>)
                        return true;
                    else if constexpr (std::is_same_v<T, swf::PlaceObject>)
                        return !t.clipActions.empty();
                    else
                        return false;
                },
                tag);
            if (scripted) return true;
        }
    return false;
}

bool ScriptPresence::scripted(const swf::Movie& movie) {
    if (!movie.abcBlocks.empty() || timelineScripted(movie.timeline)) return true;
    for (const auto& [id, character] : movie.characters) {
        if (const auto* sprite = std::get_if<std::shared_ptr<const swf::SpriteDef>>(&character)) {
            if (*sprite && timelineScripted((*sprite)->timeline)) return true;
        } else if (const auto* button = std::get_if<std::shared_ptr<const swf::ButtonDef>>(&character)) {
            if (*button && !(*button)->actions.empty()) return true;
        }
    }
    return false;
}
