#pragma once
// The time a saved photo carries as its file's modification time, so that a folder of photos
// sorts by when they were taken rather than when they were downloaded.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace fotolun {

// The photo's time from the listing's rawshoottime, else its uploadtime; nullopt when neither
// holds one. Both are member texts as json-c prints them: "YYYY-MM-DD HH:MM:SS" in China time
// (UTC+8, whatever the machine's own zone), or unix seconds as a number or a string. "", "0",
// null and anything malformed count as no time, so a bad shooting time falls back to the upload.
std::optional<std::time_t> photoTime(std::string_view rawShootTimeText, std::string_view uploadTimeText);

// time written in China time (UTC+8, as the service tells times) with strftime's format.
std::string chinaTimeText(std::time_t time, const char* format);

}  // namespace fotolun
