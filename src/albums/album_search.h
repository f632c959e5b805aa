#pragma once
// The album find window: finds rows of 超级列表框1 whose album name contains a keyword, ignoring
// letter case, forward from the top or from the last hit, or backward.
#include "albums/search_form.h"
#include "form/form.h"

namespace fotolun {

class AlbumSearch {
 public:
  // 按钮_查找: the first match from the top.
  void findAlbum(Form& form, SearchForm& searchForm);
  // 按钮_查找下一个: the next match after the last hit; after a miss, from the top again.
  void findNextAlbum(Form& form, SearchForm& searchForm);
  // 按钮_查找上一个: the previous match before the last hit; after a miss, from the bottom again.
  void findPreviousAlbum(Form& form, SearchForm& searchForm);

  // The 0-based row of the last hit, -1 after a miss. It outlives refills of the list: a stale
  // value only moves where the next search starts.
  int searchRow() const { return searchRow_; }

 private:
  bool matches(const Form& form, int row, const Text& keyword) const;
  void showHit(Form& form, SearchForm& searchForm, int row);
  void reportMiss(SearchForm& searchForm, const Text& message);

  int searchRow_ = 0;
};

}  // namespace fotolun
