#include "mp3/Id3v2Mend.h"

#include <taglib/id3v2frame.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2synchdata.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>

namespace quorvane {
namespace {

constexpr std::size_t kTagHeaderSize = 10;
constexpr unsigned char kUnsynchronised = 0x80;
constexpr unsigned char kExtendedHeader = 0x40;
// Every round leaves out at least one byte; a tag with more broken frames
// than this keeps what the last round read.
constexpr int kMaxRounds = 16;

unsigned char ByteAt(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

std::uint64_t BigEndianAt(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = value << 8 | ByteAt(bytes, at + i);
    return value;
}

std::uint64_t SynchsafeAt(std::string_view bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 7 | (ByteAt(bytes, at + i) & 0x7Fu);
    return value;
}

// How the frames of one tag version are laid out.
struct FrameLayout {
    unsigned version;
    std::size_t headerSize; // id, size, flags
    std::size_t idSize;

    explicit FrameLayout(unsigned major)
        : version(major), headerSize(TagLib::ID3v2::Frame::headerSize(major)),
          idSize(major < 3 ? 3 : 4) {}

    std::uint64_t SizeAt(std::string_view body, std::size_t at) const {
        if (version < 3)
            return BigEndianAt(body, at + 3, 3);
        return version == 3 ? BigEndianAt(body, at + 4, 4) : SynchsafeAt(body, at + 4);
    }

    // A frame header TagLib accepts, of a frame that ends inside the body.
    bool PlausibleAt(std::string_view body, std::size_t at) const {
        if (at + headerSize > body.size())
            return false;
        for (std::size_t i = 0; i < idSize; ++i) {
            const unsigned char c = ByteAt(body, at + i);
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
                return false;
        }
        const std::uint64_t size = SizeAt(body, at);
        return size > 0 && size <= body.size() - at - headerSize;
    }

    std::size_t NextPlausible(std::string_view body, std::size_t from) const {
        for (std::size_t at = from; at + headerSize <= body.size(); ++at)
            if (PlausibleAt(body, at))
                return at;
        return body.size();
    }

    // Where reading goes on after the frame at `at` that TagLib refused: past
    // it when its size leads to a frame, padding or the end; else at the next
    // frame header further on.
    std::size_t ResumeAfter(std::string_view body, std::size_t at) const {
        if (at + headerSize <= body.size()) {
            const std::uint64_t next = at + headerSize + SizeAt(body, at);
            if (next == body.size() ||
                (next < body.size() && (ByteAt(body, next) == 0 || PlausibleAt(body, next))))
                return static_cast<std::size_t>(next);
        }
        return NextPlausible(body, at + 1);
    }
};

// Where TagLib's walk over the frames ended: each frame it kept, in the order
// it read them, moved it on by the frame's header and stored size.
std::size_t FramesEnd(const TagLib::ID3v2::Tag& tag, std::size_t headerSize) {
    std::size_t end = 0;
    for (const TagLib::ID3v2::Frame* frame : tag.frameList())
        end += headerSize + frame->size();
    return end;
}

// Whether TagLib stopped before the padding or the end of the frames.
bool StoppedEarly(std::string_view body, std::size_t end, std::size_t headerSize) {
    return end + headerSize < body.size() && ByteAt(body, end) != 0;
}

// The extended header's length: in 2.3 its size field leaves out its own four
// bytes (6 or 10 follow), in 2.4 it counts them. Zero when the field is
// nonsense.
std::size_t ExtendedHeaderLength(std::string_view body, unsigned version) {
    if (body.size() < 4)
        return 0;
    std::uint64_t length = 0;
    if (version == 3) {
        const std::uint64_t field = BigEndianAt(body, 0, 4);
        length = field == 6 || field == 10 ? 4 + field : 0;
    } else {
        const std::uint64_t field = SynchsafeAt(body, 0);
        length = field >= 6 ? field : 0;
    }
    return length <= body.size() ? static_cast<std::size_t>(length) : 0;
}

std::string TagOf(unsigned version, const std::string& body) {
    std::string tag = "ID3";
    tag += static_cast<char>(version);
    tag += std::string(2, '\0'); // revision, and no flags: nothing left to undo
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>((body.size() >> shift) & 0x7Fu);
    return tag + body;
}

// The frames of the tag as plain bytes: undone unsynchronisation, no extended
// header; the footer is never part of the body.
std::string FramesOf(std::string_view tagBytes, const FrameLayout& layout) {
    const unsigned char flags = ByteAt(tagBytes, 5);
    const std::uint64_t declared = SynchsafeAt(tagBytes, 6);
    std::string body(tagBytes.substr(kTagHeaderSize, declared));
    // Version 2.4 unsynchronises frame by frame; TagLib undoes that itself.
    if ((flags & kUnsynchronised) && layout.version <= 3) {
        const TagLib::ByteVector decoded = TagLib::ID3v2::SynchData::decode(
            TagLib::ByteVector(body.data(), static_cast<unsigned int>(body.size())));
        body.assign(decoded.data(), decoded.size());
    }
    // In 2.2 the flag means a compressed tag, for which there is no scheme.
    if ((flags & kExtendedHeader) && layout.version >= 3) {
        std::size_t length = ExtendedHeaderLength(body, layout.version);
        if (length == 0)
            length = layout.NextPlausible(body, 1);
        body.erase(0, length);
    }
    return body;
}

} // namespace

bool TagNeedsMend(const TagLib::ID3v2::Tag& tag, const FileBytes& read) {
    const TagLib::ID3v2::Header& header = *tag.header();
    if (header.extendedHeader() || header.footerPresent() ||
        (header.unsynchronisation() && header.majorVersion() <= 3))
        return true;
    const std::size_t headerSize = TagLib::ID3v2::Frame::headerSize(header.majorVersion());
    const std::size_t end = FramesEnd(tag, headerSize);
    if (end + headerSize >= header.tagSize())
        return false;
    const std::string next = read(kTagHeaderSize + end, 1);
    return !next.empty() && next[0] != '\0';
}

bool ReadMendedTag(std::string_view tagBytes,
                   const std::function<bool(const TagLib::ID3v2::Tag&)>& use) {
    if (tagBytes.size() < kTagHeaderSize || tagBytes.substr(0, 3) != "ID3")
        return false;
    const FrameLayout layout(ByteAt(tagBytes, 3));
    std::string body = FramesOf(tagBytes, layout);
    for (int round = 1;; ++round) {
        const std::string tagCopy = TagOf(layout.version, body);
        TagLib::ByteVectorStream stream(
            TagLib::ByteVector(tagCopy.data(), static_cast<unsigned int>(tagCopy.size())));
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        const TagLib::ID3v2::Tag* tag = file.ID3v2Tag(false);
        if (!tag)
            return false;
        const std::size_t end = FramesEnd(*tag, layout.headerSize);
        if (round == kMaxRounds || !StoppedEarly(body, end, layout.headerSize))
            return use(*tag);
        body.erase(end, layout.ResumeAfter(body, end) - end);
    }
}

} // namespace quorvane
