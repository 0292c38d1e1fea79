#pragma once
// What a running script may ask of the player that hosts the movie.
// The player implements it; headless tools collect traces through it.
// The input state has neutral defaults so that a host without a pointer or
// keyboard (a headless tool) need not answer.
#include <QPointF>
#include <QRectF>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

namespace nimbrel::movie::swf {
struct Movie;
}

namespace nimbrel::movie::display {

class DisplayObject;
class MovieClip;

// Why a movie's scripts were stopped for good.
enum class ScriptStop { None, RanTooLong, RunawayRecursion };

class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    virtual void trace(const QString& line) = 0;
    virtual void fsCommand(const QString& command, const QString& args) = 0;
    // getURL / loadMovie requests; target is the window or level name as written in the movie.
    virtual void getUrl(const QString& url, const QString& target) = 0;
    // The folder or address relative loads are resolved against.
    virtual QString baseUrl() const = 0;
    // The address of the main movie's own file (_url); empty when unknown.
    virtual QString movieUrl() const { return {}; }

    // Levels above the main movie (_level1 ...): the root clip of level n
    // (n >= 1), null when none is loaded there.
    virtual MovieClip* level(int n) const { return nullptr; }
    // A movie loaded into level n takes the place of what was there; its
    // first frame is shown at once. Null when the host keeps no levels.
    virtual MovieClip* placeLevel(int n, std::shared_ptr<const swf::Movie> movie) { return nullptr; }
    virtual void removeLevel(int n) {}

    // Keyboard as Key.isDown/getCode/getAscii read it (movie key codes).
    virtual bool isKeyDown(int keyCode) const { return false; }
    virtual int lastKeyCode() const { return 0; }
    virtual int lastKeyAscii() const { return 0; }
    // The pointer's last position on the stage, in the root's twips.
    virtual QPointF pointerPosition() const { return {}; }

    // startDrag/stopDrag: the object follows the pointer, its registration
    // point kept inside bounds (parent's twips) when given.
    virtual void startDrag(DisplayObject* object, bool lockCenter, const std::optional<QRectF>& bounds) {}
    virtual void stopDrag() {}
    virtual DisplayObject* draggedObject() const { return nullptr; }
    // The topmost object under the pointer other than the dragged one (for _droptarget).
    virtual DisplayObject* dropTarget() const { return nullptr; }

    // The stage's drawing quality: "LOW", "MEDIUM", "HIGH" or "BEST".
    virtual QString quality() const { return QStringLiteral("HIGH"); }
    virtual void setQuality(const QString& name) {}

    // Keyboard focus (Selection): the focused object, moving it (false when
    // object cannot take it), and losing it when object or its parent goes away.
    virtual DisplayObject* focusedObject() const { return nullptr; }
    virtual bool setFocus(DisplayObject* object) { return false; }
    virtual void dropFocusWithin(DisplayObject* object) {}
    // The focused object while it hears keys by its own handlers (focus given
    // by Tab or a script, until the pointer moves), else nullptr.
    virtual DisplayObject* keyFocus() const { return nullptr; }
    // _focusrect of the movie: whether the focused object is highlighted
    // (and Enter or Space work a focused button).
    virtual bool focusRect() const { return true; }
    virtual void setFocusRect(bool on) {}

    // The wall clock script time budgets are measured on, in milliseconds.
    virtual double scriptClockMs() const {
        using namespace std::chrono;
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    }
    // A script has been running for a while (called at most every ~50 ms of
    // it): a host with a window lets the window answer meanwhile.
    virtual void scriptStillRunning() {}
    // The movie's scripts ran too long or recursed without end: none runs again.
    virtual void scriptsStopped(ScriptStop why) {}
};

} // namespace nimbrel::movie::display
