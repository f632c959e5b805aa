#include "cli/cli_options.h"

#include <charconv>

#include "albums/target_number.h"
#include "app/patience_setting.h"

namespace fotolun::cli {

namespace {

bool parseNumber(std::string_view text, int* out) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size() && *out > 0;
}

}  // namespace

bool AlbumPick::contains(int number) const {
  for (auto [low, high] : ranges)
    if (number >= low && number <= high) return true;
  return false;
}

std::optional<AlbumPick> parseAlbumPick(const std::string& list, std::string* error) {
  AlbumPick pick;
  std::string_view rest = list;
  while (true) {
    std::size_t comma = rest.find(',');
    std::string_view item = rest.substr(0, comma);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    int low = 0, high = 0;
    std::size_t dash = item.find('-');
    bool ok = dash == std::string_view::npos ? parseNumber(item, &low) && (high = low, true)
                                             : parseNumber(item.substr(0, dash), &low) &&
                                                   parseNumber(item.substr(dash + 1), &high) && low <= high;
    if (!ok) {
      *error = "--albums: \"" + std::string(item) + "\" is not a number or a range such as 3-5";
      return std::nullopt;
    }
    pick.ranges.emplace_back(low, high);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return pick;
}

std::string usageText() {
  return "Usage:\n"
         "  fotolun-cli login    [--cookies FILE]\n"
         "  fotolun-cli albums   --number N [--group | --feed | --feed-new]\n"
         "                       [--cookies FILE | --cookies-from-browser B] [--covers]\n"
         "                       (--feed-new: [--save DIR])\n"
         "  fotolun-cli download --number N [--group | --feed | --feed-new]\n"
         "                       [--cookies FILE | --cookies-from-browser B]\n"
         "                       [--mode hd|original] [--save DIR] [--albums LIST] [--no-skip]\n"
         "                       [--parallel N] [--embed-dates] [--no-gallery]\n"
         "                       (albums and download: [--api classic|current|auto] [--patience MINUTES])\n"
         "  fotolun-cli demo     [--save DIR] [--embed-dates] [--no-gallery]\n"
         "  fotolun-cli gallery  DIR\n"
         "\n"
         "Lists the albums of a QQ number (or, with --group, a QQ group) and downloads them, one folder\n"
         "per album; N, a QQ number or group number, has 5 to 11 digits. FILE is the cookies.txt that login "
         "wrote, one exported from a browser signed in to\n"
         "the service, or a file holding one document-cookie line (name=value; name=value); without\n"
         "--cookies it is $XDG_CONFIG_HOME/fotolun/cookies.txt (else ~/.config/fotolun/cookies.txt).\n"
         "Cookies the service renews during a run are written back to a cookies.txt. B is firefox or\n"
         "firefox:PROFILE (a profile's name or folder): the qq.com and qpic.cn cookies of that Firefox\n"
         "profile (else the one Firefox starts with), read from a copy of its database, so Firefox may\n"
         "keep running. LIST picks albums by their number in the list, e.g. 1,3-5; without it every\n"
         "album is downloaded. Without --mode the settings file decides; without --save albums go to\n"
         "the save folder. Both sit beside a program outside /usr that may write there, else in\n"
         "$XDG_CONFIG_HOME/fotolun/peizi.ini and <pictures>/Fotolun. A photo an earlier run saved into\n"
         "the album's folder is skipped; --no-skip fetches every photo again (as new files; nothing is\n"
         "overwritten). --parallel N (1 to 8, default 1) fetches up to N photos of an album at once, each\n"
         "over its own connection and each still pausing after its photo; names, files and the log are\n"
         "those of one at a time. A busy service brings it back to one.\n"
         "--api picks the service's endpoints: classic (the older plain-http ones), current (the https\n"
         "ones the service's pages use today) or auto (the default, else [服务接口] 接口 in the settings\n"
         "file): classic first, and current for the rest of the run when classic gives no album list or\n"
         "says the session is gone; auto starts with the one that answered last time ([服务接口] 上次可用).\n"
         "Videos are saved as their video files (.mp4) on current; a video\n"
         "that only streams (m3u8) is named in the log as not downloadable; a video whose original file is\n"
         "refused is saved as the copy the service plays, and the log says so.\n"
         "--patience MINUTES (default 30, else [下载模式] 耐心 in the settings file) bounds how long one\n"
         "request waits out a busy or silent service (a throttle wall), in waits that grow to 5 minutes,\n"
         "each announced. A wall that outlasts it stops the run: nothing half-saved, the albums not\n"
         "finished named, exit 1; run it again later and it goes on where it stopped. A photo the\n"
         "service answers with its small placeholder picture is never saved: its list is asked again\n"
         "once and the photo fetched again, else it fails by name; 20 placeholders in a row stop the\n"
         "run (sign in again, exit 3).\n"
         "--feed takes the pictures and videos the space posted in 说说 (its posts) rather than its\n"
         "albums: a row, and a folder 说说/YEAR in the number's folder, for each year; files are named\n"
         "by the post's day, its place among that day's posts and the picture's place in the post\n"
         "(2019-05-01_1_3.jpg), dated by the post, with the post's words in album.json. albums --feed\n"
         "shows what would be fetched: posts with pictures, pictures and videos, by year, and how many\n"
         "posts this session may not see. The list is read 20 posts a page, a few seconds between pages\n"
         "(longer while the service says it is busy), so a long one takes a while. The largest copy of\n"
         "a picture is fetched, a smaller one when it is refused (the log says so). --feed-new reads\n"
         "only up to the first page whose posts an earlier run saved whole: new posts only.\n"
         "Every album folder gets album.json, what the service said of the album and each photo (titles,\n"
         "descriptions, times, sizes, cameras, the file saved or why not), merged over runs. At the end\n"
         "of a run index.html pages are written in the number's folder and each album folder, an\n"
         "offline album that opens in any browser; --no-gallery skips them. --embed-dates (or\n"
         "[照片信息] 写入拍摄时间=1 in the settings file) writes the shooting time, else the upload time,\n"
         "into JPEG, PNG and WebP photos that carry no DateTimeOriginal, with the description.\n"
         "\n"
         "  login   signs in by QR code: scan the code drawn in the terminal (also saved as a PNG, its\n"
         "          path printed) with the QQ app and confirm on the phone; the session is written\n"
         "          to FILE as a cookies.txt readable by you alone. Lines of other sites in FILE stay.\n"
         "          FOTOLUN_QR_POLL_MS sets how often the sign-in is polled (default 2500; a testing aid).\n"
         "  demo    starts the stand-in service inside the process, signs in to it and downloads sample\n"
         "          albums (both sizes, and a group) into DIR (default ./fotolun-demo).\n"
         "  gallery rebuilds the offline album's pages of DIR (a number's folder, an album folder or a\n"
         "          save folder) from the album.json records, without the network.\n"
         "\n"
         "Options: --proxy URL (else http_proxy / HTTP_PROXY, and https_proxy / HTTPS_PROXY for https),\n"
         "--ca-file FILE (else FOTOLUN_CA_FILE): trust the authorities in FILE (PEM) for https beside\n"
         "the system's, --quiet, --verbose, --help, --version.\n"
         "Ctrl-C stops a download as the stop button does; no partial file is left.\n"
         "Exit codes: 0 every listed photo saved (or signed in), 1 some photos or albums failed (or "
         "Ctrl-C),\n"
         "2 usage or input error, 3 not signed in (before or during the run, or the QR sign-in failed or\n"
         "was refused) or no permission.\n";
}

ParseResult parseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  Options& o = result.options;
  std::size_t i = 0;
  auto fail = [&](std::string message) {
    result.error = std::move(message);
    return result;
  };
  if (args.empty()) return fail("no command given");
  const std::string& command = args[0];
  if (command == "login") {
    o.command = Command::Login;
  } else if (command == "albums") {
    o.command = Command::Albums;
  } else if (command == "download") {
    o.command = Command::Download;
  } else if (command == "demo") {
    o.command = Command::Demo;
  } else if (command == "gallery") {
    o.command = Command::Gallery;
    if (args.size() != 2 || args[1].empty() || args[1].starts_with("--"))
      return args.size() == 2 && (args[1] == "--help" || args[1] == "-h")
                 ? (o.command = Command::Help, result)
                 : fail("gallery takes one folder: fotolun-cli gallery DIR");
    o.galleryFolder = args[1];
    return result;
  } else if (command == "--help" || command == "-h" || command == "help") {
    o.command = Command::Help;
    return result;
  } else if (command == "--version") {
    o.command = Command::Version;
    return result;
  } else {
    return fail("unknown command \"" + command + "\"");
  }
  for (i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size() || args[i + 1].empty()) return false;
      *out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.command = Command::Help;
      return result;
    } else if (a == "--version") {
      o.command = Command::Version;
      return result;
    } else if (a == "--group") {
      o.group = true;
    } else if (a == "--feed" || a == "--feed-new") {
      o.feed = true;
      o.feedNew = o.feedNew || a == "--feed-new";
    } else if (a == "--covers") {
      o.covers = true;
    } else if (a == "--no-skip") {
      o.noSkip = true;
    } else if (a == "--embed-dates") {
      o.embedDates = true;
    } else if (a == "--no-gallery") {
      o.noGallery = true;
    } else if (a == "--quiet") {
      o.quiet = true;
    } else if (a == "--verbose") {
      o.verbose = true;
    } else if (a == "--cookies-from-browser") {
      if (!value(&v)) return fail(a + " needs a value");
      if (v == "firefox") {
        o.firefoxProfile = "";
      } else if (v.rfind("firefox:", 0) == 0 && v.size() > 8) {
        o.firefoxProfile = v.substr(8);
      } else {
        return fail("--cookies-from-browser takes firefox or firefox:PROFILE");
      }
    } else if (a == "--patience") {
      if (!value(&v) || !(o.patienceMs = patienceFromMinutes(v)))
        return fail("--patience takes minutes above 0 and at most 1440, e.g. 30 or 0.5");
    } else if (a == "--parallel") {
      if (!value(&v) || !parseNumber(v, &o.parallel) || o.parallel > 8)
        return fail("--parallel takes a number from 1 to 8");
    } else if (a == "--number" || a == "--cookies" || a == "--mode" || a == "--save" || a == "--albums" ||
               a == "--proxy" || a == "--ca-file" || a == "--api") {
      if (!value(&v)) return fail(a + " needs a value");
      if (a == "--number") o.number = v;
      if (a == "--cookies") o.cookies = v;
      if (a == "--mode") {
        if (v != "hd" && v != "original") return fail("--mode takes hd or original");
        o.mode = v;
      }
      if (a == "--save") o.save = v;
      if (a == "--albums") o.albums = v;
      if (a == "--proxy") o.proxy = v;
      if (a == "--ca-file") o.caFile = v;
      if (a == "--api") {
        if (v != "classic" && v != "current" && v != "auto")
          return fail("--api takes classic, current or auto");
        o.api = v;
      }
    } else {
      return fail("unknown option \"" + a + "\"");
    }
  }
  const bool listing = o.command == Command::Albums || o.command == Command::Download;
  if (listing && o.number.empty()) return fail("--number is required");
  if (listing && !isServiceNumber(o.number))
    return fail(std::string(o.group ? "--number takes a QQ group number" : "--number takes a QQ number") +
                " of 5 to 11 digits, not \"" + o.number + "\"");
  if (o.feed && !listing) return fail("--feed and --feed-new belong to albums and download");
  if (o.feed && (o.group || o.covers || o.mode))
    return fail("--feed takes a QQ number's posts: not with --group, --covers or --mode");
  if (o.firefoxProfile && (!o.cookies.empty() || !listing))
    return fail("--cookies-from-browser belongs to albums and download, without --cookies");
  if (o.command == Command::Login && (!o.number.empty() || o.group || o.covers || o.noSkip || o.save))
    return fail("login takes --cookies, --proxy and --ca-file only");
  if (o.command != Command::Download && (o.mode || o.albums || o.parallel != 1))
    return fail("--mode, --albums and --parallel belong to the download command");
  // Which posts are new depends on what the save folder holds.
  if (o.command == Command::Albums && o.save && !o.feedNew)
    return fail("--save belongs to download and demo (and to albums --feed-new)");
  if ((o.embedDates || o.noGallery) && o.command != Command::Download && o.command != Command::Demo)
    return fail("--embed-dates and --no-gallery belong to download and demo");
  if (o.api && !listing) return fail("--api belongs to albums and download");
  if (o.patienceMs && !listing) return fail("--patience belongs to albums and download");
  if (o.command == Command::Demo && (!o.number.empty() || o.group || !o.cookies.empty()))
    return fail("demo takes no --number, --group or --cookies");
  if (o.albums) {
    std::string error;
    if (!parseAlbumPick(*o.albums, &error)) return fail(error);
  }
  if (o.quiet && o.verbose) return fail("--quiet and --verbose exclude each other");
  return result;
}

}  // namespace fotolun::cli
