#pragma once
// A display object as scripts see it: movie clips, and the named shapes,
// texts and buttons inside them. Holds the timeline position and the
// properties scripts read and write (_x, _alpha, _name...).
#include "movie/avm1/ActionCode.h"
#include "movie/avm1/Object.h"
#include <map>

namespace nimbrel::movie::avm1 {

struct SpriteDefinition;

struct ClipAction {
    uint32_t events = 0; // ClipEventFlags bits
    int keyCode = 0;
    ActionCode code;
};

// ClipEventFlags bits as laid out in SWF 6 and later files.
enum ClipEvent : uint32_t {
    EvKeyUp = 1u << 7, EvKeyDown = 1u << 6, EvMouseUp = 1u << 5, EvMouseDown = 1u << 4, EvMouseMove = 1u << 3,
    EvUnload = 1u << 2, EvEnterFrame = 1u << 1, EvLoad = 1u << 0,
    EvDragOver = 1u << 15, EvRollOut = 1u << 14, EvRollOver = 1u << 13, EvReleaseOutside = 1u << 12,
    EvRelease = 1u << 11, EvPress = 1u << 10, EvInitialize = 1u << 9, EvData = 1u << 8,
    EvConstruct = 1u << 18, EvKeyPress = 1u << 17, EvDragOut = 1u << 16,
};

class MovieClipObject : public Object {
public:
    enum class Kind { Sprite, Shape, Text, Button, Other };

    MovieClipObject(Interpreter& vm, Object* proto);

    bool isMovieClip() const override { return true; }
    QString className() const override;

    Kind kind = Kind::Sprite;
    QString name;
    int depth = 0;
    int characterId = 0;
    MovieClipObject* parentClip = nullptr;
    std::map<int, MovieClipObject*> children;
    const SpriteDefinition* definition = nullptr;
    int currentFrame = 0; // 1-based; 0 before the first frame
    bool playing = true;
    bool removed = false;
    bool placedByTimeline = false;
    bool loadFired = false;
    int level = -1; // _levelN for level roots

    double x = 0, y = 0, xscale = 100, yscale = 100, rotation = 0, alpha = 100;
    double boundsWidth = 0, boundsHeight = 0; // unscaled, pixels
    bool visible = true;
    std::vector<ClipAction> clipActions;
    // Text fields.
    QString text;
    QString variable;

    int totalFrames() const;
    QString targetPath() const; // "_level0.a.b"
    QString slashPath() const;  // "/a/b"
    MovieClipObject* childByName(const QString& n) const;
    MovieClipObject* rootClip();
    // Property by GetProperty index (0 _x ... 21 _ymouse).
    Value property(int index);
    void setProperty(int index, const Value& v);
    static int propertyIndex(const QString& name); // -1 when not a display property

    bool hasOwn(const QString& name) override;
    QStringList ownKeys(bool includeHidden = false) override;

protected:
    bool getSpecial(const QString& name, Value& out) override;
    bool setSpecial(const QString& name, const Value& v) override;
};

} // namespace nimbrel::movie::avm1
