#pragma once
// Stand-ins for what surrounds the main window in the application tests: a scratch program
// directory, the desktop, the find window, and a list view filled with albums.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "albums/search_form.h"
#include "app/desktop.h"
#include "support/scripted_form.h"
#include "text/encoding.h"

namespace fotolun::testing {

// A fresh folder with a Chinese name, removed afterwards; dir() is its GBK path.
class ScratchFolder {
 public:
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ =
        std::filesystem::temp_directory_path() / (std::string("fotolun-程序目录-") + info->test_suite_name() +
                                                  "-" + info->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_); }

  Text dir() const { return Utf8ToGbk(path_.string()); }
  std::filesystem::path file(const std::string& name) const { return path_ / name; }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      out.push_back(entry.path().filename());
    return out;
  }

 private:
  std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class FakeDesktop : public Desktop {
 public:
  bool openFolder(const Text& path) override {
    openedFolders.push_back(GbkToUtf8(path));
    return folderOpens;
  }
  void openUrl(const Text& url) override { openedUrls.push_back(GbkToUtf8(url)); }
  Text chooseFolder(const Text& title, const Text& startFolder) override {
    chooserTitles.push_back(GbkToUtf8(title));
    chooserStarts.push_back(GbkToUtf8(startFolder));
    return chooserAnswer;
  }
  void openSearchWindow() override { ++searchWindowsOpened; }

  Text chooserAnswer;  // GBK; "" = cancelled
  bool folderOpens = true;
  std::vector<std::string> openedFolders, openedUrls, chooserTitles, chooserStarts;
  int searchWindowsOpened = 0;
};

class FakeSearchForm : public SearchForm {
 public:
  Text text(SearchControl c) const override { return texts_[static_cast<int>(c)]; }
  void setText(SearchControl c, const Text& text) override { texts_[static_cast<int>(c)] = text; }
  MessageAnswer messageBox(const Text& text, const Text& caption, MessageButtons) override {
    boxes.push_back(GbkToUtf8(text));
    captions.push_back(GbkToUtf8(caption));
    return MessageAnswer::Ok;
  }

  void setKeyword(std::string_view utf8) { setText(SearchControl::编辑框1, gbk(utf8)); }
  std::string rowLabel() const { return GbkToUtf8(text(SearchControl::标签_行位置)); }

  std::vector<std::string> boxes, captions;

 private:
  Text texts_[5];
};

struct AlbumRow {
  std::string name;
  std::string id;
  std::string question;
  bool checked = true;
};

// Rows as the album lists leave them: name in column 2, id in 5, question in 6.
inline void fillAlbums(Form& form, std::initializer_list<AlbumRow> albums) {
  form.deleteAllRows();
  for (const AlbumRow& album : albums) {
    const int row = form.appendRow();
    form.setCell(row, column::相册名称, gbk(album.name));
    form.setCell(row, column::相册ID, gbk(album.id));
    form.setCell(row, column::相册问题, gbk(album.question));
    form.setRowChecked(row, album.checked);
  }
}

inline std::vector<bool> rowChecks(const Form& form) {
  std::vector<bool> out;
  for (int row = 0; row < form.rowCount(); ++row) out.push_back(form.rowChecked(row));
  return out;
}

}  // namespace fotolun::testing
