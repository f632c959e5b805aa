#include "story/gallery.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/file.h"
#include "platform/path.h"
#include "story/album_record.h"
#include "story/html_text.h"

namespace fotolun {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStyle = R"(
body{margin:0;font-family:"Noto Sans CJK SC","WenQuanYi Micro Hei",sans-serif;background:#f4f4f2;color:#222}
header{padding:16px 24px;background:#fff;border-bottom:1px solid #ddd}
h1{margin:4px 0;font-size:22px}
.up{color:#06c;text-decoration:none;font-size:14px}
.about{margin:6px 0;color:#444;white-space:pre-wrap}
.meta{margin:4px 0;color:#777;font-size:13px}
.grid{display:grid;grid-template-columns:repeat(auto-fill,minmax(220px,1fr));gap:16px;padding:20px 24px}
figure{margin:0;background:#fff;border-radius:6px;overflow:hidden;box-shadow:0 1px 3px rgba(0,0,0,.15)}
figure img,figure video,.album img{display:block;width:100%;height:200px;object-fit:cover;background:#ddd}
figcaption{padding:8px 10px;font-size:13px}
.title{display:block;font-weight:bold;word-break:break-all}
.text{display:block;color:#444;white-space:pre-wrap;word-break:break-all}
time{display:block;color:#888;font-size:12px}
.gap .missing{height:200px;display:flex;align-items:center;justify-content:center;padding:0 12px;background:repeating-linear-gradient(45deg,#eee,#eee 10px,#e4e4e4 10px,#e4e4e4 20px);color:#a33;text-align:center}
.album{display:block;background:#fff;border-radius:6px;overflow:hidden;box-shadow:0 1px 3px rgba(0,0,0,.15);color:#222;text-decoration:none}
.album .nocover{height:200px;background:#ccc}
.album .name{display:block;padding:8px 10px 0;font-weight:bold;word-break:break-all}
.album .count{display:block;padding:0 10px 8px;color:#777;font-size:13px}
.pages{padding:0 24px;font-size:14px}
.pages a,.pages b{margin-right:8px}
)";

bool isVideoFile(const std::string& name) {
  const std::string extension = platform::utf8OfPath(platform::pathFromUtf8(name).extension());
  for (const char* video : {".mp4", ".mov", ".m4v", ".webm"})
    if (extension == video) return true;
  return false;
}

std::string shownDate(std::time_t time, bool withClock) {
  const std::string iso = chinaIsoTime(time);
  return withClock ? iso.substr(0, 10) + " " + iso.substr(11, 5) : iso.substr(0, 10);
}

std::string pageHead(const std::string& title) {
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta http-equiv=\"Content-Security-Policy\" content=\"script-src 'none'; object-src 'none'\">\n"
         "<title>" +
         htmlText(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
}

std::string pageName(int page) {
  return page == 1 ? "index.html" : "index-" + std::to_string(page) + ".html";
}

// A relative path as the pages link it: UTF-8, with "/" between folders on every system.
std::string linkPath(const fs::path& relative) {
  std::string text = platform::utf8OfPath(relative);
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

// The folders in folder, read past the old 260-character limit too; a link to a folder counts
// only when followed (an album folder may be one, a search for number folders never walks one).
std::vector<fs::path> subfolders(const fs::path& folder, bool followLinks = true) {
  std::vector<fs::path> found;
  if (const auto entries = platform::listFolder(folder)) {
    for (const platform::FolderEntry& entry : *entries) {
      const fs::path child = folder / platform::pathFromUtf8(entry.name);
      std::error_code error;
      if (entry.link ? followLinks && fs::is_directory(platform::systemPath(child), error) : entry.folder)
        found.push_back(child);
    }
  }
  return found;
}

struct SavedAlbum {
  std::string folder;  // its folder's path in the number folder ("旅行", "说说/2019")
  AlbumRecord record;
  std::vector<bool> present;  // per photo: its file is in the folder
  int saved = 0;
};

SavedAlbum savedAlbum(const fs::path& numberFolder, const fs::path& folder, AlbumRecord record) {
  SavedAlbum album{linkPath(folder.lexically_relative(numberFolder)), std::move(record), {}, 0};
  for (const RecordedPhoto& photo : album.record.photos) {
    std::error_code error;
    const bool there =
        !photo.file.empty() &&
        fs::is_regular_file(platform::systemPath(folder / platform::pathFromUtf8(photo.file)), error);
    album.present.push_back(there);
    album.saved += there ? 1 : 0;
  }
  return album;
}

std::string photoFigure(const RecordedPhoto& photo, bool present) {
  std::string caption;
  if (!photo.story.title.empty())
    caption += "<span class=\"title\">" + htmlText(photo.story.title) + "</span>";
  if (!photo.story.description.empty())
    caption += "<span class=\"text\">" + htmlText(photo.story.description) + "</span>";
  if (const auto when = photo.story.shot ? photo.story.shot : photo.story.uploaded)
    caption +=
        "<time datetime=\"" + htmlAttribute(chinaIsoTime(*when)) + "\">" + shownDate(*when, true) + "</time>";
  std::string body;
  if (!present) {
    const std::string why = !photo.failed.empty() ? "没有保存：" + photo.failed : "文件不在文件夹里";
    return "<figure class=\"gap\"><div class=\"missing\">" + htmlText(why) + "</div><figcaption>" + caption +
           "</figcaption></figure>\n";
  }
  const std::string link = linkToFile(photo.file);
  if (isVideoFile(photo.file)) {
    body = "<video controls preload=\"metadata\" src=\"" + link + "\"></video>";
  } else {
    std::string size;
    if (photo.story.width > 0 && photo.story.height > 0)
      size = " width=\"" + std::to_string(photo.story.width) + "\" height=\"" +
             std::to_string(photo.story.height) + "\"";
    body = "<a href=\"" + link + "\"><img src=\"" + link + "\" loading=\"lazy\"" + size + " alt=\"" +
           htmlAttribute(photo.story.title) + "\"></a>";
  }
  return "<figure class=\"" + std::string(isVideoFile(photo.file) ? "video" : "photo") + "\">" + body +
         "<figcaption>" + caption + "</figcaption></figure>\n";
}

std::string pageLinks(int page, int pages) {
  if (pages <= 1) return "";
  std::string links = "<nav class=\"pages\">";
  for (int p = 1; p <= pages; ++p)
    links += p == page ? "<b>" + std::to_string(p) + "</b>"
                       : "<a href=\"" + pageName(p) + "\">" + std::to_string(p) + "</a>";
  return links + "</nav>\n";
}

std::string albumMeta(const SavedAlbum& album) {
  std::string meta = std::to_string(album.saved) + " 张";
  const int missing = static_cast<int>(album.record.photos.size()) - album.saved;
  if (missing > 0) meta += "（" + std::to_string(missing) + " 张没有保存）";
  if (album.record.story.created) meta += " · 创建于 " + shownDate(*album.record.story.created, false);
  return meta;
}

bool writeAlbumPages(const fs::path& folder, const SavedAlbum& album) {
  const int count = static_cast<int>(album.record.photos.size());
  const int pages = std::max(1, (count + kPhotosPerPage - 1) / kPhotosPerPage);
  bool written = true;
  for (int page = 1; page <= pages; ++page) {
    std::string html = pageHead(album.record.name);
    std::string up;
    for (const char c : album.folder + "/")
      if (c == '/') up += "../";
    html += "<header><a class=\"up\" href=\"" + up + "index.html\">← 全部相册</a><h1>" +
            htmlText(album.record.name) + "</h1>";
    if (!album.record.story.description.empty())
      html += "<p class=\"about\">" + htmlText(album.record.story.description) + "</p>";
    html += "<p class=\"meta\">" + htmlText(albumMeta(album)) + "</p></header>\n" + pageLinks(page, pages);
    html += "<main class=\"grid\">\n";
    for (int i = (page - 1) * kPhotosPerPage; i < std::min(count, page * kPhotosPerPage); ++i)
      html += photoFigure(album.record.photos[static_cast<std::size_t>(i)],
                          album.present[static_cast<std::size_t>(i)]);
    html += "</main>\n" + pageLinks(page, pages) + "</body>\n</html>\n";
    written = replaceFile(folder / pageName(page), html) && written;
  }
  // Pages of a bigger album of earlier days would lead nowhere.
  for (int page = pages + 1;; ++page) {
    std::error_code error;
    if (!fs::remove(folder / pageName(page), error)) break;
  }
  return written;
}

std::string coverOf(const SavedAlbum& album) {
  const std::string up = linkToFile(album.folder) + "/";
  for (std::size_t i = 0; i < album.record.photos.size(); ++i) {
    const std::string& file = album.record.photos[i].file;
    if (album.present[i] && !isVideoFile(file))
      return "<img src=\"" + up + linkToFile(file) + "\" loading=\"lazy\" alt=\"\">";
  }
  for (std::size_t i = 0; i < album.record.photos.size(); ++i) {
    if (album.present[i])
      return "<video preload=\"metadata\" muted src=\"" + up + linkToFile(album.record.photos[i].file) +
             "\"></video>";
  }
  return "<div class=\"nocover\"></div>";
}

std::optional<fs::path> writeTopPage(const fs::path& numberFolder, const std::vector<SavedAlbum>& albums) {
  const std::string title = platform::utf8OfPath(numberFolder.filename()) + " 的相册";
  std::string html = pageHead(title);
  html += "<header><h1>" + htmlText(title) + "</h1><p class=\"meta\">" + std::to_string(albums.size()) +
          " 个相册</p></header>\n<main class=\"grid\">\n";
  for (const SavedAlbum& album : albums) {
    html += "<a class=\"album\" href=\"" + linkToFile(album.folder) + "/index.html\">" + coverOf(album) +
            "<span class=\"name\">" + htmlText(album.record.name) + "</span><span class=\"count\">" +
            htmlText(albumMeta(album)) + "</span></a>\n";
  }
  html += "</main>\n</body>\n</html>\n";
  const fs::path top = numberFolder / "index.html";
  if (!replaceFile(top, html)) return std::nullopt;
  return top;
}

bool holdsRecord(const fs::path& folder) {
  std::error_code error;
  return fs::is_regular_file(platform::systemPath(folder / kAlbumRecordName), error);
}

bool holdsRecordFolders(const fs::path& folder) {
  std::error_code error;
  for (const fs::path& child : subfolders(folder))
    if (holdsRecord(child)) return true;
  return false;
}

bool holdsAlbums(const fs::path& folder) {
  return holdsRecordFolders(folder) || holdsRecordFolders(folder / platform::pathFromUtf8(kFeedFolder));
}

bool isFeedFolder(const fs::path& folder) { return folder.filename() == platform::pathFromUtf8(kFeedFolder); }

// An album folder's number folder: a year of posts sits one level deeper than an album.
fs::path numberFolderOf(const fs::path& albumFolder) {
  const fs::path parent = albumFolder.parent_path();
  return isFeedFolder(parent) ? parent.parent_path() : parent;
}

void addAlbumsIn(const fs::path& numberFolder, const fs::path& folder, std::vector<SavedAlbum>& albums) {
  for (const fs::path& child : subfolders(folder))
    if (auto record = readAlbumRecord(child))
      albums.push_back(savedAlbum(numberFolder, child, std::move(*record)));
}

}  // namespace

std::optional<fs::path> writeGallery(const fs::path& numberFolder) {
  std::vector<SavedAlbum> albums;
  addAlbumsIn(numberFolder, numberFolder, albums);
  addAlbumsIn(numberFolder, numberFolder / platform::pathFromUtf8(kFeedFolder), albums);
  if (albums.empty()) return std::nullopt;
  std::sort(albums.begin(), albums.end(),
            [](const SavedAlbum& a, const SavedAlbum& b) { return a.folder < b.folder; });
  for (const SavedAlbum& album : albums) writeAlbumPages(numberFolder / album.folder, album);
  return writeTopPage(numberFolder, albums);
}

namespace {

// Number folders at most kDepth levels below folder, in name order.
constexpr int kDepth = 3;
void findNumberFolders(const fs::path& folder, int depth, std::vector<fs::path>& found) {
  std::vector<fs::path> children = subfolders(folder, false);
  std::sort(children.begin(), children.end());
  for (const fs::path& child : children) {
    if (holdsAlbums(child)) {
      found.push_back(child);
    } else if (depth < kDepth) {
      findNumberFolders(child, depth + 1, found);
    }
  }
}

fs::path namedFolder(const fs::path& folder) {
  fs::path named = fs::absolute(folder).lexically_normal();
  if (named.filename().empty()) named = named.parent_path();
  return named;
}

}  // namespace

std::optional<fs::path> writeFolderIndex(const fs::path& folder) {
  const fs::path named = namedFolder(folder);
  std::vector<fs::path> numbers;
  findNumberFolders(named, 1, numbers);
  std::string html = pageHead(platform::utf8OfPath(named.filename()));
  html += "<header><h1>" + htmlText(platform::utf8OfPath(named.filename())) +
          "</h1></header>\n<main class=\"grid\">\n";
  int shown = 0;
  for (const fs::path& number : numbers) {
    std::error_code error;
    if (!fs::is_regular_file(platform::systemPath(number / "index.html"), error)) continue;
    const std::string relative = linkPath(number.lexically_relative(named));
    html += "<a class=\"album\" href=\"" + linkToFile(relative) + "/index.html\"><span class=\"name\">" +
            htmlText(relative) + "</span><span class=\"count\"></span></a>\n";
    ++shown;
  }
  html += "</main>\n</body>\n</html>\n";
  if (shown == 0 || !replaceFile(named / "index.html", html)) return std::nullopt;
  return named / "index.html";
}

std::vector<fs::path> rebuildGalleries(const fs::path& folder) {
  const fs::path named = namedFolder(folder);
  std::vector<fs::path> tops;
  if (holdsRecord(named)) {
    if (auto top = writeGallery(numberFolderOf(named))) tops.push_back(*top);
  } else if (isFeedFolder(named) && holdsRecordFolders(named)) {
    if (auto top = writeGallery(named.parent_path())) tops.push_back(*top);
  } else if (holdsAlbums(named)) {
    if (auto top = writeGallery(named)) tops.push_back(*top);
  } else {
    std::vector<fs::path> numbers;
    findNumberFolders(named, 1, numbers);
    for (const fs::path& number : numbers)
      if (auto top = writeGallery(number)) tops.push_back(*top);
    if (!tops.empty())
      if (auto index = writeFolderIndex(named)) tops.insert(tops.begin(), *index);
  }
  return tops;
}

}  // namespace fotolun
