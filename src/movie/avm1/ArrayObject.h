#pragma once
// Array: an ordinary object whose index-named properties keep `length` up to
// date. Elements live in the property table like any other property, so holes,
// odd keys and enumeration order behave as scripts see them.
#include "movie/avm1/Object.h"
#include <optional>
#include <vector>

namespace nimbrel::movie::avm1 {

class ArrayObject : public Object {
public:
    ArrayObject(Interpreter& vm, Object* proto) : Object(vm, proto), elements(this) {}
    QString className() const override { return QStringLiteral("Array"); }

    // Positional view of the elements for native code: reads give undefined for
    // holes, writes store ordinary properties.
    class Elements {
    public:
        explicit Elements(ArrayObject* owner) : a_(owner) {}
        Elements(const Elements&) = delete;
        Elements& operator=(const Elements&) = delete;
        Elements& operator=(const std::vector<Value>& values);
        operator std::vector<Value>() const;

        size_t size() const;
        bool empty() const { return size() == 0; }
        Value operator[](size_t i) const;
        Value back() const { return (*this)[size() - 1]; }
        void push_back(const Value& v);
        void clear();
        template <class It> void assign(It first, It last)
        {
            std::vector<Value> values;
            for (; first != last; ++first)
                values.push_back(Value(*first));
            *this = values;
        }

        class const_iterator {
        public:
            const_iterator(const Elements* e, size_t i) : e_(e), i_(i) {}
            Value operator*() const { return (*e_)[i_]; }
            const_iterator& operator++() { ++i_; return *this; }
            bool operator!=(const const_iterator& o) const { return i_ != o.i_; }
            bool operator==(const const_iterator& o) const { return i_ == o.i_; }
        private:
            const Elements* e_;
            size_t i_;
        };
        const_iterator begin() const { return const_iterator(this, 0); }
        const_iterator end() const { return const_iterator(this, size()); }

    private:
        ArrayObject* a_;
    };
    Elements elements;

    // The script-visible length: a 32-bit integer that may be negative.
    int32_t length() const { return length_; }
    // Sets the length; shrinking deletes the elements at and past the new end.
    void setLength(double len);
    Value at(long long i);
    void put(long long i, const Value& v);
    // Replaces every element (0 .. old length) by `values`, stored in order.
    void replaceAll(const std::vector<Value>& values);
    // Stores (index, value) pairs in the given order after deleting those indices.
    void rewrite(const std::vector<std::pair<long long, Value>>& pairs);

    void set(const QString& name, const Value& v) override;
    bool hasOwn(const QString& name) override;
    bool remove(const QString& name) override;

    // The index a property name stands for: an optional minus sign and decimal
    // digits, wrapped to 32 bits as the player does; nullopt for any other name.
    static std::optional<int32_t> indexOf(const QString& name);

    // Native loops over elements stop here: a script may set any length.
    static constexpr long long kMaxScan = 1 << 22;

protected:
    bool getSpecial(const QString& name, Value& out) override;
    bool setSpecial(const QString& name, const Value& v) override;

private:
    bool isLength(const QString& name) const;
    void grow(const QString& name);
    int32_t length_ = 0;
};

} // namespace nimbrel::movie::avm1
