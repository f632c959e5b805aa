#pragma once
#include <cstdint>
#include <random>
#include <string>

#include "standin/sample_data.h"

namespace fotolun::standin {

// Builds the feeds' posts and their pictures from a sequence of their own, so that every sample
// built before them stays as it was. Only the engine's raw output is used, as in SampleBuilder.
class FeedBuilder {
 public:
  FeedBuilder(SampleData& data, std::uint64_t seed) : data_(data), engine_(seed) {}
  // The feed account, put after every other account.
  void build();
  // count new posts before the account's first one, each newer than all before it.
  void addPosts(PersonalAccount& account, int count);

 private:
  struct Plan;
  std::uint64_t below(std::uint64_t bound) { return engine_() % bound; }
  std::string token(int length, std::string_view alphabet);
  std::string newTid(const PersonalAccount& account);
  std::string registerPicture(const std::string& target, int width, int height, bool placeholder = false);
  FeedPicture picture(const std::string& ownerQq, bool withId,
                      FeedPicture::Full full = FeedPicture::Full::Served);
  FeedVideo video(const std::string& ownerQq);
  FeedPost post(const PersonalAccount& account, const Plan& plan, std::int64_t time);

  SampleData& data_;
  std::mt19937_64 engine_;
};

}  // namespace fotolun::standin
