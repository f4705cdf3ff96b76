#pragma once
// ID3v1 text is ISO-8859-1; names on this platform are UTF-8.

#include <string>
#include <string_view>

namespace quorvane {

// Text that is already valid UTF-8 stays as it is (taggers that wrote UTF-8
// into the tag); anything else is read as ISO-8859-1 and converted.
std::string TagTextToUtf8(std::string_view raw);

} // namespace quorvane
