#include "movie/avm1/MovieClipObject.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/SpriteDefinition.h"
#include <cmath>

namespace nimbrel::movie::avm1 {

static const char* const kPropertyNames[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible", "_width", "_height",
    "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url", "_highquality", "_focusrect",
    "_soundbuftime", "_quality", "_xmouse", "_ymouse",
};

MovieClipObject::MovieClipObject(Interpreter& vm, Object* proto) : Object(vm, proto) {}

QString MovieClipObject::className() const
{
    switch (kind) {
    case Kind::Text: return QStringLiteral("TextField");
    case Kind::Button: return QStringLiteral("Button");
    default: return QStringLiteral("MovieClip");
    }
}

int MovieClipObject::totalFrames() const
{
    return definition ? std::max(1, int(definition->frames.size())) : 1;
}

QString MovieClipObject::targetPath() const
{
    if (!parentClip)
        return QStringLiteral("_level%1").arg(level < 0 ? 0 : level);
    return parentClip->targetPath() + QLatin1Char('.') + name;
}

QString MovieClipObject::slashPath() const
{
    if (!parentClip)
        return level <= 0 ? QStringLiteral("/") : QStringLiteral("_level%1/").arg(level);
    QString p = parentClip->slashPath();
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p + name;
}

MovieClipObject* MovieClipObject::childByName(const QString& n) const
{
    const bool cs = vm().caseSensitive();
    MovieClipObject* found = nullptr;
    // The lowest depth wins when names repeat.
    for (const auto& [d, c] : children) {
        if (c->removed)
            continue;
        if (cs ? c->name == n : c->name.compare(n, Qt::CaseInsensitive) == 0) {
            found = c;
            break;
        }
    }
    return found;
}

MovieClipObject* MovieClipObject::rootClip()
{
    MovieClipObject* c = this;
    while (c->parentClip)
        c = c->parentClip;
    return c;
}

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
    switch (index) {
    case 0: return Value(x);
    case 1: return Value(y);
    case 2: return Value(xscale);
    case 3: return Value(yscale);
    case 4: return Value(double(kind == Kind::Sprite ? std::max(1, currentFrame) : 1));
    case 5: return Value(double(totalFrames()));
    case 6: return Value(alpha);
    case 7: return Value(visible);
    case 8: return Value(boundsWidth * std::abs(xscale) / 100.0);
    case 9: return Value(boundsHeight * std::abs(yscale) / 100.0);
    case 10: return Value(rotation);
    case 11: return Value(slashPath());
    case 12: return Value(double(totalFrames()));
    case 13: return Value(name);
    case 14: return Value(QString());
    case 15: return Value(rootClip()->variable.isEmpty() ? QString() : rootClip()->variable);
    case 16: return Value(1.0);
    case 17: return Value(1.0);
    case 18: return Value(5.0);
    case 19: return Value(QStringLiteral("HIGH"));
    case 20: return Value(0.0);
    case 21: return Value(0.0);
    }
    return Value();
}

void MovieClipObject::setProperty(int index, const Value& v)
{
    double n = vm().toNumber(v);
    bool finite = std::isfinite(n);
    switch (index) {
    case 0: if (finite) x = n; break;
    case 1: if (finite) y = n; break;
    case 2: if (finite) xscale = n; break;
    case 3: if (finite) yscale = n; break;
    case 6: if (finite) alpha = n; break;
    case 7: visible = vm().toBoolean(v); break;
    case 8:
        if (finite && n >= 0 && boundsWidth > 0)
            xscale = n / boundsWidth * 100.0;
        break;
    case 9:
        if (finite && n >= 0 && boundsHeight > 0)
            yscale = n / boundsHeight * 100.0;
        break;
    case 10:
        if (finite) {
            double r = std::fmod(n, 360.0);
            if (r > 180) r -= 360;
            if (r < -180) r += 360;
            rotation = r;
        }
        break;
    case 13: name = vm().toString(v); break;
    default: break;
    }
}

bool MovieClipObject::getSpecial(const QString& n, Value& out)
{
    int idx = propertyIndex(n);
    if (idx >= 0) {
        out = property(idx);
        return true;
    }
    if (n.compare(QLatin1String("_parent"), Qt::CaseInsensitive) == 0) {
        if (!parentClip)
            return false;
        out = Value(parentClip);
        return true;
    }
    if (kind == Kind::Text && n == QLatin1String("text")) {
        out = Value(text);
        return true;
    }
    if (Property* p = findOwn(n)) {
        (void)p;
        return false; // own variables shadow children
    }
    if (MovieClipObject* c = childByName(n)) {
        out = Value(c);
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
    if (kind == Kind::Text && n == QLatin1String("text")) {
        text = vm().toString(v);
        return true;
    }
    return false;
}

bool MovieClipObject::hasOwn(const QString& n)
{
    if (Object::hasOwn(n))
        return true;
    return childByName(n) != nullptr;
}

QStringList MovieClipObject::ownKeys(bool includeHidden)
{
    QStringList out = Object::ownKeys(includeHidden);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (!it->second->removed && !it->second->name.isEmpty() && !out.contains(it->second->name))
            out.append(it->second->name);
    return out;
}

} // namespace nimbrel::movie::avm1
