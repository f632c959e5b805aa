#pragma once
// The offline album: static pages built from the album records alone, so they show whatever any
// run saved, open from file:// without the program, a script or the network, and still work once
// the folder is moved or burnt to a disc (every link is relative).
#include <filesystem>
#include <optional>
#include <vector>

namespace fotolun {

// The folder in a number's folder that holds what the space posted outside its albums, a folder
// of the year for each year: "说说/2019". Its year folders are albums like the number's others.
inline constexpr const char* kFeedFolder = "说说";

// Photos on one album page; a bigger album gets index-2.html and so on.
inline constexpr int kPhotosPerPage = 300;

// Writes index.html (and its further pages) in every folder of numberFolder that holds an album
// record (and in each year folder of its kFeedFolder), then numberFolder's own index.html with the albums as
// covers. The top page, or nullopt when no page could be written (no album there, or a folder that takes no
// file).
std::optional<std::filesystem::path> writeGallery(const std::filesystem::path& numberFolder);

// The same for a folder a user names: a number folder, one album folder (its number folder is
// rebuilt), or a folder holding number folders a few levels down (each one is, and the folder
// gets an index.html leading to them). The top pages written, that folder's own first.
std::vector<std::filesystem::path> rebuildGalleries(const std::filesystem::path& folder);

// Only the index.html of a folder holding number folders a few levels down, leading to their
// pages as they stand (a run writes those). nullopt when none has a page.
std::optional<std::filesystem::path> writeFolderIndex(const std::filesystem::path& folder);

}  // namespace fotolun
