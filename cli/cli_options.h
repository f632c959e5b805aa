#pragma once
// The command line of fotolun-cli.
#include <optional>
#include <string>
#include <vector>

namespace fotolun::cli {

enum class Command { Login, Albums, Download, Demo, Gallery, Help, Version };

struct Options {
  Command command = Command::Help;
  std::string number;                         // --number
  bool group = false;                         // --group
  bool feed = false;                          // --feed: the space's posts (说说) rather than its albums
  bool feedNew = false;                       // --feed-new: --feed, reading only posts newer than the saved
  std::string cookies;                        // --cookies FILE, "" = the user's cookie file
  std::optional<std::string> firefoxProfile;  // --cookies-from-browser firefox[:PROFILE]: PROFILE or ""
  bool covers = false;                        // --covers
  bool noSkip = false;                        // --no-skip: fetch photos saved by an earlier run again
  int parallel = 1;                           // --parallel N: photos of an album fetched at once
  std::optional<int> patienceMs;              // --patience MINUTES: none = the settings file's
  std::optional<std::string> mode;            // --mode hd|original
  std::optional<std::string> save;            // --save DIR
  std::optional<std::string> albums;          // --albums LIST
  std::string proxy;                          // --proxy URL
  std::string caFile;                         // --ca-file FILE
  std::optional<std::string> api;             // --api classic|current|auto; none: the settings file
  bool embedDates = false;                    // --embed-dates: the shooting date inside the photos
  bool noGallery = false;                     // --no-gallery: no offline album pages at the end
  std::string galleryFolder;                  // gallery DIR
  bool quiet = false;
  bool verbose = false;
};

struct ParseResult {
  Options options;
  std::string error;  // usage error, empty when the command line is good
};

ParseResult parseOptions(const std::vector<std::string>& args);
std::string usageText();

// "1,3-5" -> the sequence numbers it names, or an error.
struct AlbumPick {
  std::vector<std::pair<int, int>> ranges;  // inclusive
  bool contains(int number) const;
};
std::optional<AlbumPick> parseAlbumPick(const std::string& list, std::string* error);

}  // namespace fotolun::cli
