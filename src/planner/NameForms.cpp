#include "planner/NameForms.h"

#include "text/AsciiCase.h"

#include <cstdlib>
#include <utf8proc.h>

namespace quorvane {
namespace {

std::string Mapped(std::string_view name, int options) {
    utf8proc_uint8_t* out = nullptr;
    const utf8proc_ssize_t length = utf8proc_map(
        reinterpret_cast<const utf8proc_uint8_t*>(name.data()),
        static_cast<utf8proc_ssize_t>(name.size()), &out, static_cast<utf8proc_option_t>(options));
    if (length < 0) {
        std::free(out);
        return std::string(name);
    }
    std::string text(reinterpret_cast<const char*>(out), static_cast<std::size_t>(length));
    std::free(out);
    return text;
}

} // namespace

bool IsAscii(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

std::string NfcForm(std::string_view name) {
    // ASCII is its own NFC; most names never reach the library.
    if (IsAscii(name))
        return std::string(name);
    return Mapped(name, UTF8PROC_STABLE | UTF8PROC_COMPOSE);
}

std::string FoldedForm(std::string_view name) {
    if (IsAscii(name)) {
        std::string lowered(name);
        for (char& c : lowered)
            c = ToAsciiLower(c);
        return lowered;
    }
    return Mapped(name, UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD);
}

} // namespace quorvane
