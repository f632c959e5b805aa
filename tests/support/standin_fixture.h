#pragma once
// The world of an end-to-end test: the stand-in service on loopback, a scripted main window, a
// windowless UI thread and a program that reaches the service through the stand-in as its proxy,
// with the real service hosts, no real waiting and a fresh program folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "form/locked_ui_thread.h"
#include "program/program.h"
#include "standin/standin.h"
#include "support/scripted_form.h"
#include "support/temp_folder.h"

namespace fotolun::testing {

class StandinWorld {
 public:
  static constexpr std::uint64_t kDefaultSeed = 20240601;
  explicit StandinWorld(std::uint64_t seed = kDefaultSeed);
  explicit StandinWorld(const standin::StandinOptions& options);

  // Signs in as qq: program.credentials as the login window would read them after a sign-in.
  void signIn(const std::string& qq);
  void signIn(const std::string& qq, standin::CookieLayout layout);

  // The stand-in's request log, and the URLs alone, in the order received.
  std::vector<standin::Request> requests();
  std::vector<std::string> requestUrls();
  // Requests whose URL contains part.
  std::vector<standin::Request> requestsTo(const std::string& part);

  standin::Standin standin;
  ScriptedForm form;
  LockedUiThread ui;
  TempFolder programFolder;
  // proxy = the stand-in, delayScale = 0, folders = portableFolders(programFolder), and 编辑框_保存位置
  // showing it as the window's creation does.
  Program program;
};

// For TEST_F: the world as the fixture's members.
class StandinTest : public ::testing::Test, public StandinWorld {};

}  // namespace fotolun::testing
