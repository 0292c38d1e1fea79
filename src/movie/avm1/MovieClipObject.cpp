#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/ClipBlendMode.h"
#include "movie/avm1/ClipLoading.h"
#include "movie/avm1/Builtins.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/LoadQueue.h"
#include "movie/swf/MovieParser.h"
#include "movie/display/DisplayObject.h"
#include "movie/display/HitTest.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {

// Timeline depths start at -16384 as scripts see them.
constexpr int kClipDepthOffset = 16384;
// Scripts may place between these depths (inclusive).
constexpr long long kMinScriptDepth = -16384;
constexpr long long kMaxScriptDepth = 2130690044;

bool validDepth(long long d)
{
    return d >= kMinScriptDepth && d <= kMaxScriptDepth;
}

} // namespace

MovieClipObject::MovieClipObject(Interpreter& vm, Object* proto, display::DisplayObject* display, Kind k)
    : Object(vm, proto), kind(k), display_(display)
{
    if (display_)
        lastPath_ = display_->path();
}

QString MovieClipObject::className() const
{
    switch (kind) {
    case Kind::Text: return QStringLiteral("TextField");
    case Kind::Button: return QStringLiteral("Button");
    case Kind::Video: return QStringLiteral("Video");
    default: return QStringLiteral("MovieClip");
    }
}

display::MovieClip* MovieClipObject::clip() const
{
    if (!display_ || display_->type() != display::DisplayObject::Type::MovieClip)
        return nullptr;
    return static_cast<display::MovieClip*>(display_);
}

void MovieClipObject::detach()
{
    if (display_)
        lastPath_ = targetPath();
    display_ = nullptr;
    removed_ = true;
    for (auto& [d, child] : scriptChildren)
        child->detach();
}

QString MovieClipObject::name() const
{
    if (kind == Kind::Text && !display_)
        return textName;
    return display_ ? display_->name() : QString();
}

int MovieClipObject::depth() const
{
    if (kind == Kind::Text && !display_)
        return textDepth;
    return display_ ? display_->depth() - kClipDepthOffset : 0;
}

MovieClipObject* MovieClipObject::parentClip() const
{
    if (kind == Kind::Text && !display_)
        return scriptParent;
    if (!display_ || !display_->parent())
        return nullptr;
    return vm().scriptObjectFor(display_->parent());
}

MovieClipObject* MovieClipObject::rootClip()
{
    MovieClipObject* c = this;
    for (int guard = 0; guard < 1000 && !c->lockRoot; ++guard) {
        MovieClipObject* p = c->parentClip();
        if (!p)
            break;
        c = p;
    }
    return c;
}

int MovieClipObject::currentFrame() const
{
    display::MovieClip* c = clip();
    if (!c)
        return 1;
    // A clip made empty by a script has no frame to stand on.
    if (c->characterId() == 0 && c->parent() && c->timeline()->frames.empty())
        return 0;
    return c->currentFrame() + 1;
}

int MovieClipObject::totalFrames() const
{
    display::MovieClip* c = clip();
    return c ? c->totalFrames() : 1;
}

bool MovieClipObject::playing() const
{
    display::MovieClip* c = clip();
    return c && c->isPlaying();
}

void MovieClipObject::setPlaying(bool on)
{
    if (display::MovieClip* c = clip())
        on ? c->play() : c->stop();
}

void MovieClipObject::gotoFrame(int frame, bool play, bool pastEndToLast)
{
    display::MovieClip* c = clip();
    if (!c)
        return;
    // Frame numbers are 32-bit and wrap; frames before the first leave the clip
    // where it is (apart from the play state), frames past the end go to the last.
    const int32_t zeroBased = int32_t(uint32_t(frame) - 1u);
    if (zeroBased < 0 || (!pastEndToLast && zeroBased >= c->totalFrames())) {
        play ? c->play() : c->stop();
        return;
    }
    c->gotoFrame(std::min(zeroBased, c->totalFrames() - 1), play);
}

int MovieClipObject::frameOfLabel(const QString& label) const
{
    display::MovieClip* c = clip();
    if (!c || !c->timeline())
        return 0;
    return c->timeline()->frameOfLabel(label) + 1;
}

static void copyInit(MovieClipObject* clip, Object* init)
{
    if (!clip || !init)
        return;
    for (const QString& k : init->ownKeys())
        clip->set(k, init->get(k));
}

MovieClipObject* MovieClipObject::createEmptyClip(const QString& n, int d)
{
    display::MovieClip* c = clip();
    if (!c || !validDepth(d))
        return nullptr;
    return vm().scriptObjectFor(c->createEmptyMovieClip(n, d + kClipDepthOffset));
}

MovieClipObject* MovieClipObject::attachClip(const QString& exportName, const QString& n, int d, Object* init)
{
    display::MovieClip* c = clip();
    if (!c || !validDepth(d))
        return nullptr;
    display::DisplayObject* made = c->attachMovie(exportName, n, d + kClipDepthOffset);
    MovieClipObject* o = vm().scriptObjectFor(made);
    copyInit(o, init);
    return o;
}

MovieClipObject* MovieClipObject::duplicateClip(const QString& n, int d, Object* init)
{
    display::MovieClip* c = clip();
    if (!c || !c->parent() || !validDepth(d))
        return nullptr;
    display::DisplayObject* made = c->duplicate(n, d + kClipDepthOffset);
    MovieClipObject* o = vm().scriptObjectFor(made);
    copyInit(o, init);
    return o;
}

MovieClipObject* MovieClipObject::createTextField(const QString& n, int d, double x, double y, double w, double h)
{
    if (!clip())
        return nullptr;
    auto it = scriptChildren.find(d);
    if (it != scriptChildren.end()) {
        it->second->detach();
        scriptChildren.erase(it);
    }
    auto* t = vm().make<MovieClipObject>(vm().textFieldProto, nullptr, Kind::Text);
    t->textName = n;
    t->textDepth = d;
    t->textX = x;
    t->textY = y;
    t->textW = w;
    t->textH = h;
    t->scriptParent = this;
    scriptChildren[d] = t;
    return t;
}

void MovieClipObject::removeClip()
{
    if (kind == Kind::Text && !display_) {
        if (scriptParent)
            scriptParent->scriptChildren.erase(textDepth);
        detach();
        return;
    }
    if (!display_ || !display_->parent())
        return;
    display_->parent()->removeChildAt(display_->depth());
}

void MovieClipObject::swapDepths(int d)
{
    if (!display_ || !display_->parent() || !validDepth(d))
        return;
    display_->parent()->swapChildDepths(display_->depth(), d + kClipDepthOffset);
}

void MovieClipObject::callFrame(int frame)
{
    display::MovieClip* c = clip();
    if (!c || !c->timeline() || frame < 1 || frame > c->totalFrames())
        return;
    for (const auto& tag : c->timeline()->frame(frame - 1).tags)
        if (auto a = std::get_if<swf::DoAction>(&tag))
            vm().runActions(vm().codeFor(a->actions), this);
}

void MovieClipObject::loadMovie(const QString& url)
{
    ClipLoading::loadIntoClip(this, url);
}

void MovieClipObject::unloadMovie()
{
    ClipLoading::unloadClip(this);
}

void MovieClipObject::startDrag(bool lockCenter, const std::optional<QRectF>& bounds)
{
    if (!display_ || !display_->parent() || !vm().host)
        return;
    std::optional<QRectF> twips;
    if (bounds)
        twips = QRectF(bounds->x() * 20.0, bounds->y() * 20.0, bounds->width() * 20.0, bounds->height() * 20.0);
    vm().host->startDrag(display_, lockCenter, twips);
}

void MovieClipObject::stopDrag()
{
    if (vm().host)
        vm().host->stopDrag();
}

QPointF MovieClipObject::mousePosition() const
{
    if (!display_ || !vm().host)
        return {};
    const QPointF stage = vm().host->pointerPosition();
    QPointF local;
    // A clip squashed to nothing reports the stage position shrunk twentyfold, as the reference player does.
    if (!display::HitTest::stageToLocal(*display_, stage, &local))
        local = stage / 20.0;
    // Whole twips, as the player keeps positions.
    return QPointF(std::round(local.x()) / 20.0, std::round(local.y()) / 20.0);
}

QString MovieClipObject::targetPath() const
{
    if (removed_)
        return lastPath_;
    MovieClipObject* p = parentClip();
    if (!p)
        return QStringLiteral("_level%1").arg(ClipLoading::levelOf(this).value_or(0));
    return p->targetPath() + QLatin1Char('.') + name();
}

QString MovieClipObject::slashPath() const
{
    MovieClipObject* p = parentClip();
    if (!p) {
        // Levels above the main movie keep their name in slash paths.
        const int level = ClipLoading::levelOf(this).value_or(0);
        return level > 0 ? QStringLiteral("_level%1").arg(level) : QStringLiteral("/");
    }
    QString s = p->slashPath();
    if (!s.endsWith(QLatin1Char('/')))
        s += QLatin1Char('/');
    return s + name();
}

std::vector<MovieClipObject*> MovieClipObject::childList() const
{
    std::vector<std::pair<int, MovieClipObject*>> all;
    if (display::MovieClip* c = clip()) {
        for (const auto& [d, child] : c->children()) {
            if (child->type() != display::DisplayObject::Type::MovieClip &&
                child->type() != display::DisplayObject::Type::Button &&
                child->type() != display::DisplayObject::Type::EditText &&
                child->type() != display::DisplayObject::Type::Video)
                continue;
            if (MovieClipObject* o = vm().scriptObjectFor(child.get()))
                all.emplace_back(d - kClipDepthOffset, o);
        }
    }
    for (const auto& [d, child] : scriptChildren)
        all.emplace_back(d, child);
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<MovieClipObject*> out;
    for (auto& [d, o] : all)
        out.push_back(o);
    return out;
}

MovieClipObject* MovieClipObject::childByName(const QString& n) const
{
    const Qt::CaseSensitivity cs = vm().caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (MovieClipObject* c : childList())
        if (c->name().compare(n, cs) == 0)
            return c;
    return nullptr;
}

MovieClipObject* MovieClipObject::childAtDepth(int scriptDepth) const
{
    for (MovieClipObject* c : childList())
        if (c->depth() == scriptDepth)
            return c;
    return nullptr;
}

bool MovieClipObject::getSpecial(const QString& n, Value& out)
{
    int idx = propertyIndex(n);
    if (idx >= 0) {
        if (removed_ && kind != Kind::Text)
            return false;
        out = property(idx);
        return true;
    }
    if (kind == Kind::Video && !removed_ && getVideoProperty(display_, n, out))
        return true;
    const Qt::CaseSensitivity cs = vm().caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (n.compare(QLatin1String("_parent"), cs) == 0) {
        MovieClipObject* p = parentClip();
        if (!p)
            return false;
        out = Value(static_cast<Object*>(p));
        return true;
    }
    if (n.compare(QLatin1String("_root"), cs) == 0) {
        out = Value(static_cast<Object*>(rootClip()));
        return true;
    }
    if (kind == Kind::Text && !display_ && n == QLatin1String("text")) {
        out = Value(text);
        return true;
    }
    if (findOwn(n))
        return false; // own variables shadow children
    if (kind == Kind::Button && (n == QLatin1String("enabled") || n == QLatin1String("useHandCursor"))) {
        out = Value(true);
        return true;
    }
    if (kind == Kind::Sprite && n.compare(QLatin1String("tabIndex"), cs) == 0) {
        out = tabIndexValue();
        return true;
    }
    if (kind == Kind::Sprite) {
        // Clip properties with fixed defaults until a script sets its own.
        if (n.compare(QLatin1String("_lockroot"), cs) == 0) {
            out = Value(lockRoot);
            return true;
        }
        if (n == QLatin1String("cacheAsBitmap")) {
            out = Value(false);
            return true;
        }
        if (n == QLatin1String("enabled") || n == QLatin1String("useHandCursor")) {
            out = Value(true);
            return true;
        }
    }
    if (kind == Kind::Sprite && n.compare(QLatin1String("opaqueBackground"), cs) == 0) {
        const bool shown = display_ && !removed_ && display_->opaqueBackground;
        out = shown ? Value(double(*display_->opaqueBackground)) : Value();
        return true;
    }
    if ((kind == Kind::Sprite || kind == Kind::Button) && n.compare(QLatin1String("blendMode"), cs) == 0) {
        out = Value(blendModeName(display_ && !removed_ ? display_->blendMode : swf::BlendMode::Normal));
        return true;
    }
    if (MovieClipObject* c = childByName(n)) {
        out = Value(static_cast<Object*>(c));
        return true;
    }
    // A named shape, static text or bitmap has no object of its own: its name stands for its clip.
    if (hasNamedGraphic(n)) {
        out = Value(static_cast<Object*>(this));
        return true;
    }
    return false;
}

bool MovieClipObject::hasNamedGraphic(const QString& n) const
{
    display::MovieClip* c = clip();
    if (!c || n.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = vm().caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    using T = display::DisplayObject::Type;
    for (const auto& [d, child] : c->children()) {
        const T t = child->type();
        if ((t == T::Shape || t == T::MorphShape || t == T::Text || t == T::Bitmap) &&
            child->name().compare(n, cs) == 0)
            return true;
    }
    return false;
}

bool MovieClipObject::setSpecial(const QString& n, const Value& v)
{
    int idx = propertyIndex(n);
    if (idx >= 0) {
        setProperty(idx, v);
        return true;
    }
    if (kind == Kind::Video && !removed_ && setVideoProperty(vm(), display_, n, v))
        return true;
    if (kind == Kind::Text && !display_ && n == QLatin1String("text")) {
        text = vm().toString(v);
        return true;
    }
    const Qt::CaseSensitivity cs = vm().caseSensitive() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (kind == Kind::Sprite && n.compare(QLatin1String("tabIndex"), cs) == 0) {
        setTabIndex(v);
        return true;
    }
    if (kind == Kind::Sprite && n.compare(QLatin1String("_lockroot"), cs) == 0) {
        lockRoot = vm().toBoolean(v);
        return true;
    }
    if (kind == Kind::Sprite && n.compare(QLatin1String("opaqueBackground"), cs) == 0) {
        // undefined or null takes the background away; any number is a colour.
        if (display_ && !removed_) {
            const double c = v.isNullish() ? std::nan("") : vm().toNumber(v);
            display_->opaqueBackground = std::isfinite(c) ? std::optional<uint32_t>(uint32_t(int64_t(c)) & 0xFFFFFF)
                                                          : std::nullopt;
        }
        return true;
    }
    if ((kind == Kind::Sprite || kind == Kind::Button) && n.compare(QLatin1String("blendMode"), cs) == 0) {
        if (auto mode = blendModeFromScript(vm(), v); mode && display_ && !removed_)
            display_->blendMode = *mode;
        return true;
    }
    return false;
}

void MovieClipObject::markChildren(std::vector<Object*>& out) const
{
    Object::markChildren(out);
    for (const auto& [d, c] : scriptChildren)
        out.push_back(c);
    if (scriptParent)
        out.push_back(scriptParent);
}

bool MovieClipObject::hasOwn(const QString& n)
{
    if (Object::hasOwn(n))
        return true;
    return childByName(n) != nullptr || hasNamedGraphic(n);
}

QStringList MovieClipObject::ownKeys(bool includeHidden)
{
    QStringList out = Object::ownKeys(includeHidden);
    // Everything named on the display list, topmost first; named graphics stand for this clip.
    std::vector<std::pair<int, QString>> named;
    for (MovieClipObject* kid : childList())
        named.emplace_back(kid->depth(), kid->name());
    if (display::MovieClip* c = clip()) {
        using T = display::DisplayObject::Type;
        for (const auto& [d, child] : c->children()) {
            const T t = child->type();
            if (t == T::Shape || t == T::MorphShape || t == T::Text || t == T::Bitmap)
                named.emplace_back(d - kClipDepthOffset, child->name());
        }
    }
    std::stable_sort(named.begin(), named.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [d, n] : named)
        if (!n.isEmpty() && !out.contains(n))
            out.append(n);
    return out;
}

} // namespace nimbrel::movie::avm1
