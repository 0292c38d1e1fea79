#pragma once
// A placed DefineButton/DefineButton2: shows the records of its current state
// and reports state changes so the interpreter can run the matching actions.
#include "movie/display/DisplayObject.h"
#include "movie/swf/ButtonDef.h"
#include <map>

namespace nimbrel::movie::display {

class ButtonObject : public DisplayObject {
public:
    using ChildMap = std::map<int, std::shared_ptr<DisplayObject>>;

    ButtonObject(MovieContext* context, uint16_t characterId, std::shared_ptr<const swf::ButtonDef> def);
    ~ButtonObject() override;

    const swf::ButtonDef& def() const { return *def_; }
    swf::ButtonState state() const { return state_; }
    // Shows another state; actions for the transition are the caller's business.
    void setState(swf::ButtonState state);
    // Builds the up state when the button is placed.
    void start();
    void tick();
    // Objects of the current state by record depth.
    const ChildMap& children() const { return children_; }
    // Area that reacts to the pointer, in the button's coordinates (twips).
    QRectF hitBounds() const;
    // Hands the action bytes of every condition in `conditions` to the script engine.
    void fire(uint16_t conditions);

    QRectF localBounds() const override;
    void removed() override;

private:
    void build();
    // DefineButtonSound's sound for this change of state, if it has one.
    void playChangeSound(swf::ButtonState from, swf::ButtonState to);

    std::shared_ptr<const swf::ButtonDef> def_;
    swf::ButtonState state_ = swf::ButtonUp;
    ChildMap children_;
};

} // namespace nimbrel::movie::display
