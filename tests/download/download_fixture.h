#pragma once
// A program wired to the stand-in service, with its album list filled as the list button would
// fill it, a download run and a temporary save folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "download/download_run.h"
#include "form/locked_ui_thread.h"
#include "program/program.h"
#include "standin/standin.h"
#include "support/scripted_form.h"
#include "support/standin_fixture.h"

namespace fotolun::testing {

// A photo the test expects on disk: name_index_<1..2000>.jpg holding bytes.
struct ExpectedPhoto {
  std::string name;  // UTF-8
  int index = 0;
  std::string bytes;
};

// The stand-in world with the save folder as the temporary folder and the program's own folder
// inside it.
class DownloadFixture : public ::testing::Test, public StandinWorld {
 protected:
  explicit DownloadFixture(std::uint64_t seed = 11);
  explicit DownloadFixture(const standin::StandinOptions& options);
  ~DownloadFixture() override;

  void choosePersonal(const standin::PersonalAccount& account, bool hd);
  void chooseGroup(const standin::Group& group);
  void addRow(const std::string& number, const std::string& name, const std::string& count,
              const std::string& id, bool checked = true);
  void addPersonalRow(const standin::PersonalAlbum& album, int number);
  void addGroupRow(const standin::GroupAlbum& album, int number);

  void start();  // presses 按钮_下载选中 on the UI thread
  void runToEnd();

  std::filesystem::path folder(const std::string& number, const std::string& albumFolder) const;
  // The files in a folder by name (UTF-8), hidden ones included but the folder's own record.
  static std::map<std::string, std::string> filesIn(const std::filesystem::path& folder);
  // Every file below the save folder, by path relative to it.
  std::map<std::string, std::string> allFiles() const;
  // Each expected photo matches a file of its own; nothing else is in the folder.
  void expectPhotos(const std::filesystem::path& folder, const std::vector<ExpectedPhoto>& expected) const;

  std::vector<standin::Request> requestsWithPath(const std::string& path);

  std::filesystem::path saveFolder;
  std::unique_ptr<DownloadRun> run;
};

// The photo's title as the listings turn it into a file name, for titles without characters the
// names leave out.
std::vector<ExpectedPhoto> personalPhotos(const standin::Standin& standin,
                                          const standin::PersonalAlbum& album, bool fullSize);
std::vector<ExpectedPhoto> groupPhotos(const standin::Standin& standin, const standin::GroupAlbum& album);

}  // namespace fotolun::testing
