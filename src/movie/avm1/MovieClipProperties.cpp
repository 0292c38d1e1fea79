// The numbered movie clip properties (_x ... _ymouse) that getProperty and
// setProperty reach by index, and the focus settings that go with them.
#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/ClipBlendMode.h"
#include "movie/avm1/Interpreter.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/display/ScriptHost.h"
#include <cmath>
#include <limits>

namespace nimbrel::movie::avm1 {

namespace {
const char* const kPropertyNames[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible", "_width", "_height",
    "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url", "_highquality", "_focusrect",
    "_soundbuftime", "_quality", "_xmouse", "_ymouse",
};
} // namespace

int MovieClipObject::propertyIndex(const QString& n)
{
    if (!n.startsWith(QLatin1Char('_')))
        return -1;
    for (int i = 0; i < int(std::size(kPropertyNames)); ++i)
        if (n.compare(QLatin1String(kPropertyNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Value MovieClipObject::property(int index)
{
    display::DisplayObject* d = display_;
    auto round = [](double v) { return std::round(v * 20.0) / 20.0; };
    switch (index) {
    case 0: return Value(d ? d->x() : textX);
    case 1: return Value(d ? d->y() : textY);
    case 2: return Value(d ? d->xScale() : 100.0);
    case 3: return Value(d ? d->yScale() : 100.0);
    case 4: return Value(double(currentFrame()));
    case 5: return Value(double(totalFrames()));
    case 6: return Value(d ? d->alpha() : 100.0);
    case 7: return Value(d ? d->visible : true);
    case 8: return Value(d ? round(d->width()) : textW);
    case 9: return Value(d ? round(d->height()) : textH);
    case 10: return Value(d ? d->rotation() : 0.0);
    case 11: return Value(slashPath());
    case 12: return Value(double(totalFrames()));
    case 13: return Value(name());
    case 14: {
        display::ScriptHost* host = vm().host;
        if (!host || !d || host->draggedObject() != d)
            return Value(QString());
        MovieClipObject* target = host->dropTarget() ? vm().scriptObjectFor(host->dropTarget()) : nullptr;
        return Value(target ? target->slashPath() : QString());
    }
    case 15: {
        // A loaded movie's clips answer with where that movie came from, the
        // main movie's with its own file when the player knows it.
        const display::MovieContext* ctx = display_ ? display_->context() : nullptr;
        if (ctx && !ctx->url().isEmpty())
            return Value(ctx->url());
        const QString own = vm().host ? vm().host->movieUrl() : QString();
        return Value(own.isEmpty() ? vm().movieUrl : own);
    }
    case 16: {
        const QString q = vm().host ? vm().host->quality() : QStringLiteral("HIGH");
        return Value(q == QLatin1String("LOW") ? 0.0 : q == QLatin1String("BEST") ? 2.0 : 1.0);
    }
    case 17: {
        // One setting for the movie: older movies read it as a number
        // everywhere, newer ones as a boolean on the main timeline only.
        const bool on = !vm().host || vm().host->focusRect();
        if (vm().version() < 6)
            return Value(on ? 1.0 : 0.0);
        if (!parentClip())
            return Value(on);
        return ownFocusRect ? Value(*ownFocusRect) : Value::null();
    }
    case 18: return Value(vm().soundBufferSeconds);
    case 19: return Value(vm().host ? vm().host->quality() : QStringLiteral("HIGH"));
    case 20: return Value(mousePosition().x());
    case 21: return Value(mousePosition().y());
    }
    return Value();
}

void MovieClipObject::setProperty(int index, const Value& v)
{
    display::DisplayObject* d = display_;
    if (index == 13) {
        QString n = vm().toString(v);
        if (d)
            d->setName(n);
        else
            textName = n;
        return;
    }
    if (index == 7) {
        if (d) {
            d->visible = vm().toBoolean(v);
            if (!d->visible && vm().host)
                vm().host->dropFocusWithin(d);
        }
        return;
    }
    if (index == 18) {
        // One setting for the whole movie: how many seconds of streamed sound to hold before playing.
        const double seconds = vm().toNumber(v);
        if (std::isfinite(seconds))
            vm().soundBufferSeconds = std::clamp(std::floor(seconds), 0.0, 3600.0);
        return;
    }
    if (index == 17) {
        // Undefined and null give the clip back the movie's setting.
        if (vm().version() >= 6 && parentClip())
            ownFocusRect = v.isNullish() ? std::nullopt : std::optional<bool>(vm().toBoolean(v));
        else if (vm().host)
            setFocusRectFrom(v);
        return;
    }
    if (index == 19 || index == 16) {
        if (!vm().host)
            return;
        if (index == 19) {
            vm().host->setQuality(vm().toString(v).toUpper());
        } else {
            const double n = vm().toNumber(v);
            vm().host->setQuality(n >= 2 ? QStringLiteral("BEST") : n >= 1 ? QStringLiteral("HIGH") : QStringLiteral("LOW"));
        }
        return;
    }
    double n = vm().toNumber(v);
    if (!std::isfinite(n))
        return;
    if (!d) {
        if (index == 0) textX = n;
        else if (index == 1) textY = n;
        else if (index == 8) textW = n;
        else if (index == 9) textH = n;
        return;
    }
    if (index <= 3 || index == 6 || (index >= 8 && index <= 10))
        d->transformedByScript = true;
    switch (index) {
    case 0: d->setX(n); break;
    case 1: d->setY(n); break;
    case 2: d->setXScale(n); break;
    case 3: d->setYScale(n); break;
    case 6: d->setAlpha(n); break;
    case 8: d->setWidth(n); break;
    case 9: d->setHeight(n); break;
    case 10: d->setRotation(n); break;
    default: break;
    }
}

void MovieClipObject::setFocusRectFrom(const Value& v)
{
    // Undefined and null leave it; objects turn it off; numbers (NaN too) and
    // numeric text turn it on unless zero.
    if (v.isNullish())
        return;
    bool on = false;
    if (v.type == Value::Type::Boolean)
        on = v.b;
    else if (v.type == Value::Type::String && vm().toString(v).isEmpty())
        on = true; // no number at all, as NaN
    else if (!v.isObject())
        on = vm().toNumber(v) != 0.0;
    vm().host->setFocusRect(on);
}

Value MovieClipObject::tabIndexValue() const
{
    if (!tabIndex)
        return Value();
    // Clips and buttons show the index signed, text fields unsigned.
    return kind != Kind::Text ? Value(double(int32_t(*tabIndex))) : Value(double(*tabIndex));
}

void MovieClipObject::setTabIndex(const Value& v)
{
    // Undefined takes the object out of any set order.
    if (v.isUndefined()) {
        tabIndex.reset();
        return;
    }
    if (kind == Kind::Text) {
        tabIndex = uint32_t(vm().toInt32(v));
        return;
    }
    // A clip's or button's index is truncated; what does not fit (NaN too) becomes the lowest 32-bit number.
    const double n = vm().toNumber(v);
    const bool fits = std::isfinite(n) && n > -2147483649.0 && n < 2147483648.0;
    tabIndex = uint32_t(fits ? int32_t(n) : std::numeric_limits<int32_t>::min());
}

} // namespace nimbrel::movie::avm1
