// Fuzz target: the whole content of a file, read the way the MP3 preview reads
// it with "Read ID3v2 tags" ticked, then turned into a name. A broken ID3v2 tag
// must fall back to the ID3v1 block (or to nothing) and never crash; whatever
// reaches a name must be valid UTF-8.

#include "mp3/Mp3NameFormatter.h"
#include "mp3/Mp3TagReader.h"
#include "mp3/TagText.h"
#include "text/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    TID3v1 id3v1;
    Mp3TagReader reader(id3v1);
    Mp3TagFields fields;
    const std::string format = "%1 %2 %3 %4 %5 %6 %7";
    switch (reader.ReadBytes(content, true, fields)) {
    case Mp3TagSource::ID3v2: {
        for (const std::string* field : {&fields.artist, &fields.title, &fields.album, &fields.year,
                                         &fields.genre, &fields.comment, &fields.track})
            if (!IsValidUtf8(*field))
                std::abort();
        if (fields.track.empty())
            std::abort();
        if (!FormatUsesControlCharacters(format, fields) &&
            !IsValidUtf8(ExpandMp3Format(format, fields, "song.mp3")))
            std::abort();
        break;
    }
    case Mp3TagSource::ID3v1:
        if (!id3v1.exists || !IsValidUtf8(ExpandMp3Format(format, id3v1, "song.mp3")))
            std::abort();
        break;
    case Mp3TagSource::None:
        if (id3v1.exists)
            std::abort();
        break;
    }
    return 0;
}
