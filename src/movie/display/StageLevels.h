#pragma once
// The movies loaded into levels above the main movie (_level1 and up). Each
// level's root clip has no parent; it stands at its level number, shares the
// main movie's script engine and clock, and is drawn over the levels below.
#include <map>
#include <memory>
#include <vector>

namespace nimbrel::movie::swf {
struct Movie;
}

namespace nimbrel::movie::display {

class MovieClip;
class MovieContext;

class StageLevels {
public:
    // Level numbers a movie may use; a level past it is never made.
    static constexpr int maxLevel = 0x7fff;

    MovieClip* at(int n) const;
    // The movie takes level n (1 and up) in place of what was there and shows
    // its first frame. Null when the level cannot be made.
    MovieClip* place(MovieContext& mainContext, int n, std::shared_ptr<const swf::Movie> movie);
    void remove(int n);
    // Every level goes, as when the main movie is closed.
    void clear();
    // Root clips, lowest level first.
    std::vector<std::shared_ptr<MovieClip>> roots() const;

private:
    std::map<int, std::shared_ptr<MovieClip>> levels_;
};

} // namespace nimbrel::movie::display
