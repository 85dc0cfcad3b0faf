#include "sourcemap/Mappings.h"

#include <algorithm>
#include <array>
#include <limits>

namespace SourceMaps {

namespace {

constexpr std::array<int8_t, 256> base64Table() {
    std::array<int8_t, 256> t{};
    for (auto &v : t)
        v = -1;
    const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        t[uint8_t(alphabet[i])] = int8_t(i);
    return t;
}
constexpr std::array<int8_t, 256> Base64 = base64Table();

} // namespace

bool Mappings::decode(const char *begin, const char *end, int sourceCount, int nameCount, QString *reason) {
    m_segments.clear();
    m_lineStarts.clear();
    m_segments.reserve(size_t(end - begin) / 5);
    m_lineStarts.push_back(0);

    // Positions stay 64-bit while adding, so an overflow shows as a value out of range.
    int64_t column = 0, source = 0, line = 0, originalColumn = 0, name = 0;
    int64_t fields[5];
    int fieldCount = 0;
    bool lineSorted = true;
    const char *p = begin;

    auto failAt = [&](const char *what) {
        if (reason)
            *reason = QStringLiteral("源映射的 mappings 格式错误：%1（第 %2 个字符）")
                          .arg(QString::fromUtf8(what))
                          .arg(p - begin + 1);
        m_segments.clear();
        m_segments.shrink_to_fit();
        m_lineStarts.clear();
        return false;
    };
    auto sortLine = [&]() {
        if (!lineSorted)
            std::stable_sort(m_segments.begin() + m_lineStarts.back(), m_segments.end(),
                             [](const Segment &a, const Segment &b) { return a.column < b.column; });
        lineSorted = true;
    };
    auto endSegment = [&]() -> const char * {
        if (fieldCount == 0)
            return nullptr; // empty segment (",," or ";;") adds nothing
        if (fieldCount != 1 && fieldCount != 4 && fieldCount != 5)
            return "一段应有 1、4 或 5 个数";
        Segment s;
        column += fields[0];
        if (column < 0 || column > std::numeric_limits<int32_t>::max())
            return "生成列超出范围";
        s.column = int32_t(column);
        if (fieldCount >= 4) {
            source += fields[1];
            line += fields[2];
            originalColumn += fields[3];
            if (source < 0 || source >= sourceCount)
                return "源序号超出范围";
            if (line < 0 || line > std::numeric_limits<int32_t>::max() || originalColumn < 0 ||
                originalColumn > std::numeric_limits<int32_t>::max())
                return "原始位置超出范围";
            s.source = int32_t(source);
            s.line = int32_t(line);
            s.originalColumn = int32_t(originalColumn);
            if (fieldCount == 5) {
                name += fields[4];
                if (name < 0 || name >= nameCount)
                    return "名称序号超出范围";
                s.name = int32_t(name);
            }
        }
        if (m_segments.size() > m_lineStarts.back() && m_segments.back().column > s.column)
            lineSorted = false;
        if (m_segments.size() >= std::numeric_limits<uint32_t>::max())
            return "段太多";
        m_segments.push_back(s);
        fieldCount = 0;
        return nullptr;
    };

    while (p < end) {
        const char c = *p;
        if (c == ',' || c == ';') {
            if (const char *bad = endSegment())
                return failAt(bad);
            fieldCount = 0;
            if (c == ';') {
                sortLine();
                m_lineStarts.push_back(uint32_t(m_segments.size()));
                column = 0;
            }
            ++p;
            continue;
        }
        // One base64 VLQ: 5 bits a digit, low bits first, bit 6 says "more follows", lowest bit the sign.
        uint64_t value = 0;
        int shift = 0;
        for (;;) {
            if (p >= end)
                return failAt("数值没有结束");
            const int8_t digit = Base64[uint8_t(*p)];
            if (digit < 0)
                return failAt("不是 base64 字符");
            ++p;
            if (shift > 32)
                return failAt("数值超过 32 位");
            value |= uint64_t(digit & 31) << shift;
            shift += 5;
            if (!(digit & 32))
                break;
        }
        if (fieldCount == 5)
            return failAt("一段应有 1、4 或 5 个数");
        const int64_t magnitude = int64_t(value >> 1);
        fields[fieldCount++] = (value & 1) ? -magnitude : magnitude;
    }
    if (const char *bad = endSegment())
        return failAt(bad);
    sortLine();
    m_lineStarts.push_back(uint32_t(m_segments.size()));
    return true;
}

std::span<const Segment> Mappings::line(int index) const {
    if (index < 0 || index >= lineCount())
        return {};
    return std::span<const Segment>(m_segments.data() + m_lineStarts[size_t(index)],
                                    m_segments.data() + m_lineStarts[size_t(index) + 1]);
}

std::optional<OriginalPosition> Mappings::find(int line, int column) const {
    const std::span<const Segment> segments = this->line(line);
    auto after = std::upper_bound(segments.begin(), segments.end(), column,
                                  [](int col, const Segment &s) { return col < s.column; });
    if (after == segments.begin())
        return std::nullopt;
    const Segment &s = *(after - 1);
    if (s.source < 0)
        return std::nullopt;
    return OriginalPosition{s.source, s.line, s.originalColumn, s.name};
}

} // namespace SourceMaps
