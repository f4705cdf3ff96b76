#include "rules/NameLines.h"

#include "text/Utf8.h"

namespace quorvane {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the character a lead byte starts; 0 for a byte that starts none.
std::size_t CharacterLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

std::string ShownName(std::string_view name) {
    std::string shown;
    shown.reserve(name.size());
    std::size_t at = 0;
    while (at < name.size()) {
        const auto byte = static_cast<unsigned char>(name[at]);
        if (byte < 0x80) {
            if (byte == '\n' || byte == '\r')
                shown.append(kReplacement);
            else
                shown.push_back(static_cast<char>(byte));
            ++at;
            continue;
        }
        const std::size_t length = CharacterLength(byte);
        if (length != 0 && at + length <= name.size() && IsValidUtf8(name.substr(at, length))) {
            shown.append(name.substr(at, length));
            at += length;
        } else {
            shown.append(kReplacement);
            ++at;
        }
    }
    return shown;
}

std::string LineOfRow(const std::string& originalName, const std::string& newName) {
    return ShownName(newName.empty() ? originalName : newName);
}

std::string NewNameFromLine(const std::string& originalName, const std::string& newName,
                            const std::string& line) {
    if (line.empty() || line == ShownName(originalName))
        return {};
    if (!newName.empty() && line == ShownName(newName))
        return newName;
    return line;
}

std::vector<std::string> SplitLines(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).push_back('\n');
    return text;
}

std::string LineCountWarning(std::size_t lines, std::size_t rows) {
    if (lines == rows)
        return {};
    return "The text has " + std::to_string(lines) + " lines for " + std::to_string(rows) +
           " files.";
}

} // namespace quorvane
