#pragma once
// escape, unescape, encodeURI, encodeURIComponent, decodeURI,
// decodeURIComponent and flash.utils' escapeMultiByte/unescapeMultiByte.
namespace nimbrel::movie::avm2 {

class Runtime;

class UriFunctions {
public:
    static void install(Runtime& rt);
};

} // namespace nimbrel::movie::avm2
