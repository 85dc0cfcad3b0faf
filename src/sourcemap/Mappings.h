#pragma once
// The decoded `mappings` of one source map: per generated line, its segments sorted by column, all in one
// array (20 bytes a segment) with the start of each line beside it, so a position lookup is two index
// steps and one binary search. Lines and columns count from 0; columns are UTF-16 code units, as in
// JavaScript and in QString.

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace SourceMaps {

struct Segment {
    int32_t column = 0;  // generated column
    int32_t source = -1; // -1: this stretch of the bundle maps to nothing
    int32_t line = 0;    // original line
    int32_t originalColumn = 0;
    int32_t name = -1;
};

struct OriginalPosition {
    int source = -1;
    int line = 0;
    int column = 0;
    int name = -1;
};

class Mappings {
public:
    // Decodes a whole `mappings` text. Anything malformed (a character outside base64, a cut-off value, a
    // segment of 2, 3 or more than 5 fields, a value beyond 32 bits, a negative position, an index past
    // `sourceCount` or `nameCount`) makes it fail as a whole with the reason; nothing half-decoded stays.
    bool decode(const char *begin, const char *end, int sourceCount, int nameCount, QString *reason);

    // The original position of the generated (line, column): the segment at or before the column on that
    // line. Empty when the line has none there or that segment maps to nothing.
    std::optional<OriginalPosition> find(int line, int column) const;

    int lineCount() const { return m_lineStarts.empty() ? 0 : int(m_lineStarts.size()) - 1; }
    size_t segmentCount() const { return m_segments.size(); }
    std::span<const Segment> line(int index) const;

private:
    std::vector<Segment> m_segments;
    std::vector<uint32_t> m_lineStarts; // lineCount() + 1 entries
};

} // namespace SourceMaps
