#pragma once
// The real window against the stand-in service: a GuiProgram whose requests and browser go
// through the stand-in as their proxy, a fresh program folder, a desktop whose folder chooser and
// opener the test answers, and every message box answered as the test queued it.
#include <gtest/gtest.h>

#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui_program.h"
#include "standin/standin.h"
#include "support/standin_fixture.h"

namespace fotolun::testing {

// Answers each message box that shows up, Ok unless the test queued another answer.
class BoxAnswerer {
 public:
  BoxAnswerer();
  void queue(MessageAnswer answer) { answers_.push_back(answer); }
  struct Box {
    std::string text, caption;  // UTF-8
    bool warning = false;       // the warning sign
  };
  std::vector<Box> seen;

 private:
  QTimer poll_;
  std::deque<MessageAnswer> answers_;
};

// Pumps events until done() or timeoutMs; returns done().
bool waitFor(const std::function<bool()>& done, int timeoutMs = 15000);

class GuiTest : public ::testing::Test {
 protected:
  GuiTest();
  void SetUp() override;
  void TearDown() override;
  // Builds and starts the program (the window's created handler, then shown).
  void startProgram();

  QWidget* widget(Control c) { return gui->window().control(c); }
  std::string text(Control c);  // UTF-8
  void click(Control c);        // a left click on the control
  void toolbarClick(int item);
  void signIn(const std::string& qq);
  std::string log();  // the log box, UTF-8, "\r\n" line ends
  Text settingsFile() const;

  // One stand-in for the whole test program: QtWebEngine keeps to the proxy it first saw.
  standin::Standin& standin;
  TempFolder programFolder;
  gui::GuiOptions options;
  QString chooserAnswer;
  std::vector<QString> chooserTitles, chooserStarts;
  std::vector<QUrl> opened;
  bool openSucceeds = true;  // whether the desktop's file manager starts
  std::unique_ptr<gui::GuiProgram> gui;
  std::unique_ptr<BoxAnswerer> boxes;
};

}  // namespace fotolun::testing
