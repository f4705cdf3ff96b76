#include "mp3/GenreNames.h"

namespace quorvane {

using namespace std::string_view_literals;

// A list of the wrong length does not compile: to_array sizes it from the names.
// Built at compile time, so no static initialiser can see it half made.
// clang-format off
constinit const std::array<std::string_view, kGenreCount> GenreNames =
    std::to_array<std::string_view>({
    "Blues"sv, "Classic Rock"sv, "Country"sv, "Dance"sv, "Disco"sv,                 // 0
    "Funk"sv, "Grunge"sv, "Hip-Hop"sv, "Jazz"sv, "Metal"sv,                         // 5
    "New Age"sv, "Oldies"sv, "Other"sv, "Pop"sv, "R&B"sv,                           // 10
    "Rap"sv, "Reggae"sv, "Rock"sv, "Techno"sv, "Industrial"sv,                      // 15
    "Alternative"sv, "Ska"sv, "Death Metal"sv, "Pranks"sv, "Soundtrack"sv,          // 20
    "Euro-Techno"sv, "Ambient"sv, "Trip-Hop"sv, "Vocal"sv, "Jazz+Funk"sv,           // 25
    "Fusion"sv, "Trance"sv, "Classical"sv, "Instrumental"sv, "Acid"sv,              // 30
    "House"sv, "Game"sv, "Sound Clip"sv, "Gospel"sv, "Noise"sv,                     // 35
    "AlternRock"sv, "Bass"sv, "Soul"sv, "Punk"sv, "Space"sv,                        // 40
    "Meditative"sv, "Instrumental Pop"sv, "Instrumental Rock"sv, "Ethnic"sv,        // 45
    "Gothic"sv,                                                                     // 49
    "Darkwave"sv, "Techno-Industrial"sv, "Electronic"sv, "Pop-Folk"sv,              // 50
    "Eurodance"sv,                                                                  // 54
    "Dream"sv, "Southern Rock"sv, "Comedy"sv, "Cult"sv, "Gangsta"sv,                // 55
    "Top 40"sv, "Christian Rap"sv, "Pop/Funk"sv, "Jungle"sv, "Native American"sv,   // 60
    "Cabaret"sv, "New Wave"sv, "Psychadelic"sv, "Rave"sv, "Showtunes"sv,            // 65
    "Trailer"sv, "Lo-Fi"sv, "Tribal"sv, "Acid Punk"sv, "Acid Jazz"sv,               // 70
    "Polka"sv, "Retro"sv, "Musical"sv, "Rock & Roll"sv, "Hard Rock"sv,              // 75
    "Folk"sv, "Folk-Rock"sv, "National Folk"sv, "Swing"sv, "Fast Fusion"sv,         // 80
    "Bebob"sv, "Latin"sv, "Revival"sv, "Celtic"sv, "Bluegrass"sv,                   // 85
    "Avantgarde"sv, "Gothic Rock"sv, "Progessive Rock"sv, "Psychedelic Rock"sv,     // 90
    "Symphonic Rock"sv,                                                             // 94
    "Slow Rock"sv, "Big Band"sv, "Chorus"sv, "Easy Listening"sv, "Acoustic"sv,      // 95
    "Humour"sv, "Speech"sv, "Chanson"sv, "Opera"sv, "Chamber Music"sv,              // 100
    "Sonata"sv, "Symphony"sv, "Booty Bass"sv, "Primus"sv, "Porn Groove"sv,          // 105
    "Satire"sv, "Slow Jam"sv, "Club"sv, "Tango"sv, "Samba"sv,                       // 110
    "Folklore"sv, "Ballad"sv, "Power Ballad"sv, "Rhythmic Soul"sv, "Freestyle"sv,   // 115
    "Duet"sv, "Punk Rock"sv, "Drum Solo"sv, "A capella"sv, "Euro-House"sv,          // 120
    "Dance Hall"sv, "Goa"sv, "Drum & Bass"sv, "Club-House"sv, "Hardcore"sv,         // 125
    "Terror"sv, "Indie"sv, "BritPop"sv, "Chillout"sv, "Polsk Punk"sv,               // 130
    "Beat"sv, "Christian Gangsta Rap"sv, "Heavy Metal"sv, "Black Metal"sv,          // 135
    "Crossover"sv,                                                                  // 139
    "Contemporary Christian"sv, "Christian Rock"sv, "Merengue"sv, "Salsa"sv,        // 140
    "Trash Metal"sv,                                                                // 144
    "Anime"sv, "JPop"sv, "Synthpop"sv,                                              // 145
});
// clang-format on

std::string_view GenreNameOf(std::uint8_t genre) {
    return genre < kGenreCount ? GenreNames[genre] : std::string_view{};
}

} // namespace quorvane
