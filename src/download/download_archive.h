#pragma once
// The record an album folder keeps of the photos saved into it, so that a re-run skips what is
// already there and an album that grew (and so got a new folder name) continues in its old folder.
//
// The record is the hidden file kArchiveFileName in the album folder, in UTF-8 lines:
//   album<TAB><album id>            the first line, written when the file is made
//   <kind><TAB><key><TAB><file>     one per saved photo: hd, original or group; the photo's key
//                                   (PhotoIdentity::key); the file name it was saved under
// Backslash, tab, CR and LF inside a field are written \\ \t \r \n. Lines are only ever appended,
// each synced on its own, so a crash leaves at most a torn last line, which is ignored and cut
// off before the next append. A later line for the same photo wins over an earlier one.
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "story/photo_identity.h"

namespace fotolun {

inline constexpr std::string_view kArchiveFileName = ".fotolun-archive";

class DownloadArchive {
 public:
  // The archive of the existing folder (a UTF-8 path) for album albumId, made if the folder has
  // none. nullopt when the file cannot be read or made, or when its first line does not name
  // albumId (another album's folder, or one whose archive is damaged): such a folder is never
  // written into.
  static std::optional<DownloadArchive> open(const std::filesystem::path& folder, std::string_view albumId);

  // The album id the folder's archive names; nullopt without a readable archive.
  static std::optional<std::string> albumIdOf(const std::filesystem::path& folder);

  // The file name the photo was saved under, only while that file is still in the folder, so a
  // photo whose file the user deleted is fetched again.
  std::optional<std::string> savedFile(const PhotoIdentity& photo) const;

  // Appends and syncs the line telling that photo was saved as fileName (a name inside the
  // folder); call it once the photo's own bytes are synced. False when nothing was recorded:
  // the write failed, the identity has no key, or fileName is not a plain file name.
  // Safe to call from several threads at once.
  bool record(const PhotoIdentity& photo, const std::string& fileName);

  // Closes the file that record keeps open from one line to the next (the album is done); the
  // next record opens it again.
  void closeFile();

  const std::string& albumId() const { return albumId_; }

 private:
  DownloadArchive(std::filesystem::path folder, std::string albumId);
  bool append(std::string line);

  std::filesystem::path folder_;
  std::string albumId_;
  std::unique_ptr<std::mutex> mutex_ = std::make_unique<std::mutex>();
  std::map<PhotoIdentity, std::string> files_;
  platform::File file_;  // the record file, open from the first line recorded
};

// Another folder in numberFolder whose archive names albumId: the album's folder from an earlier
// run under an older name (the name holds the photo count, which changes as the album grows).
// nullopt when a file or folder named wantedName (UTF-8) already exists there, or when there is
// no such folder; a folder without an archive, or with another album's, is never one. If several
// qualify, the one whose archive was written last.
std::optional<std::filesystem::path> findEarlierAlbumFolder(const std::filesystem::path& numberFolder,
                                                            std::string_view albumId,
                                                            const std::string& wantedName);

// Renames the folder findEarlierAlbumFolder finds to wantedName, never over anything that
// appeared under that name meanwhile. The album's folder under wantedName when it was renamed.
std::optional<std::filesystem::path> moveEarlierAlbumFolder(const std::filesystem::path& numberFolder,
                                                            std::string_view albumId,
                                                            const std::string& wantedName);

}  // namespace fotolun
