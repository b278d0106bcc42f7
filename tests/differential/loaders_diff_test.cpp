// The hardware, Windows information and software loaders against the plain
// model, on generated files full of odd input: entities, CDATA, comments,
// INCLUDE sections, processing instructions, wildcard names, keys the
// settings know twice or not at all, letter case, NUL bytes, files of
// several read pieces, and Korean texts around the fields' limits. And the
// group file reader against the model, on generated files of both layouts:
// every length form, lengths the file cannot hold, UTF-16 texts with stray
// surrogates, duplicate names and ids, parents that come late, the root's
// own name, NULs inside texts, long Korean names, and files that end
// anywhere.
#include <gtest/gtest.h>

#include "dcDataLoad.h"
#include "inventorySite.h"
#include "randomInput.h"

namespace {

constexpr int CASES = 300, GROUP_FILE_CASES = 600;
const std::string ROOT = dcQsGroup_t::ROOT_NAME;

class Gen : public Random {
 public:
  using Random::Random;

  // A whole file whose root element is named like rootName; with no
  // rootName, a software file.
  std::string document(const std::string& rootName) {
    if (rootName.empty()) return programs();
    std::string s = chance(70) ? "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n" : "";
    if (chance(15)) s += "<!DOCTYPE " + rootName + " [<!ENTITY e \"v\"><![INCLUDE[<!ELEMENT cpu ANY>]]>]>";
    for (std::size_t roots = 1 + pick(2); roots > 0; --roots) {
      const std::string root =
          chance(80) ? oneOf({rootName, "HARDWAREINFO", "WINDOWSINFO", "HardWareInfo", "WindowsInfo"})
                     : oneOf({"other", "hardware*", "inventory"});
      std::string inner;
      for (std::size_t n = pick(8); n > 0; --n) inner += chance(10) ? content() : element(name(), content());
      if (chance(50)) inner += "<pcname>PC01</pcname>";
      s += element(root, inner) + "\n";
    }
    if (chance(8)) s += "<!--" + std::string(5000, 'p') + "-->";
    if (chance(8)) s.insert(pick(s.size() + 1), 1, '\0');
    return s;
  }

  // A settings file naming some keys once, some twice, nested or not.
  std::string settings() {
    std::string s = "<qslook>";
    for (const char* key :
         {"cpu", "memory", "disk", "video", "WindowsVersion", "os", "osname", "user", "blank", "sound"})
      for (std::size_t copies = pick(3); copies > 0; --copies) {
        const std::string e =
            element(key, chance(15) ? content()
                                    : oneOf({"CPU", "cpu", "Memory", "", "\xB1\xD7\xB7\xA1\xC7\xC8", "OS",
                                             "os", "WindowsVersion", korean(300)}));
        s += chance(30) ? "<group>" + e + "</group>" : e;
      }
    return s + "</qslook>";
  }
};

// Loads one to maxLoads generated files (now and then empty or missing)
// into the same list, product and model, under generated settings and,
// most of the time, ignore lists drawn from the display texts, each case
// afresh, the files made by Gen::document(rootName).
template <class Product, class Model>
void loadsMatchTheModel(unsigned seed, std::size_t maxLoads, const std::string& rootName) {
  Gen gen(seed);
  for (int c = 0; c < CASES && !::testing::Test::HasFailure(); ++c) {
    const std::string xml = gen.settings();
    InventorySite site(xml);
    const auto settings = dcmodel::parse(xml);
    std::optional<dcAssetFilters_t> filters;
    dcmodel::Filters modelFilters;
    if (gen.chance(85)) filters.emplace();
    for (std::size_t n = filters ? gen.pick(3) : 0; n > 0; --n) {
      modelFilters.hardware.push_back(gen.oneOf({"CPU", "cpu", "Memory", "", "OS"}));
      modelFilters.windows.push_back(
          gen.oneOf({"OS", "os", "WindowsVersion", "\xB1\xD7\xB7\xA1\xC7\xC8", ""}));
      filters->ignoredHardwares.add(modelFilters.hardware.back().c_str());
      filters->ignoredWindowsItems.add(modelFilters.windows.back().c_str());
    }
    Product list;
    Model expected;
    for (std::size_t loads = 1 + gen.pick(maxLoads); loads > 0; --loads) {
      const std::string path = site.path("PC01 data.xml");
      std::filesystem::remove(path);
      if (!gen.chance(4)) site.write("PC01 data.xml", gen.chance(3) ? "" : gen.document(rootName));
      EXPECT_EQ(dcmodel::loadBoth(list, expected, path, *settings, filters ? &modelFilters : nullptr), "")
          << "case " << c;
    }
  }
}

TEST(LoaderDiff, ListsMatchTheModel) {
  loadsMatchTheModel<dcHardwareList_t, dcmodel::HardwareList>(1601, 2, "hardwareinfo");
  loadsMatchTheModel<dcWindowsInfo_t, dcmodel::WindowsInfo>(1602, 2, "windowsinfo");
  loadsMatchTheModel<dcSoftwareList_t, dcmodel::SoftwareList>(1603, 3, "");
}

// Group files of either layout, written record by record into bytes.
class GroupFileGen : public Random {
 public:
  using Random::Random;

  std::string bytes;

  void u32(std::uint32_t v) { bytes.append({char(v), char(v >> 8), char(v >> 16), char(v >> 24)}); }
  void u16(std::uint32_t v) { bytes.append({char(v), char(v >> 8)}); }

  // A length in any form that can hold it, now and then a claim of 4 GB
  // that the file cannot hold (read in pieces, never allocated at once).
  void length(std::size_t n) {
    if (pick(1000) == 0) n = 0xFFFFFFF0;
    const std::size_t form = pick(4);
    if (n < 255 && form < 2)
      bytes += char(n);
    else if (n < 0xFFFE && form < 3)
      bytes += '\xFF', u16(static_cast<std::uint32_t>(n));
    else
      bytes += "\xFF\xFF\xFF", u32(static_cast<std::uint32_t>(n));
  }

  // A text record, now and then as UTF-16 (with a stray surrogate anywhere,
  // which takes nothing after it) or as the mark twice, which reads as no text.
  void text(const std::string& s) {
    const std::size_t form = pick(10);
    if (form == 1) bytes += "\xFF\xFE\xFF\xFF\xFE\xFF";
    if (form > 1) length(s.size()), bytes += s;
    if (form > 0) return;
    bytes += "\xFF\xFE\xFF";
    std::vector<std::uint16_t> units;
    for (unsigned char c : s) units.push_back(c < 0x80 ? c : 0xAC00 + c);
    if (chance(33))
      units.insert(units.begin() + pick(units.size() + 1), static_cast<std::uint16_t>(0xD800 + pick(0x800)));
    length(units.size());
    for (std::uint16_t u : units) u16(u);
  }

  // Duplicate names in any case, the root's own name, NULs inside names,
  // Korean names around the field's limit.
  std::string name() {
    return pick(12) ? oneOf({"Seoul", "seoul", "Busan", "", "PC01", "PC02", ROOT, std::string("A\0B", 3),
                             std::string("\0x", 2), "\xC7\xD1\xB1\xDB"})
                    : korean(253 + pick(6));
  }

  // Duplicate ids, parents that come late or never.
  std::uint32_t id() { return oneOf<std::uint32_t>({0, 1, 2, 3, 4, 5, 0xFFFFFFFF, 0x80000000}); }

  // A whole file, now and then with one record more counted than written,
  // then cut short one time in four.
  std::string file(bool current) {
    bytes.clear();
    if (current)
      text(pick(4) ? "!!QSDATFILE!!" : pick(2) ? "!!qsdatfile!!" : std::string("!!QSDATFILE!!\0x", 15));
    const std::size_t groups = pick(9);
    u32(static_cast<std::uint32_t>(groups + (pick(10) == 0)));
    for (std::size_t g = 0; g < groups; ++g) {
      if (current) {
        u32(id());
        u32(id());
      }
      text(name());
      text("note");
      u32(7);
    }
    const std::size_t clients = pick(9);
    u32(static_cast<std::uint32_t>(clients + (pick(10) == 0)));
    for (std::size_t c = 0; c < clients; ++c) {
      if (current) u32(id());
      text(name());
      bytes += std::string(16, '\xEE');
      for (int t = 0; t < (current ? 7 : 2); ++t) text("t");
      if (!current) {
        text(name());
        for (int t = 0; t < 3; ++t) text("");
      }
    }
    if (pick(4) == 0) bytes.resize(pick(bytes.size() + 1));
    return bytes;
  }
};

TEST(GroupFileDiff, ReaderMatchesTheModel) {
  testutil::TempDir dir;
  testutil::DriveMapping drive('C', dir.str());
  dcAssetConsoleEngine_t engine;
  GroupFileGen gen(1604);
  for (int c = 0; c < GROUP_FILE_CASES; ++c) {
    const std::string bytes = gen.file(gen.pick(2) == 0);
    testutil::writeFile(dir.path() / "qss" / "grp.dat", bytes);
    engine.root.clear();
    // The reader runs on a root named "root" or, as the data load has it,
    // already renamed.
    const std::string rootName = gen.pick(2) ? ROOT : "root";
    mb::copyBounded(engine.root.name, rootName.c_str());
    bool whole = true;
    try {
      readGroupFile("C:\\QSS\\grp.dat");
    } catch (const dcArchiveException_t&) {
      whole = false;
    }
    dcmodel::Group expected{rootName};
    ASSERT_EQ(whole, dcmodel::readGroupFile(bytes, expected)) << c;
    ASSERT_EQ(dcmodel::describeTree(engine.root), dcmodel::describeTree(expected)) << c;
  }
}

}  // namespace
