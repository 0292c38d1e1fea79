#include "movie/display/FocusManager.h"
#include "movie/display/EditTextObject.h"
#include "movie/display/FocusTraits.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptEngine.h"
#include <QTransform>
#include <algorithm>

namespace nimbrel::movie::display {

namespace {

constexpr int kMaxDepth = 128;
// Bounds the work of one Tab press on a hostile display list.
constexpr size_t kMaxCandidates = 100000;

FocusTraits traitsOf(DisplayObject& o) {
    return o.context()->scripts().focusTraits(&o);
}

bool isInputField(const DisplayObject& o) {
    return o.type() == DisplayObject::Type::EditText && static_cast<const EditTextObject&>(o).input;
}

// Focusable by Tab unless a script said otherwise: input fields, buttons and
// clips acting as buttons.
bool tabbable(DisplayObject& o, const FocusTraits& t) {
    if (t.tabEnabled) return *t.tabEnabled;
    switch (o.type()) {
    case DisplayObject::Type::EditText: return isInputField(o);
    case DisplayObject::Type::Button: return true;
    case DisplayObject::Type::MovieClip: return t.actsAsButton;
    default: return false;
    }
}

struct Candidate {
    DisplayObject* object;
    std::optional<int32_t> tabIndex; // signed: indexes above 2^31 come first
    QPointF topLeft; // stage twips
};

void collect(MovieClip& clip, const QTransform& toStage, int depth, std::vector<Candidate>& out) {
    if (depth > kMaxDepth) return;
    for (const auto& [d, child] : clip.children()) {
        if (out.size() >= kMaxCandidates) return;
        DisplayObject& o = *child;
        if (!o.visible) continue;
        const auto type = o.type();
        if (type != DisplayObject::Type::EditText && type != DisplayObject::Type::Button &&
            type != DisplayObject::Type::MovieClip)
            continue;
        const QTransform childToStage = o.matrix.toQTransform() * toStage;
        const FocusTraits t = traitsOf(o);
        if (tabbable(o, t)) {
            const QRectF r = childToStage.mapRect(o.localBounds());
            // An index of -1 (all bits set) counts as none.
            std::optional<int32_t> index;
            if (t.tabIndex && *t.tabIndex != 0xFFFFFFFFu) index = int32_t(*t.tabIndex);
            out.push_back({&o, index, r.isNull() ? childToStage.map(QPointF()) : r.topLeft()});
        }
        if (type == DisplayObject::Type::MovieClip && t.tabChildren.value_or(true))
            collect(static_cast<MovieClip&>(o), childToStage, depth + 1, out);
    }
}

DisplayObject* fieldIn(MovieClip& clip, const QTransform& toStage, const QPointF& twips, int depth) {
    if (depth > kMaxDepth) return nullptr;
    const auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& o = *it->second;
        if (!o.visible || o.clipDepth > 0) continue;
        const QTransform childToStage = o.matrix.toQTransform() * toStage;
        if (o.type() == DisplayObject::Type::MovieClip) {
            if (auto* f = fieldIn(static_cast<MovieClip&>(o), childToStage, twips, depth + 1)) return f;
        } else if (o.type() == DisplayObject::Type::EditText) {
            bool invertible = false;
            const QPointF local = childToStage.inverted(&invertible).map(twips);
            if (invertible && o.localBounds().contains(local)) return &o;
        }
    }
    return nullptr;
}

// A field reached by script or by Tab comes with all its text selected.
void selectAllIn(DisplayObject* gaining, const DisplayObject* current) {
    if (gaining && gaining != current && gaining->type() == DisplayObject::Type::EditText)
        static_cast<EditTextObject*>(gaining)->selectAll();
}

bool within(const DisplayObject* o, const DisplayObject* ancestor) {
    for (int guard = 0; o && guard <= kMaxDepth; o = o->parent(), ++guard)
        if (o == ancestor) return true;
    return false;
}

} // namespace

DisplayObject* FocusManager::focused() const {
    return focused_.lock().get();
}

bool FocusManager::canFocus(DisplayObject& object) {
    // The main timeline and objects off the stage never hold focus.
    if (!object.parent()) return false;
    switch (object.type()) {
    case DisplayObject::Type::EditText:
    case DisplayObject::Type::Button:
        return true;
    case DisplayObject::Type::MovieClip: {
        const FocusTraits t = traitsOf(object);
        return t.focusEnabled || t.tabEnabled.value_or(false) || t.actsAsButton;
    }
    default:
        return false;
    }
}

bool FocusManager::setFocus(DisplayObject* object) {
    if (object && !canFocus(*object)) return false;
    selectAllIn(object, focused());
    moveTo(object);
    keyboardDriven_ = true;
    return true;
}

void FocusManager::tab(MovieClip& root, bool backwards) {
    const std::vector<DisplayObject*> order = tabOrder(root);
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), focused());
    const long n = long(order.size());
    long next;
    if (at == order.end()) next = backwards ? n - 1 : 0;
    else next = ((at - order.begin()) + (backwards ? n - 1 : 1)) % n;
    selectAllIn(order[size_t(next)], focused());
    moveTo(order[size_t(next)]);
    keyboardDriven_ = true;
}

void FocusManager::pointerPressed(MovieClip& root, const QPointF& twips, bool onButton) {
    DisplayObject* field = onButton ? nullptr : fieldAt(root, twips);
    if (field) {
        const auto& f = static_cast<const EditTextObject&>(*field);
        if (!f.input && !f.selectable) field = nullptr;
    }
    moveTo(field);
    keyboardDriven_ = false;
}

DisplayObject* FocusManager::fieldAt(MovieClip& root, const QPointF& twips) {
    return fieldIn(root, root.matrix.toQTransform(), twips, 0);
}

void FocusManager::dropWithin(const DisplayObject* object) {
    DisplayObject* f = focused();
    if (f && object && within(f, object)) moveTo(nullptr);
}

void FocusManager::moveTo(DisplayObject* object) {
    DisplayObject* old = focused();
    if (old == object) return;
    // Held: the handlers told below may remove either object.
    std::shared_ptr<DisplayObject> keepOld = old ? old->shared_from_this() : nullptr;
    std::shared_ptr<DisplayObject> keepNew = object ? object->shared_from_this() : nullptr;
    focused_ = keepNew;
    DisplayObject* any = object ? object : old;
    any->context()->scripts().focusChanged(old, object);
}

std::vector<DisplayObject*> FocusManager::tabOrder(MovieClip& root) {
    std::vector<Candidate> all;
    if (traitsOf(root).tabChildren.value_or(true))
        collect(root, root.matrix.toQTransform(), 0, all);
    // Once any object has a tab index, only such objects take part, by index.
    const bool indexed = std::any_of(all.begin(), all.end(), [](const Candidate& c) { return c.tabIndex.has_value(); });
    if (indexed) {
        std::erase_if(all, [](const Candidate& c) { return !c.tabIndex; });
        std::stable_sort(all.begin(), all.end(),
                         [](const Candidate& a, const Candidate& b) { return *a.tabIndex < *b.tabIndex; });
    } else {
        // Reading order: top to bottom, then left to right.
        std::stable_sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) {
            if (a.topLeft.y() != b.topLeft.y()) return a.topLeft.y() < b.topLeft.y();
            return a.topLeft.x() < b.topLeft.x();
        });
    }
    std::vector<DisplayObject*> out;
    out.reserve(all.size());
    for (const Candidate& c : all) out.push_back(c.object);
    return out;
}

} // namespace nimbrel::movie::display
