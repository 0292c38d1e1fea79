#pragma once
// Date: construction from now, a time value, fields or text; field getters and
// setters in local time and UTC (methods and properties); the text forms.
namespace nimbrel::movie::avm2 {

class Runtime;

class DateClass {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
