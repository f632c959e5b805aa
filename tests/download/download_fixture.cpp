#include "download_fixture.h"

#include <fstream>
#include <sstream>

#include "download/download_archive.h"
#include "names/clean_file_name.h"
#include "story/album_record.h"
#include "text/encoding.h"

namespace fotolun::testing {
namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool matchesPhotoName(const std::string& file, const ExpectedPhoto& photo) {
  const std::string head = photo.name + "_" + std::to_string(photo.index) + "_";
  if (file.compare(0, head.size(), head) != 0 || !file.ends_with(".jpg")) return false;
  const std::string randomPart = file.substr(head.size(), file.size() - head.size() - 4);
  if (randomPart.empty() || randomPart.size() > 4 ||
      randomPart.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const int r = std::stoi(randomPart);
  return r >= 1 && r <= 2000;
}

}  // namespace

DownloadFixture::DownloadFixture(std::uint64_t seed)
    : DownloadFixture(standin::StandinOptions{.seed = seed}) {}

DownloadFixture::DownloadFixture(const standin::StandinOptions& options)
    : StandinWorld(options), saveFolder(programFolder.path()) {
  std::filesystem::create_directories(saveFolder / "program");
  program.folders = portableFolders(gbk((saveFolder / "program").string()));
  form.setText(Control::编辑框_保存位置, gbk(saveFolder.string()));
  run = std::make_unique<DownloadRun>(program);
}

DownloadFixture::~DownloadFixture() { run.reset(); }

void DownloadFixture::choosePersonal(const standin::PersonalAccount& account, bool hd) {
  signIn(account.qq);
  form.setCurrentIndex(Control::组合框1, 0);
  form.setText(Control::编辑框_号码, account.qq);
  program.targetNumber.set(account.qq);
  form.setChecked(Control::选择框_高清, hd);
  form.setChecked(Control::选择框_原图, !hd);
}

void DownloadFixture::chooseGroup(const standin::Group& group) {
  signIn(standin.data().ordinaryAccount().qq);
  form.setCurrentIndex(Control::组合框1, 1);
  form.setText(Control::编辑框_号码, group.number);
}

void DownloadFixture::addRow(const std::string& number, const std::string& name, const std::string& count,
                             const std::string& id, bool checked) {
  const int row = form.appendRow();
  form.setCell(row, column::序号, number);
  form.setCell(row, column::相册名称, gbk(name));
  form.setCell(row, column::图片数量, count);
  form.setCell(row, column::相册ID, id);
  form.setRowChecked(row, checked);
}

void DownloadFixture::addPersonalRow(const standin::PersonalAlbum& album, int number) {
  addRow(std::to_string(number), GbkToUtf8(cleanFileName(gbk(album.name))),
         std::to_string(album.photoCount()), album.id);
}

void DownloadFixture::addGroupRow(const standin::GroupAlbum& album, int number) {
  addRow(std::to_string(number), album.title, std::to_string(album.photoCount()), album.id);
}

void DownloadFixture::start() {
  ui.send([&] { run->startDownload(); });
}

void DownloadFixture::runToEnd() {
  start();
  run->waitForWorker();
}

std::filesystem::path DownloadFixture::folder(const std::string& number,
                                              const std::string& albumFolder) const {
  return saveFolder / number / albumFolder;
}

std::map<std::string, std::string> DownloadFixture::filesIn(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file()) files[entry.path().filename().string()] = readFile(entry.path());
  }
  files.erase(std::string(kArchiveFileName));
  // The album's record and offline page are the folder's own too.
  files.erase(kAlbumRecordName);
  for (auto it = files.begin(); it != files.end();)
    it = it->first.starts_with("index") && it->first.ends_with(".html") ? files.erase(it) : std::next(it);
  return files;
}

std::map<std::string, std::string> DownloadFixture::allFiles() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(saveFolder)) {
    if (entry.is_regular_file())
      files[std::filesystem::relative(entry.path(), saveFolder).string()] = readFile(entry.path());
  }
  return files;
}

void DownloadFixture::expectPhotos(const std::filesystem::path& folder,
                                   const std::vector<ExpectedPhoto>& expected) const {
  std::map<std::string, std::string> files = filesIn(folder);
  EXPECT_EQ(files.size(), expected.size()) << folder;
  for (const ExpectedPhoto& photo : expected) {
    EXPECT_FALSE(photo.bytes.empty()) << "the stand-in serves " << photo.name;
    auto found = files.end();
    for (auto it = files.begin(); it != files.end(); ++it) {
      if (matchesPhotoName(it->first, photo) && it->second == photo.bytes) {
        found = it;
        break;
      }
    }
    if (found == files.end()) {
      ADD_FAILURE() << "no file " << photo.name << "_" << photo.index << "_<r>.jpg with the served bytes in "
                    << folder;
    } else {
      files.erase(found);
    }
  }
}

std::vector<standin::Request> DownloadFixture::requestsWithPath(const std::string& path) {
  std::vector<standin::Request> out;
  for (standin::Request& request : standin.server().requests()) {
    if (request.path == path) out.push_back(std::move(request));
  }
  return out;
}

std::vector<ExpectedPhoto> personalPhotos(const standin::Standin& standin,
                                          const standin::PersonalAlbum& album, bool fullSize) {
  std::vector<ExpectedPhoto> out;
  for (std::size_t i = 0; i < album.photos.size(); ++i) {
    const standin::PersonalPhoto& photo = album.photos[i];
    const bool raw = fullSize && photo.raw == standin::RawAddress::Given;
    const int index = fullSize ? static_cast<int>(i) + 1 : static_cast<int>(i % 500) + 1;
    out.push_back(
        {photo.hasTitle ? photo.title : "null", index, standin.photoBytes(raw ? photo.rawUrl : photo.url)});
  }
  return out;
}

std::vector<ExpectedPhoto> groupPhotos(const standin::Standin& standin, const standin::GroupAlbum& album) {
  std::vector<ExpectedPhoto> out;
  for (std::size_t i = 0; i < album.photos.size(); ++i) {
    const standin::GroupPhoto& photo = album.photos[i];
    std::string url = photo.burl;
    if (const auto marker = url.find("200?w5"); marker != std::string::npos) url.replace(marker, 6, "800?w5");
    out.push_back(
        {photo.hasName ? photo.name : "null", static_cast<int>(i % 500) + 1, standin.photoBytes(url)});
  }
  return out;
}

}  // namespace fotolun::testing
