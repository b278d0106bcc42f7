// sitegen: writes a whole DeskTally site from a seed and a size.
//
//   OUT/qss/qslook.xml           settings (Korean display names, CP949)
//   OUT/qss/qsgroup.dat          group file, current or legacy layout
//   OUT/qss/data/<PC> <type>     the four inventory files of every PC (CP949)
//
// Point the console at it with DESKTALLY_DRIVE_C=OUT. The same seed and
// size always give the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cp949.h"

namespace {

// splitmix64: small, fast and the same on every platform, unlike the
// standard distributions.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n).
  std::uint32_t below(std::uint32_t n) { return n == 0 ? 0 : static_cast<std::uint32_t>(next() % n); }
  template <class T>
  const T& pick(const std::vector<T>& v) {
    return v[below(static_cast<std::uint32_t>(v.size()))];
  }

 private:
  std::uint64_t state_;
};

struct Options {
  std::uint64_t seed = 1;
  int pcs = 40;
  int groups = 6;
  int depth = 2;
  int programsPerPc = 30;
  int programPool = 200;
  int hardwareItems = 30;
  int windowsItems = 15;
  int usagePrograms = 12;
  int usageDays = 30;
  int endYear = 2026, endMonth = 11, endDay = 30;
  bool legacy = false;
  bool utf16Names = false;
  std::string out;
};

// Korean texts are written here in UTF-8 and stored as CP949 bytes.
std::string k(const char* utf8) { return mb::fromUtf8(utf8); }

struct Category {
  const char* key;
  const char* display;  // UTF-8
  std::vector<const char*> samples;
};

const std::vector<Category>& hardwareCategories() {
  static const std::vector<Category> c = {
      {"cpu",
       "프로세서",
       {"x86 Family 6 Model 158 3.60GHz", "x86 Family 6 Model 94 3.20GHz", "x86 Family 6 Model 165 2.90GHz"}},
      {"memory",
       "메모리",
       {"DIMM 4096MB DDR4", "DIMM 8192MB DDR4", "DIMM 16384MB DDR4", "SODIMM 8192MB DDR4"}},
      {"disk",
       "하드 디스크",
       {"SATA SSD 256GB", "SATA SSD 512GB", "NVMe SSD 1TB", "SATA HDD 1TB", "SATA HDD 2TB"}},
      {"cdrom", "CD-ROM 드라이브", {"DVD-RW 드라이브", "DVD-ROM 드라이브"}},
      {"video", "비디오 카드", {"내장 그래픽 어댑터", "PCIe 그래픽 어댑터 4GB", "PCIe 그래픽 어댑터 8GB"}},
      {"sound", "사운드 카드", {"고음질 오디오 장치", "USB 오디오 장치"}},
      {"network",
       "네트워크 어댑터",
       {"기가비트 이더넷 어댑터", "무선 LAN 어댑터 802.11ac", "가상 이더넷 어댑터"}},
      {"monitor",
       "모니터",
       {"24인치 LCD 모니터 1920x1080", "27인치 LCD 모니터 2560x1440", "22인치 LCD 모니터 1680x1050"}},
      {"keyboard", "키보드", {"표준 PS/2 키보드", "USB 한글 키보드 (106키)"}},
      {"mouse", "마우스", {"USB 광 마우스", "무선 마우스"}},
      {"bios", "BIOS", {"BIOS 1.12 (2019.03.04)", "BIOS 2.04 (2020.11.17)", "UEFI 3.1 (2022.06.09)"}},
      {"mainboard", "메인보드", {"B360 칩셋 보드", "H410 칩셋 보드", "Q470 칩셋 보드"}},
      {"usb", "USB 컨트롤러", {"USB 3.0 xHCI 호스트 컨트롤러", "USB 2.0 EHCI 호스트 컨트롤러"}},
      {"printer", "프린터", {"레이저 프린터 (3층 복도)", "컬러 복합기 (본관 2층)", "PDF 변환 프린터"}},
      {"modem", "모뎀", {"표준 56K 모뎀"}},
  };
  return c;
}

const std::vector<Category>& windowsItems() {
  static const std::vector<Category> c = {
      {"WindowsVersion",
       "WindowsVersion",
       {"Windows 10 Pro 22H2", "Windows 10 Enterprise 21H2", "Windows 11 Pro 23H2",
        "Windows 7 Professional SP1"}},
      {"ServicePack", "서비스 팩", {"없음", "Service Pack 1"}},
      {"ProductId", "제품 ID", {}},
      {"RegisteredOwner", "등록된 사용자", {"관리자", "사용자", "정보보안팀"}},
      {"Organization", "조직", {"데스크탤리 주식회사"}},
      {"ComputerName", "컴퓨터 이름", {}},
      {"Workgroup", "작업 그룹", {"WORKGROUP", "CORP"}},
      {"IPAddress", "IP 주소", {}},
      {"MacAddress", "MAC 주소", {}},
      {"BrowserVersion", "웹 브라우저 버전", {"11.0.19041", "120.0.6099", "118.0.5993"}},
      {"DirectX", "DirectX 버전", {"DirectX 12", "DirectX 11"}},
      {"InstallDate", "설치 날짜", {}},
      {"SystemRoot", "시스템 폴더", {"C:\\Windows"}},
      {"Language", "언어", {"한국어", "영어(미국)"}},
      {"TimeZone", "표준 시간대", {"(UTC+09:00) 서울"}},
      {"LastBoot", "마지막 부팅", {}},
  };
  return c;
}

const std::vector<const char*>& groupNames() {
  static const std::vector<const char*> n = {
      "본사",     "영업부",   "개발팀",     "인사팀",   "재무팀",   "생산부",   "품질관리팀",
      "연구소",   "서울지사", "부산지사",   "대구지사", "광주지사", "물류센터", "고객지원팀",
      "전산실",   "기획실",   "총무팀",     "마케팅팀", "디자인팀", "구매팀",   "법무팀",
      "교육센터", "보안팀",   "해외영업팀", "설계팀",   "시험실",   "콜센터",   "홍보팀"};
  return n;
}

const std::vector<const char*>& programStems() {
  static const std::vector<const char*> n = {"문서 편집기",
                                             "스프레드시트",
                                             "프레젠테이션",
                                             "압축 도구",
                                             "PDF 뷰어",
                                             "웹 브라우저",
                                             "백신",
                                             "사내 메신저",
                                             "메일 클라이언트",
                                             "그림판",
                                             "사진 편집기",
                                             "동영상 플레이어",
                                             "회계 관리",
                                             "인사 관리",
                                             "전자 결재",
                                             "원격 지원",
                                             "화면 캡처",
                                             "코드 편집기",
                                             "데이터베이스 도구",
                                             "네트워크 진단",
                                             "프린터 드라이버",
                                             "글꼴 관리",
                                             "백업 도구",
                                             "암호 관리"};
  return n;
}

const std::vector<const char*>& usageStems() {
  static const std::vector<const char*> n = {
      "notepad.exe", "wordpad.exe",  "calc.exe",   "mspaint.exe",   "editor.exe", "sheet.exe",
      "slides.exe",  "browser.exe",  "mailer.exe", "messenger.exe", "viewer.exe", "zip.exe",
      "account.exe", "approval.exe", "remote.exe", "capture.exe",   "player.exe", "vaccine.exe"};
  return n;
}

std::string xmlEscape(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == '&')
      r += "&amp;";
    else if (c == '<')
      r += "&lt;";
    else if (c == '>')
      r += "&gt;";
    else
      r += c;
  }
  return r;
}

// Names of the shared program pool: stems with numbered editions.
std::vector<std::string> programPool(int size) {
  std::vector<std::string> pool;
  const auto& stems = programStems();
  for (int i = 0; i < size; ++i) {
    const char* stem = stems[static_cast<std::size_t>(i) % stems.size()];
    const int edition = i / static_cast<int>(stems.size());
    std::string name = k(stem);
    if (edition > 0) name += " " + std::to_string(edition / 10 + 1) + "." + std::to_string(edition % 10);
    pool.push_back(name);
  }
  return pool;
}

std::vector<std::string> usagePool(int size) {
  std::vector<std::string> pool;
  const auto& stems = usageStems();
  for (int i = 0; i < size; ++i) {
    std::string stem = stems[static_cast<std::size_t>(i) % stems.size()];
    const int n = i / static_cast<int>(stems.size());
    if (n > 0) stem.insert(stem.size() - 4, std::to_string(n));
    pool.push_back(stem);
  }
  return pool;
}

// The days before and including the end date, oldest first, "YYYY.MM.DD".
std::vector<std::string> days(const Options& o) {
  static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int y = o.endYear, m = o.endMonth, d = o.endDay;
  std::vector<std::string> out;
  for (int i = 0; i < o.usageDays; ++i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.4d.%.2d.%.2d", y, m, d);
    out.insert(out.begin(), buf);
    if (--d == 0) {
      if (--m == 0) {
        m = 12;
        --y;
      }
      d = monthDays[m - 1] + ((m == 2 && y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 1 : 0);
    }
  }
  return out;
}

class Archive {
 public:
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  void u16(std::uint16_t v) {
    bytes_.push_back(static_cast<char>(v & 0xFF));
    bytes_.push_back(static_cast<char>(v >> 8));
  }
  void length(std::size_t n) {
    if (n < 255) {
      bytes_.push_back(static_cast<char>(n));
    } else if (n < 0xFFFE) {
      bytes_.push_back(static_cast<char>(0xFF));
      u16(static_cast<std::uint16_t>(n));
    } else {
      bytes_.push_back(static_cast<char>(0xFF));
      u16(0xFFFF);
      u32(static_cast<std::uint32_t>(n));
    }
  }
  // A CP949 text, in the byte form or (utf16) in the UTF-16 form.
  void string(const std::string& cp949, bool utf16 = false) {
    if (!utf16) {
      length(cp949.size());
      bytes_ += cp949;
      return;
    }
    const std::string utf8 = mb::toUtf8(cp949);
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size();) {
      unsigned char c = static_cast<unsigned char>(utf8[i]);
      char32_t cp;
      int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
      for (int j = 1; j < len && i + j < utf8.size(); ++j) cp = (cp << 6) | (utf8[i + j] & 0x3F);
      i += len;
      if (cp >= 0x10000) {
        cp -= 0x10000;
        units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
      } else {
        units.push_back(static_cast<char16_t>(cp));
      }
    }
    bytes_.push_back(static_cast<char>(0xFF));
    u16(0xFFFE);
    length(units.size());
    for (char16_t u : units) u16(static_cast<std::uint16_t>(u));
  }
  void block16(Rng& rng) {
    for (int i = 0; i < 16; ++i) bytes_.push_back(static_cast<char>(rng.below(256)));
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

void writeFile(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::cerr << "sitegen: cannot write " << p << "\n";
    std::exit(1);
  }
}

struct Group {
  std::string name;  // CP949
  std::uint32_t id;
  std::uint32_t parentId;
  int level;
};

int run(const Options& o) {
  Rng rng(o.seed);
  namespace fs = std::filesystem;
  const fs::path qss = fs::path(o.out) / "qss";
  const fs::path data = qss / "data";
  fs::create_directories(data);

  // Settings.
  std::string s = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<qslook>\n";
  s += "  <!-- " + k("사이트 설정: 데이터 폴더, 그룹 파일, 표시 이름") + " -->\n";
  // The paths as the folders are written, so that files open as named; a
  // site whose settings differ in case from its folders loads the same, with
  // a look-up per file.
  s += "  <logdata>C:\\qss\\data</logdata>\n";
  s += "  <qssgrp>C:\\qss\\qsgroup.dat</qssgrp>\n";
  s += "  <pcname>" + k("PC 이름") + "</pcname>\n  <hardware>\n";
  for (const auto& c : hardwareCategories())
    s += std::string("    <") + c.key + ">" + k(c.display) + "</" + c.key + ">\n";
  s += "  </hardware>\n  <windows>\n";
  for (const auto& c : windowsItems())
    s += std::string("    <") + c.key + ">" + k(c.display) + "</" + c.key + ">\n";
  s += "  </windows>\n</qslook>\n";
  writeFile(qss / "qslook.xml", s);

  // Groups: the first level under the root, then each further group under
  // an earlier group of a level above the deepest.
  std::vector<Group> groups;
  const auto& names = groupNames();
  const int top = std::max(1, std::min(o.groups, o.depth <= 1 ? o.groups : 4));
  for (int i = 0; i < o.groups; ++i) {
    Group g;
    g.id = static_cast<std::uint32_t>(100 + i);
    std::string base = k(names[static_cast<std::size_t>(i) % names.size()]);
    if (i >= static_cast<int>(names.size())) base += " " + std::to_string(i / names.size() + 1);
    g.name = base;
    if (i < top) {
      g.parentId = 0;
      g.level = 1;
    } else {
      std::vector<int> candidates;
      for (int j = 0; j < i; ++j)
        if (groups[j].level < o.depth) candidates.push_back(j);
      if (candidates.empty()) {
        g.parentId = 0;
        g.level = 1;
      } else {
        const Group& p = groups[rng.pick(candidates)];
        g.parentId = p.id;
        g.level = p.level + 1;
      }
    }
    groups.push_back(g);
  }

  // PCs and their group (0: the root).
  std::vector<std::string> pcs;
  std::vector<std::size_t> pcGroup;  // index into groups, or groups.size() for the root
  for (int i = 0; i < o.pcs; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "PC-%04d", i + 1);
    pcs.push_back(name);
    const bool inRoot = groups.empty() || rng.below(20) == 0;
    pcGroup.push_back(inRoot ? groups.size() : rng.below(static_cast<std::uint32_t>(groups.size())));
  }

  Archive ar;
  if (!o.legacy) {
    ar.string("!!QSDATFILE!!");
    ar.u32(static_cast<std::uint32_t>(groups.size()));
    for (const auto& g : groups) {
      ar.u32(g.parentId);
      ar.u32(g.id);
      ar.string(g.name, o.utf16Names);
      ar.string(k("그룹 설명"));
      ar.u32(0);
    }
    ar.u32(static_cast<std::uint32_t>(pcs.size()));
    for (std::size_t i = 0; i < pcs.size(); ++i) {
      ar.u32(pcGroup[i] == groups.size() ? 0 : groups[pcGroup[i]].id);
      ar.string(pcs[i], o.utf16Names);
      ar.block16(rng);
      for (int t = 0; t < 7; ++t) ar.string(t == 0 ? "192.168.0." + std::to_string(i % 250 + 1) : "");
    }
  } else {
    ar.u32(static_cast<std::uint32_t>(groups.size()));
    for (const auto& g : groups) {
      ar.string(g.name, o.utf16Names);
      ar.string("");
      ar.u32(0);
    }
    ar.u32(static_cast<std::uint32_t>(pcs.size()));
    for (std::size_t i = 0; i < pcs.size(); ++i) {
      ar.string(pcs[i], o.utf16Names);
      ar.block16(rng);
      ar.string("");
      ar.string("");
      ar.string(pcGroup[i] == groups.size() ? "" : groups[pcGroup[i]].name, o.utf16Names);
      for (int t = 0; t < 3; ++t) ar.string("");
    }
  }
  writeFile(qss / "qsgroup.dat", ar.bytes());

  const std::vector<std::string> pool = programPool(o.programPool);
  const std::vector<std::string> upool = usagePool(std::max(o.usagePrograms * 2, 20));
  const std::vector<std::string> dayList = days(o);
  const std::string header = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n";

  for (std::size_t i = 0; i < pcs.size(); ++i) {
    const std::string& pc = pcs[i];

    // Hardware: every category once, then more items spread over the
    // categories that come in several (memory, disk, network, ...).
    std::string h = header + "<hardwareinfo>\n  <pcname>" + pc + "</pcname>\n";
    const auto& cats = hardwareCategories();
    for (int n = 0; n < o.hardwareItems; ++n) {
      const Category& c = n < static_cast<int>(cats.size()) ? cats[n] : cats[1 + rng.below(7)];
      h += std::string("  <") + c.key + ">" + xmlEscape(k(rng.pick(c.samples))) + "</" + c.key + ">\n";
    }
    h += "</hardwareinfo>\n";
    writeFile(data / (mb::toUtf8(pc) + " HardwareInfo.xml"), h);

    std::string w = header + "<windowsinfo>\n  <pcname>" + pc + "</pcname>\n";
    const auto& items = windowsItems();
    for (int n = 0; n < o.windowsItems && n < static_cast<int>(items.size()); ++n) {
      const Category& c = items[n];
      std::string value;
      const std::string key = c.key;
      char buf[64];
      if (key == "ProductId") {
        std::snprintf(buf, sizeof buf, "%05u-OEM-%07u-%05u", rng.below(100000), rng.below(10000000),
                      rng.below(100000));
        value = buf;
      } else if (key == "ComputerName") {
        value = pc;
      } else if (key == "IPAddress") {
        std::snprintf(buf, sizeof buf, "10.%u.%u.%u", static_cast<unsigned>(i / 62500 % 256),
                      static_cast<unsigned>(i / 250 % 250), static_cast<unsigned>(i % 250 + 1));
        value = buf;
      } else if (key == "MacAddress") {
        std::snprintf(buf, sizeof buf, "00-1A-2B-%02X-%02X-%02X", rng.below(256), rng.below(256),
                      rng.below(256));
        value = buf;
      } else if (key == "InstallDate" || key == "LastBoot") {
        std::snprintf(buf, sizeof buf, "%.4u.%.2u.%.2u", 2019 + rng.below(7), 1 + rng.below(12),
                      1 + rng.below(28));
        value = buf;
      } else {
        value = k(rng.pick(c.samples));
      }
      w += "  <" + key + ">" + xmlEscape(value) + "</" + key + ">\n";
    }
    w += "</windowsinfo>\n";
    writeFile(data / (mb::toUtf8(pc) + " WindowsInfo.xml"), w);

    std::string sw = header + "<softwareinfo>\n";
    for (int n = 0; n < o.programsPerPc; ++n)
      sw += "  <Program>" + xmlEscape(rng.pick(pool)) + "</Program>\n";
    sw += "</softwareinfo>\n";
    writeFile(data / (mb::toUtf8(pc) + " softwareinfo.xml"), sw);

    std::string u = header + "<softwareusage>\n";
    // Distinct programs: a partial shuffle of the pool.
    std::vector<std::size_t> order(upool.size());
    for (std::size_t n = 0; n < order.size(); ++n) order[n] = n;
    for (int n = 0; n < o.usagePrograms && n < static_cast<int>(order.size()); ++n) {
      std::swap(order[n], order[n + rng.below(static_cast<std::uint32_t>(order.size() - n))]);
      u += "  <unit>\n    <progname>" + upool[order[n]] + "</progname>\n";
      for (const auto& d : dayList) {
        if (rng.below(4) == 0) continue;  // not used every day
        u += "    <date tick=\"" + std::to_string(1 + rng.below(60)) + "\">" + d + "</date>\n";
      }
      u += "  </unit>\n";
    }
    u += "</softwareusage>\n";
    writeFile(data / (mb::toUtf8(pc) + " totalsuinfo.xml"), u);
  }
  return 0;
}

void usage() {
  std::cout << "usage: sitegen --out DIR [options]\n"
               "  --seed N              random seed (1)\n"
               "  --pcs N               PCs (40)\n"
               "  --groups N            groups below the root (6)\n"
               "  --depth N             levels of groups (2)\n"
               "  --programs N          programs per PC (30)\n"
               "  --pool N              shared program pool (200)\n"
               "  --hardware N          hardware items per PC (30)\n"
               "  --windows N           Windows information items per PC, at most 16 (15)\n"
               "  --usage-programs N    used programs per PC (12)\n"
               "  --days N              usage days (30)\n"
               "  --end YYYY.MM.DD      last usage day (2026.11.30)\n"
               "  --legacy              group file in the legacy layout\n"
               "  --utf16-names         group and PC names in the group file as UTF-16 texts\n";
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](int& target) {
      if (i + 1 >= argc) {
        std::cerr << "sitegen: " << a << " needs a value\n";
        std::exit(2);
      }
      char* end = nullptr;
      const long v = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || v < 0 || v > 10000000) {
        std::cerr << "sitegen: bad value for " << a << ": " << argv[i] << "\n";
        std::exit(2);
      }
      target = static_cast<int>(v);
    };
    if (a == "--out" && i + 1 < argc) {
      o.out = argv[++i];
    } else if (a == "--seed" && i + 1 < argc) {
      o.seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (a == "--pcs") {
      value(o.pcs);
    } else if (a == "--groups") {
      value(o.groups);
    } else if (a == "--depth") {
      value(o.depth);
    } else if (a == "--programs") {
      value(o.programsPerPc);
    } else if (a == "--pool") {
      value(o.programPool);
    } else if (a == "--hardware") {
      value(o.hardwareItems);
    } else if (a == "--windows") {
      value(o.windowsItems);
    } else if (a == "--usage-programs") {
      value(o.usagePrograms);
    } else if (a == "--days") {
      value(o.usageDays);
    } else if (a == "--end" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%d.%d.%d", &o.endYear, &o.endMonth, &o.endDay) != 3 || o.endMonth < 1 ||
          o.endMonth > 12 || o.endDay < 1 || o.endDay > 31) {
        std::cerr << "sitegen: bad date " << argv[i] << "\n";
        return 2;
      }
    } else if (a == "--legacy") {
      o.legacy = true;
    } else if (a == "--utf16-names") {
      o.utf16Names = true;
    } else if (a == "--help" || a == "-h") {
      usage();
      return 0;
    } else {
      std::cerr << "sitegen: unknown option " << a << "\n";
      usage();
      return 2;
    }
  }
  if (o.out.empty()) {
    usage();
    return 2;
  }
  if (o.programPool < 1) o.programPool = 1;
  return run(o);
}
