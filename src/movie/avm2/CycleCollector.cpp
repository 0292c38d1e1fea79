#include "movie/avm2/CycleCollector.h"
#include "movie/avm2/DictionaryObject.h"
#include "movie/avm2/ObjectRegistry.h"
#include "movie/avm2/ReferenceVisitor.h"

#include <unordered_map>

namespace nimbrel::movie::avm2 {

namespace {

// One object or scope chain of the graph, with its owner count as read
// before anything was touched.
struct Node {
    const ScriptObject* object = nullptr;
    const ScopeChain* chain = nullptr;
    long owners = 0;
    long internal = 0; // references held by other nodes
    bool reached = false;
};

class Graph {
public:
    explicit Graph(const ObjectRegistry& registry) {
        nodes_.reserve(registry.size());
        for (const ScriptObject* o : registry.objects()) {
            index_.emplace(o, nodes_.size());
            nodes_.push_back(Node{o, nullptr, o->weak_from_this().use_count()});
        }
    }

    // Counts the references nodes hold to each other; scope chains join the
    // graph as they are met, each counted once.
    void countReferences() {
        Counter counter(*this);
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            const Node n = nodes_[i];
            if (n.object)
                n.object->visitReferences(counter);
            else
                for (const ScopeEntry& e : *n.chain)
                    counter.value(e.value);
        }
    }

    // Marks everything held from outside and all it reaches; false when the
    // counts do not add up.
    bool markReachable() {
        std::vector<std::size_t> work;
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            const long outside = nodes_[i].owners - nodes_[i].internal;
            if (outside < 0)
                return false;
            // No owner at all: not held by a shared pointer, so alive by other means.
            if (outside > 0 || nodes_[i].owners == 0) {
                nodes_[i].reached = true;
                work.push_back(i);
            }
        }
        Marker marker(*this, work);
        while (!work.empty()) {
            const Node n = nodes_[work.back()];
            work.pop_back();
            if (n.object)
                n.object->visitReferences(marker);
            else
                for (const ScopeEntry& e : *n.chain)
                    marker.value(e.value);
        }
        return true;
    }

    bool reached(const ScriptObject* o) const {
        auto it = index_.find(o);
        return it == index_.end() || nodes_[it->second].reached;
    }

    std::vector<ObjectPtr> unreached() const {
        std::vector<ObjectPtr> out;
        for (const Node& n : nodes_)
            if (n.object && !n.reached && n.owners > 0)
                out.push_back(const_cast<ScriptObject*>(n.object)->shared_from_this());
        return out;
    }
    std::vector<DictionaryObject*> reachedWeakDictionaries() const {
        std::vector<DictionaryObject*> out;
        for (const Node& n : nodes_)
            if (n.object && n.reached && n.object->type == ScriptObject::Type::Dictionary)
                if (auto* d = dynamic_cast<DictionaryObject*>(const_cast<ScriptObject*>(n.object)); d && d->weakKeys)
                    out.push_back(d);
        return out;
    }
    std::size_t objectCount() const { return index_.size(); }

private:
    class Counter : public ReferenceVisitor {
    public:
        explicit Counter(Graph& g) : g_(g) {}
        void object(const ScriptObject* target) override {
            if (auto it = g_.index_.find(target); target && it != g_.index_.end())
                ++g_.nodes_[it->second].internal;
        }
        void scope(const ScopePtr& chain) override {
            if (!chain)
                return;
            auto [it, fresh] = g_.index_.emplace(chain.get(), g_.nodes_.size());
            if (fresh)
                g_.nodes_.push_back(Node{nullptr, chain.get(), chain.use_count()});
            ++g_.nodes_[it->second].internal;
        }

    private:
        Graph& g_;
    };

    class Marker : public ReferenceVisitor {
    public:
        Marker(Graph& g, std::vector<std::size_t>& work) : g_(g), work_(work) {}
        void object(const ScriptObject* target) override { reach(target); }
        void scope(const ScopePtr& chain) override { reach(chain.get()); }
        void weakObject(const ScriptObject*) override {}

    private:
        void reach(const void* key) {
            if (!key)
                return;
            auto it = g_.index_.find(key);
            if (it == g_.index_.end() || g_.nodes_[it->second].reached)
                return;
            g_.nodes_[it->second].reached = true;
            work_.push_back(it->second);
        }
        Graph& g_;
        std::vector<std::size_t>& work_;
    };

    std::vector<Node> nodes_;
    std::unordered_map<const void*, std::size_t> index_;
};

} // namespace

CycleCollector::Result CycleCollector::collect(const ObjectRegistry& registry) {
    Result result;
    result.examined = registry.size();
    std::vector<ObjectPtr> garbage;
    {
        Graph graph(registry);
        graph.countReferences();
        if (!graph.markReachable()) {
            result.inconsistent = true;
            return result;
        }
        // Held first: a weak key leaving its dictionary must not be destroyed
        // while the graph still points at it.
        garbage = graph.unreached();
        // Weak keys nothing else reaches leave their dictionaries before they go.
        for (DictionaryObject* d : graph.reachedWeakDictionaries())
            d->dropWeakKeys([&graph](const ScriptObject* key) { return !graph.reached(key); });
    }
    // Held here while their references go, so that none is destroyed half-way.
    for (const ObjectPtr& o : garbage)
        o->dropReferences();
    result.freed = garbage.size();
    garbage.clear();
    return result;
}

} // namespace nimbrel::movie::avm2
