#include "mp3/Mp3TagReader.h"

#include "mp3/GenreNames.h"
#include "mp3/Id3v2Mend.h"
#include "mp3/TagText.h"
#include "platform/ReadOnlyFile.h"

#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tiostream.h>

#include <algorithm>
#include <climits>
#include <exception>
#include <optional>

namespace quorvane {
namespace {

constexpr std::size_t kId3v2HeaderSize = 10;

// The start of a tag of a version the reader knows (2.2 to 2.4). Every other
// file, most MP3 files among them, never reaches TagLib.
bool StartsId3v2Tag(std::string_view head) {
    return head.size() >= kId3v2HeaderSize && head.substr(0, 3) == "ID3" && head[3] >= 2 &&
           head[3] <= 4;
}

// TagLib reads through this stream, so the file is opened the way every other
// reader here opens one (read only, never waiting on a pipe) and each read is
// one pread at a known offset.
class ReadOnlyFileStream : public TagLib::IOStream {
public:
    ReadOnlyFileStream(const ReadOnlyFile& file, const std::string& path)
        : m_file(file), m_path(path) {}

    TagLib::FileName name() const override { return m_path.c_str(); }
    TagLib::ByteVector readBlock(unsigned long length) override {
        if (!m_file.ReadAt(m_position, length, m_chunk))
            return {};
        m_position += m_chunk.size();
        return {m_chunk.data(), static_cast<unsigned int>(m_chunk.size())};
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_file.IsOpen(); }
    void seek(long offset, Position from) override {
        long long base = 0;
        if (from == Current)
            base = static_cast<long long>(m_position);
        else if (from == End)
            base = static_cast<long long>(m_file.Size());
        const long long target = base + offset;
        m_position = target < 0 ? 0 : static_cast<std::uint64_t>(target);
    }
    long tell() const override {
        return m_position > static_cast<std::uint64_t>(LONG_MAX) ? LONG_MAX
                                                                 : static_cast<long>(m_position);
    }
    long length() override {
        return m_file.Size() > static_cast<std::uint64_t>(LONG_MAX)
                   ? LONG_MAX
                   : static_cast<long>(m_file.Size());
    }
    void truncate(long) override {}

private:
    const ReadOnlyFile& m_file;
    const std::string& m_path;
    std::uint64_t m_position = 0;
    std::string m_chunk;
};

// Taggers pad text with zero bytes and spaces as in ID3v1; the same trim
// applies, so a trailing line break of a comment is padding too.
void TrimRight(std::string& text) {
    std::size_t length = text.size();
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= 32)
        --length;
    text.resize(length);
}

// UTF-16 and UTF-8 frames convert as they are. Latin-1 frames get the ID3v1
// treatment: bytes that already form valid UTF-8 (taggers that wrote UTF-8
// into a Latin-1 frame) are kept as they are.
std::string TextOf(const TagLib::String& text) {
    std::string utf8 = text.isLatin1() ? TagTextToUtf8(text.to8Bit(false)) : text.to8Bit(true);
    TrimRight(utf8);
    return utf8;
}

const TagLib::ID3v2::Frame* FirstFrame(const TagLib::ID3v2::Tag& tag, const char* id) {
    const TagLib::ID3v2::FrameListMap& frames = tag.frameListMap();
    const auto found = frames.find(id);
    if (found == frames.end() || found->second.isEmpty())
        return nullptr;
    return found->second.front();
}

std::string GenreOf(const TagLib::ID3v2::Tag& tag) {
    const auto* frame =
        dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(FirstFrame(tag, "TCON"));
    if (!frame)
        return {};
    std::vector<std::string> values;
    for (const TagLib::String& value : frame->fieldList())
        values.push_back(TextOf(value));
    return ResolveGenreValues(values);
}

// The year of a TDRC frame, or of a TYER frame where there is none: version
// 2.4 has only TDRC, but taggers that kept their 2.3 habits write TYER into
// 2.4 tags too.
unsigned int YearOf(const TagLib::ID3v2::Tag& tag) {
    if (const unsigned int year = tag.year(); year != 0)
        return year;
    const TagLib::ID3v2::Frame* frame = FirstFrame(tag, "TYER");
    return frame ? static_cast<unsigned int>(frame->toString().substr(0, 4).toInt()) : 0;
}

bool FieldsOf(const TagLib::ID3v2::Tag& tag, Mp3TagFields& fields) {
    fields.artist = TextOf(tag.artist());
    fields.title = TextOf(tag.title());
    fields.album = TextOf(tag.album());
    if (const unsigned int year = YearOf(tag); year != 0)
        fields.year = std::to_string(year);
    fields.genre = GenreOf(tag);
    fields.comment = TextOf(tag.comment());
    std::string track;
    if (const TagLib::ID3v2::Frame* frame = FirstFrame(tag, "TRCK"))
        track = TrackNumberOf(TextOf(frame->toString()));
    const bool anyField = fields.AnyText() || !track.empty();
    fields.track = track.empty() ? "0" : std::move(track);
    return anyField;
}

// `read` gives the bytes of the same file when TagLib's reading of the tag
// has to be mended.
bool ReadId3v2Fields(TagLib::IOStream& stream, const FileBytes& read, Mp3TagFields& fields) {
    fields.Clear();
    // TagLib reports broken frames by skipping them; anything it throws
    // (memory for an absurd frame size) means the tag is of no use either.
    try {
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid() || !file.hasID3v2Tag())
            return false;
        const TagLib::ID3v2::Tag* tag = file.ID3v2Tag(false);
        // TagLib reads any version number; the frames of a version it does
        // not know (2.5, 9) are guesses.
        if (!tag || tag->header()->majorVersion() < 2 || tag->header()->majorVersion() > 4)
            return false;
        if (!TagNeedsMend(*tag, read))
            return FieldsOf(*tag, fields);
        const std::string bytes = read(0, TagLib::ID3v2::Header::size() + tag->header()->tagSize());
        return ReadMendedTag(bytes, [&fields](const TagLib::ID3v2::Tag& mended) {
            return FieldsOf(mended, fields);
        });
    } catch (const std::exception&) {
        fields.Clear();
        return false;
    }
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What a genre reference stands for: a number names an entry of GenreNames
// (nothing for one without a name), RX and CR are the two word references.
std::optional<std::string_view> ReferenceName(std::string_view reference) {
    if (AllDigits(reference)) {
        if (reference.size() > 3)
            return std::string_view{};
        const int number = std::stoi(std::string(reference));
        return number <= 255 ? GenreNameOf(static_cast<std::uint8_t>(number)) : std::string_view{};
    }
    if (reference == "RX")
        return std::string_view("Remix");
    if (reference == "CR")
        return std::string_view("Cover");
    return std::nullopt;
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

void Mp3TagFields::Clear() {
    artist.clear();
    title.clear();
    album.clear();
    year.clear();
    genre.clear();
    comment.clear();
    track.clear();
}

bool Mp3TagFields::AnyText() const {
    return !artist.empty() || !title.empty() || !album.empty() || !year.empty() || !genre.empty() ||
           !comment.empty();
}

std::string ResolveGenreValues(const std::vector<std::string>& values) {
    std::vector<std::string_view> names;
    const auto add = [&names](std::string_view name) {
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    };
    for (const std::string& value : values) {
        std::string_view rest = TrimSpaces(value);
        bool literal = false;
        while (rest.size() >= 2 && rest.front() == '(') {
            if (rest[1] == '(') { // "((" starts a text that begins with "("
                rest.remove_prefix(1);
                literal = true;
                break;
            }
            const std::size_t close = rest.find(')');
            if (close == std::string_view::npos)
                break;
            const std::optional<std::string_view> named = ReferenceName(rest.substr(1, close - 1));
            if (!named)
                break;
            add(*named);
            rest.remove_prefix(close + 1);
        }
        const std::optional<std::string_view> named = literal ? std::nullopt : ReferenceName(rest);
        add(named ? *named : rest);
    }
    std::string genre;
    for (const std::string_view name : names) {
        if (!genre.empty())
            genre += ' ';
        genre += name;
    }
    return genre;
}

std::string TrackNumberOf(std::string_view value) {
    value = TrimSpaces(value);
    std::size_t digits = 0;
    while (digits < value.size() && value[digits] >= '0' && value[digits] <= '9')
        ++digits;
    std::string_view number = value.substr(0, digits);
    while (number.size() > 1 && number.front() == '0')
        number.remove_prefix(1);
    return std::string(number);
}

bool HoldsControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 32 || byte == 127;
    });
}

Mp3TagSource Mp3TagReader::FromID3v1Block(bool blockRead) {
    if (!blockRead || !m_id3v1.ParseBlock(m_buffer)) {
        m_id3v1.Reset();
        return Mp3TagSource::None;
    }
    return m_id3v1.exists ? Mp3TagSource::ID3v1 : Mp3TagSource::None;
}

Mp3TagSource Mp3TagReader::Read(const std::string& path, bool readId3v2, Mp3TagFields& fields) {
    if (!readId3v2)
        return m_id3v1.ReadID3v1(path) && m_id3v1.exists ? Mp3TagSource::ID3v1 : Mp3TagSource::None;
    m_id3v1.Reset();
    const ReadOnlyFile file(path);
    if (!file.IsOpen())
        return Mp3TagSource::None;
    if (file.ReadAt(0, kId3v2HeaderSize, m_buffer) && StartsId3v2Tag(m_buffer)) {
        ReadOnlyFileStream stream(file, path);
        const FileBytes read = [&file](std::uint64_t offset, std::size_t length) {
            std::string bytes;
            if (!file.ReadAt(offset, length, bytes))
                bytes.clear();
            return bytes;
        };
        if (ReadId3v2Fields(stream, read, fields))
            return Mp3TagSource::ID3v2;
    }
    if (file.Size() < kID3v1BlockSize)
        return Mp3TagSource::None;
    const bool read = file.ReadAt(file.Size() - kID3v1BlockSize, kID3v1BlockSize, m_buffer) &&
                      m_buffer.size() == kID3v1BlockSize;
    return FromID3v1Block(read);
}

Mp3TagSource Mp3TagReader::ReadBytes(std::string_view content, bool readId3v2,
                                     Mp3TagFields& fields) {
    m_id3v1.Reset();
    if (readId3v2 && StartsId3v2Tag(content)) {
        TagLib::ByteVectorStream stream(
            TagLib::ByteVector(content.data(), static_cast<unsigned int>(content.size())));
        const FileBytes read = [content](std::uint64_t offset, std::size_t length) {
            return offset < content.size() ? std::string(content.substr(offset, length))
                                           : std::string();
        };
        if (ReadId3v2Fields(stream, read, fields))
            return Mp3TagSource::ID3v2;
    }
    if (content.size() < kID3v1BlockSize)
        return Mp3TagSource::None;
    m_buffer.assign(content.substr(content.size() - kID3v1BlockSize));
    return FromID3v1Block(true);
}

} // namespace quorvane
