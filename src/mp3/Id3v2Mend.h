#pragma once
// TagLib 1.13 loses frames of tags that other readers read whole: the last
// frame of a tag with an extended header (all of them in a version 2.3 tag),
// the last small frame of a tag with a footer, and every frame after one it
// cannot read (size 0, an id such as "Date", a size past the tag). These
// helpers find where its reading stopped and hand it the tag again with the
// faulty bytes left out; what the frames hold is still read by TagLib.

#include <taglib/id3v2tag.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quorvane {

// Up to `length` bytes of the file from `offset` (fewer at its end, none on
// an error).
using FileBytes = std::function<std::string(std::uint64_t offset, std::size_t length)>;

// True when TagLib, having read `tag` from the start of the file, may have
// left frames of it unread.
bool TagNeedsMend(const TagLib::ID3v2::Tag& tag, const FileBytes& read);

// Reads the tag at the start of `tagBytes` (its header included; a tag cut
// short by the end of the file is read as far as it goes) with the bytes
// TagLib stumbles over left out, and hands it to `use`. Returns what `use`
// returns, or false when there is no tag.
bool ReadMendedTag(std::string_view tagBytes,
                   const std::function<bool(const TagLib::ID3v2::Tag&)>& use);

} // namespace quorvane
