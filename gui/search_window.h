#pragma once
// The album find window: a keyword box, three search buttons and the row position label. Not
// modal, with no parent, so the main window stays usable beside it.
#include <QWidget>
#include <array>

#include "albums/search_form.h"

namespace fotolun {
class MainWindowController;
}

namespace fotolun::gui {

class SearchWindow final : public QWidget, public SearchForm {
 public:
  explicit SearchWindow(MainWindowController& controller);

  QWidget* control(SearchControl c) const { return controls_[static_cast<std::size_t>(c)]; }

  Text text(SearchControl c) const override;
  void setText(SearchControl c, const Text& text) override;
  MessageAnswer messageBox(const Text& text, const Text& caption, MessageButtons buttons) override;

 private:
  std::array<QWidget*, 5> controls_{};
};

}  // namespace fotolun::gui
