#pragma once
// A display object as scripts see it: a movie clip or a button of the
// display list, or a text field made by a script. Display properties read and
// write the display object; once it leaves the stage the reference is dead.
#include "movie/avm1/Object.h"
#include <QPointF>
#include <QRectF>
#include <functional>
#include <map>
#include <optional>

namespace nimbrel::movie::display {
class DisplayObject;
class MovieClip;
} // namespace nimbrel::movie::display

namespace nimbrel::movie::avm1 {

class MovieClipObject : public Object {
public:
    enum class Kind { Sprite, Button, Text, Video };

    // display may be null for a text field made by createTextField.
    MovieClipObject(Interpreter& vm, Object* proto, display::DisplayObject* display, Kind kind);

    bool isMovieClip() const override { return true; }
    QString className() const override;

    display::DisplayObject* display() const { return display_; }
    display::MovieClip* clip() const; // null unless a live movie clip
    void detach();                     // the display object left the stage
    bool isRemoved() const { return removed_; }

    Kind kind;
    QString name() const;
    int depth() const; // script depth (file depth - 16384)
    MovieClipObject* parentClip() const;
    MovieClipObject* rootClip();
    int currentFrame() const; // 1-based
    int totalFrames() const;
    bool playing() const;
    void setPlaying(bool on);
    // 1-based frame, 32-bit and wrapping; frames before the first are ignored,
    // frames past the end go to the last one unless pastEndToLast is false
    // (the file's own GotoFrame action ignores them).
    void gotoFrame(int frame, bool play, bool pastEndToLast = true);
    int frameOfLabel(const QString& label) const; // 1-based, 0 when missing

    // Display-list editing by scripts (script depths).
    MovieClipObject* createEmptyClip(const QString& name, int depth);
    MovieClipObject* attachClip(const QString& exportName, const QString& name, int depth, Object* init);
    MovieClipObject* duplicateClip(const QString& name, int depth, Object* init);
    MovieClipObject* createTextField(const QString& name, int depth, double x, double y, double w, double h);
    void removeClip();
    void swapDepths(int depth);
    // loadMovie: the movie at url (relative to the movie) replaces this clip's
    // contents once it has arrived, at the end of a later frame's scripts.
    void loadMovie(const QString& url);
    // unloadMovie: the clip empties when the next frame starts.
    void unloadMovie();
    // _lockroot: _root in scripts below this clip names this clip.
    bool lockRoot = false;
    // Runs the actions of a frame without moving there (ActionCall), 1-based.
    void callFrame(int frame);
    // The clip follows the pointer; bounds (pixels, parent's coordinates) keep it in.
    void startDrag(bool lockCenter, const std::optional<QRectF>& bounds);
    void stopDrag();
    // The pointer in this clip's coordinates, pixels.
    QPointF mousePosition() const;

    QString targetPath() const; // "_level0.a.b"
    QString slashPath() const;  // "/a/b"
    MovieClipObject* childByName(const QString& n) const;
    bool hasNamedGraphic(const QString& n) const; // a shape, text or bitmap placed with that name
    MovieClipObject* childAtDepth(int scriptDepth) const;
    std::vector<MovieClipObject*> childList() const; // by depth

    // Property by GetProperty index (0 _x ... 21 _ymouse).
    Value property(int index);
    void setProperty(int index, const Value& v);
    static int propertyIndex(const QString& name); // -1 when not a display property

    bool hasOwn(const QString& name) override;
    bool hasOwnProperty(const QString& name) override { return Object::hasOwn(name); }
    void markChildren(std::vector<Object*>& out) const override;
    QStringList ownKeys(bool includeHidden = false) override;

    // Text fields made by scripts, and their parent.
    std::map<int, MovieClipObject*> scriptChildren;
    MovieClipObject* scriptParent = nullptr;
    QString text;
    QString textName;
    int textDepth = 0;
    double textX = 0, textY = 0, textW = 0, textH = 0;
    // Place in the Tab order a script gave (unset until then).
    std::optional<uint32_t> tabIndex;
    Value tabIndexValue() const;
    void setTabIndex(const Value& v);
    void setFocusRectFrom(const Value& v); // _focusrect as the movie sets it
    // _focusrect a script gave this clip, button or field itself (SWF 6 and later; unset until then).
    std::optional<bool> ownFocusRect;

protected:
    bool getSpecial(const QString& name, Value& out) override;
    bool setSpecial(const QString& name, const Value& v) override;

private:
    display::DisplayObject* display_;
    bool removed_ = false;
    QString lastPath_;
};

} // namespace nimbrel::movie::avm1
