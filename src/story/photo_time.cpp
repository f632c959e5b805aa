#include "story/photo_time.h"

#include <chrono>
#include <cstdint>

namespace fotolun {
namespace {

constexpr std::int64_t kChinaOffsetSeconds = 8 * 3600;
constexpr std::int64_t kLastSecond = 253402300799;  // 9999-12-31 23:59:59 UTC

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// The digits at text[at, at + count) as a number, -1 unless all are digits.
std::int64_t Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size() || count == 0) return -1;
  std::int64_t value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::optional<std::time_t> ChinaDateTime(std::string_view text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  const std::int64_t year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  const std::int64_t hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
  if (year < 1970 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59) {
    return std::nullopt;
  }
  if (day > DaysInMonth(static_cast<int>(year), static_cast<int>(month))) return std::nullopt;
  const std::int64_t local =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 + hour * 3600 +
      minute * 60 + second;
  const std::int64_t utc = local - kChinaOffsetSeconds;
  if (utc <= 0) return std::nullopt;
  return static_cast<std::time_t>(utc);
}

std::optional<std::time_t> TimeOf(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  if (text.empty()) return std::nullopt;
  if (text.find_first_not_of("0123456789") == std::string_view::npos) {
    if (text.size() > 12) return std::nullopt;
    const std::int64_t seconds = Digits(text, 0, text.size());
    if (seconds <= 0 || seconds > kLastSecond) return std::nullopt;
    return static_cast<std::time_t>(seconds);
  }
  return ChinaDateTime(text);
}

}  // namespace

std::optional<std::time_t> photoTime(std::string_view rawShootTimeText, std::string_view uploadTimeText) {
  if (auto shot = TimeOf(rawShootTimeText)) return shot;
  return TimeOf(uploadTimeText);
}

std::string chinaTimeText(std::time_t time, const char* format) {
  // By the calendar rather than gmtime_r, which not every system's C library has.
  using namespace std::chrono;
  const sys_seconds shifted{seconds{static_cast<std::int64_t>(time) + kChinaOffsetSeconds}};
  const sys_days day = floor<days>(shifted);
  const year_month_day date{day};
  const hh_mm_ss clock{shifted - day};
  std::tm fields{};
  fields.tm_year = static_cast<int>(date.year()) - 1900;
  fields.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
  fields.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
  fields.tm_hour = static_cast<int>(clock.hours().count());
  fields.tm_min = static_cast<int>(clock.minutes().count());
  fields.tm_sec = static_cast<int>(clock.seconds().count());
  fields.tm_wday = static_cast<int>(weekday{day}.c_encoding());
  fields.tm_yday = static_cast<int>((day - sys_days{date.year() / January / 1}).count());
  char text[64];
  return std::strftime(text, sizeof text, format, &fields) > 0 ? text : "";
}

}  // namespace fotolun
