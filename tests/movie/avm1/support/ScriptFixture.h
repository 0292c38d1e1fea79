#pragma once
// An interpreter on an empty one-frame movie whose traces are collected.
#include "ActionAssembler.h"
#include "movie/avm1/Interpreter.h"
#include "movie/avm1/MovieClipObject.h"
#include "movie/display/MovieClip.h"
#include "movie/display/MovieContext.h"
#include "movie/swf/Movie.h"
#include <memory>

namespace nimbrel::movie::avm1::test {

class ScriptFixture {
public:
    explicit ScriptFixture(int version = 8)
    {
        auto movie = std::make_shared<swf::Movie>();
        movie->header.version = uint8_t(version);
        movie->timeline.frames.resize(1);
        movie_ = movie;
        context_ = std::make_unique<display::MovieContext>(movie_, nullptr);
        root_ = std::make_shared<display::MovieClip>(context_.get(), 0, &movie_->timeline);
        root_->start();
        vm = std::make_unique<Interpreter>(version);
        vm->movie = movie_;
        vm->root = vm->scriptObjectFor(root_.get());
        vm->traceSink = [this](const QString& line) { traces.append(line); };
    }
    ~ScriptFixture()
    {
        vm.reset();
        root_.reset();
    }

    QStringList run(const ActionAssembler& a)
    {
        traces.clear();
        vm->runActions(a.code(vm->version()), vm->root);
        return traces;
    }
    Value global(const QString& name) { return vm->root->get(name); }

    std::unique_ptr<Interpreter> vm;
    QStringList traces;

private:
    std::shared_ptr<const swf::Movie> movie_;
    std::unique_ptr<display::MovieContext> context_;
    std::shared_ptr<display::MovieClip> root_;
};

} // namespace nimbrel::movie::avm1::test
