#include "albums/album_search.h"

#include <algorithm>
#include <string>

#include "text/encoding.h"

namespace fotolun {

bool AlbumSearch::matches(const Form& form, int row, const Text& keyword) const {
  return FindText(form.cell(row, column::相册名称), keyword, 1, true) > 0;
}

void AlbumSearch::showHit(Form& form, SearchForm& searchForm, int row) {
  form.scrollToRow(row);
  form.selectRow(row);
  searchRow_ = row;
  searchForm.setText(SearchControl::标签_行位置, Utf8ToGbk("第") + std::to_string(row + 1) + Utf8ToGbk("行"));
}

void AlbumSearch::reportMiss(SearchForm& searchForm, const Text& message) {
  searchRow_ = -1;
  searchForm.messageBox(message, "", MessageButtons::Ok);
}

void AlbumSearch::findAlbum(Form& form, SearchForm& searchForm) {
  const Text keyword = searchForm.text(SearchControl::编辑框1);
  for (int row = 0; row < form.rowCount(); ++row) {
    if (matches(form, row, keyword)) return showHit(form, searchForm, row);
  }
  reportMiss(searchForm, ConcatText(Utf8ToGbk("未找到名称包含关键词："), keyword, Utf8ToGbk("的相册")));
}

void AlbumSearch::findNextAlbum(Form& form, SearchForm& searchForm) {
  const Text keyword = searchForm.text(SearchControl::编辑框1);
  for (int row = searchRow_ + 1; row < form.rowCount(); ++row) {
    if (matches(form, row, keyword)) return showHit(form, searchForm, row);
  }
  reportMiss(searchForm, Utf8ToGbk("没有了"));
}

void AlbumSearch::findPreviousAlbum(Form& form, SearchForm& searchForm) {
  const Text keyword = searchForm.text(SearchControl::编辑框1);
  const int rows = form.rowCount();
  if (searchRow_ == -1) searchRow_ = rows;
  // A hit remembered from a longer list must not start the search beyond the rows there are now.
  for (int row = std::min(searchRow_, rows) - 1; row >= 0; --row) {
    if (matches(form, row, keyword)) return showHit(form, searchForm, row);
  }
  reportMiss(searchForm, Utf8ToGbk("没有了"));
}

}  // namespace fotolun
