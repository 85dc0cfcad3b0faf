#pragma once
// What the nesting pass needs to know of a tag name: the sets of the HTML tree builder it belongs to.

#include <string_view>

namespace markup {

// Properties of a tag name, looked up once per distinct name.
enum Flag : unsigned {
    Special = 1u << 0,        // "any other end tag" stops at these
    ScopeBoundary = 1u << 1,  // bounds "has an element in scope"
    ButtonBoundary = 1u << 2, // bounds "in button scope" (scope boundaries included)
    TableBoundary = 1u << 3,  // bounds "in table scope"
    Void = 1u << 4,
    Formatting = 1u << 5,
    Marker = 1u << 6,       // opens a new level of the list of active formatting elements
    ClosesP = 1u << 7,      // start tag closes an open <p> in button scope
    Keep = 1u << 8,         // never blanked on its own (see Container)
    RawText = 1u << 9,      // content up to the matching end tag is text (in HTML content)
    Breakout = 1u << 10,    // start tag leaves foreign content
    Integration = 1u << 11, // svg foreignObject/desc/title, math mi/mo/mn/ms/mtext: HTML inside
    // A kept element that holds elements: too deep, it is blanked with all it holds, so that what it
    // says about its content (template contents, foreign content) cannot change by halves.
    Container = 1u << 12
};

// The flags of `name` (lower-cased).
unsigned flagsOf(std::string_view name);

} // namespace markup
