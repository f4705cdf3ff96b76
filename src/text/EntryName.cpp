#include "text/EntryName.h"

#include "text/AsciiCase.h"

#include <algorithm>
#include <array>

namespace quorvane {
namespace {

bool IsControlByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127;
}

bool FatRefuses(std::string_view name) {
    if (name.find_first_of(std::string_view("\"*:<>?\\|")) != std::string_view::npos)
        return true;
    // FAT drops trailing dots and blanks, so the file would get another name.
    return name.back() == '.' || name.back() == ' ';
}

// The stem before the first dot names the device, whatever follows it, and
// blanks before the dot do not count.
bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    const auto same = [stem](std::string_view device) {
        return EqualIgnoringAsciiCase(stem, device);
    };
    if (std::any_of(kPlain.begin(), kPlain.end(), same))
        return true;
    if (stem.size() != 4 || stem[3] < '1' || stem[3] > '9')
        return false;
    const std::string_view kind = stem.substr(0, 3);
    return EqualIgnoringAsciiCase(kind, "COM") || EqualIgnoringAsciiCase(kind, "LPT");
}

} // namespace

bool IsValidEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

NameRefusal NewNameRefusal(std::string_view name, bool fatLike) {
    if (!IsValidEntryName(name))
        return NameRefusal::NotAnEntry;
    if (std::any_of(name.begin(), name.end(), IsControlByte))
        return NameRefusal::ControlByte;
    if (fatLike && FatRefuses(name))
        return NameRefusal::FatCharacter;
    if (fatLike && IsDeviceName(name))
        return NameRefusal::DeviceName;
    return NameRefusal::None;
}

bool IsAcceptableNewName(std::string_view name) {
    return NewNameRefusal(name, false) == NameRefusal::None;
}

std::string EscapedControlBytes(std::string_view text) {
    if (std::none_of(text.begin(), text.end(), IsControlByte))
        return std::string(text);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size() + 8);
    for (const char c : text) {
        if (!IsControlByte(c)) {
            escaped += c;
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else {
            const auto byte = static_cast<unsigned char>(c);
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        }
    }
    return escaped;
}

} // namespace quorvane
