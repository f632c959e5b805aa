#include "download/photo_store.h"

#include <filesystem>
#include <optional>

#include "download/cookie_domain.h"
#include "download/part_file.h"
#include "download/photo_request_headers.h"
#include "download/run_gate.h"
#include "download/service_get.h"
#include "names/path_names.h"
#include "text/encoding.h"
#include "text/random_text.h"

namespace fotolun {
namespace {

// Random parts drawn before a counter is added to a name already taken.
constexpr int kRandomDraws = 10;
constexpr int kMaxCounter = 100000;

}  // namespace

PhotoStore::PhotoStore(Context& context, DownloadTally& tally) : context_(context), tally_(tally) {}

Text PhotoStore::prepareAlbumFolder(const Text& photoCountText, const Text& albumName) {
  Text base = context_.form.text(Control::编辑框_保存位置);
  if (base.empty()) base = context_.program.folders.saveFolder;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const Text number = folderComponent(context_.form.text(Control::编辑框_号码));
  const Text album =
      folderComponent(fitNameComponent(folderComponent(albumName), folderComponent(photoCountText)));

  Text folder = base;
  if (!number.empty()) folder += "/" + shortenForDisk(number, kMaxNameBytes);
  folder += "/" + album;

  const std::filesystem::path onDisk(GbkToUtf8(folder));
  bool made = false;
  whileRunning(context_, [&] {
    std::error_code error;
    std::filesystem::create_directories(onDisk, error);
    made = std::filesystem::is_directory(onDisk, error);
  });
  if (!made) {
    unusableFolders_.insert(folder);
    context_.form.appendLog(Utf8ToGbk("无法创建文件夹：") + folder + "\r\n");
  }
  return folder;
}

void PhotoStore::storePhoto(const Text& url, const Text& albumId, const Text& folder, const Text& name,
                            int index, int pauseMs) {
  if (unusableFolders_.count(folder) != 0) {
    ++tally_.failedPhotos;
    return;
  }
  ByteBuffer body;
  const bool fetched = fetch(url, albumId, body);
  WaitWithMessages(context_, pauseMs);
  if (!fetched) return fail("图片下载失败：", name);
  if (!save(folder, name, index, body)) return fail("图片保存失败：", name);
  ++tally_.savedPhotos;
  tally_.savedBytes += static_cast<long long>(body.size());
}

// A failed fetch is no response, an HTTP error or an empty body: none of them is the photo.
bool PhotoStore::fetch(const Text& url, const Text& albumId, ByteBuffer& body) {
  const bool cookies = sendsSessionCookies(url);
  for (int attempt = 1; attempt <= kFetchAttempts; ++attempt) {
    Text headers = photoRequestHeaders(context_.program.hosts.staticPage, albumId);
    int status = 0;
    body = serviceGet(context_, url, cookies, &headers, &status);
    if (status > 0 && status < 400 && !body.empty()) return true;
    if (attempt < kFetchAttempts) WaitWithMessages(context_, kFetchRetryMs);
  }
  return false;
}

bool PhotoStore::save(const Text& folder, const Text& name, int index, const ByteBuffer& body) {
  context_.checkpoint();
  const std::string folderOnDisk = GbkToUtf8(folder);
  std::optional<PartFile> part = PartFile::create(folderOnDisk);
  if (!part || !part->write(body)) return false;

  // A name already taken gets another random part, then a counter after the last one drawn.
  int randomPart = RandomInRange(1, 2000);
  for (int attempt = 1; attempt <= kRandomDraws + kMaxCounter; ++attempt) {
    if (attempt > 1 && attempt <= kRandomDraws) randomPart = RandomInRange(1, 2000);
    const int counter = attempt <= kRandomDraws ? 0 : attempt - kRandomDraws + 1;
    const std::string fileName = GbkToUtf8(photoFileName(name, index, randomPart, counter));
    PartFile::Move moved = PartFile::Move::failed;
    // The final name appears only while the run is neither halted nor stopped; a stop unwinds
    // from here and the temporary file goes with it.
    whileRunning(context_, [&] { moved = part->moveTo(fileName); });
    if (moved == PartFile::Move::done) return true;
    if (moved == PartFile::Move::failed) return false;
  }
  return false;
}

void PhotoStore::fail(const char* utf8Reason, const Text& name) {
  ++tally_.failedPhotos;
  context_.form.appendLog(Utf8ToGbk(utf8Reason) + name + "\r\n");
}

}  // namespace fotolun
