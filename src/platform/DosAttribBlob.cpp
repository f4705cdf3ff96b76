#include "platform/DosAttribBlob.h"

#include <cstring>

// Layout of the value, as Samba's NDR marshalling of xattr_DOSATTRIB writes it
// (checked against blobs packed by Samba 4.17's own NDR code), all integers
// little-endian:
//
//   offset 0   NUL-terminated text "0x" + hex of the word (versions 1..3), or
//              just the NUL (versions 4 and 5)
//   align 2    uint16 version (1..5)
//              uint16 union level, equal to the version
//   align 4    body:
//                version 1, 2:    uint32 attrib, ... (sizes, times, name)
//                version 3, 4, 5: uint32 valid_flags, uint32 attrib, times ...
//
// A value that is only the text ("0x20" with or without its NUL) is the
// legacy form; Samba reads it as the word itself. Alignment is counted from
// the start of the value, and every field of the body is aligned to 4 at
// most, so the body may move by a multiple of 4 without re-encoding.

namespace quorvane {
namespace {

constexpr std::uint32_t kValidAttrib = 0x01; // XATTR_DOSINFO_ATTRIB of valid_flags

std::size_t AlignUp(std::size_t offset, std::size_t to) {
    return (offset + to - 1) / to * to;
}

std::uint32_t LoadU32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::uint16_t LoadU16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

void StoreU32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void StoreU16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "0x" and one to eight hex digits, nothing else.
std::optional<std::uint32_t> ParseHexText(std::string_view text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        if (!IsHexDigit(c))
            return std::nullopt;
        const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::string HexText(std::uint32_t word) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[word & 0xF]);
        word >>= 4;
    } while (word != 0);
    return "0x" + text;
}

// Where the parts of a binary value lie.
struct BinaryLayout {
    std::size_t textLength = 0; // without its NUL
    std::uint16_t version = 0;
    std::size_t body = 0;
    std::size_t attrib = 0; // offset of the attribute word
};

std::optional<BinaryLayout> ReadLayout(std::string_view blob) {
    const std::size_t nul = blob.find('\0');
    if (nul == std::string_view::npos)
        return std::nullopt;
    BinaryLayout layout;
    layout.textLength = nul;
    const std::size_t header = AlignUp(nul + 1, 2);
    if (header + 4 > blob.size())
        return std::nullopt;
    layout.version = LoadU16(blob, header);
    if (layout.version < 1 || layout.version > 5 || LoadU16(blob, header + 2) != layout.version)
        return std::nullopt;
    layout.body = AlignUp(header + 4, 4);
    layout.attrib = layout.body + (layout.version >= 3 ? 4 : 0);
    if (layout.attrib + 4 > blob.size())
        return std::nullopt;
    return layout;
}

} // namespace

std::optional<std::uint32_t> ParseDosAttribBlob(std::string_view blob) {
    if (const auto layout = ReadLayout(blob))
        return LoadU32(blob, layout->attrib);
    std::string_view text = blob;
    if (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    return ParseHexText(text);
}

std::string DosAttribText(std::uint32_t word) {
    return HexText(word) + '\0';
}

std::string EditDosAttribBlob(std::string_view blob, std::uint32_t word) {
    const auto layout = ReadLayout(blob);
    if (!layout)
        return DosAttribText(word);
    // Versions 1..3 repeat the word as text in front; keep the two in step,
    // which may move the header and the body.
    const std::string text =
        layout->version <= 3 ? HexText(word) : std::string(blob.substr(0, layout->textLength));
    std::string edited = text + '\0';
    edited.resize(AlignUp(edited.size(), 2), '\0');
    const std::size_t header = edited.size();
    edited.resize(header + 4);
    StoreU16(edited, header, layout->version);
    StoreU16(edited, header + 2, layout->version);
    edited.resize(AlignUp(edited.size(), 4), '\0');
    const std::size_t body = edited.size();
    edited.append(blob.substr(layout->body));
    const std::size_t attrib = body + (layout->attrib - layout->body);
    StoreU32(edited, attrib, word);
    if (layout->version >= 3)
        StoreU32(edited, body, LoadU32(edited, body) | kValidAttrib);
    return edited;
}

} // namespace quorvane
