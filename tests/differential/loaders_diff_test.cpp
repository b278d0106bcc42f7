// The hardware, Windows information and software loaders against the plain
// model, on generated files full of odd input: entities, CDATA, comments,
// INCLUDE sections, processing instructions, wildcard names, keys the
// settings know twice or not at all, letter case, NUL bytes, files of
// several read pieces, and Korean texts around the fields' limits.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "dcAssetFilters.h"
#include "dcHardwareList.h"
#include "dcModelLoaders.h"
#include "dcSoftwareList.h"
#include "dcWindowsInfo.h"
#include "inventorySite.h"

namespace model = dcmodel::loaders;

namespace {

constexpr int CASES = 300;

class Gen {
 public:
  explicit Gen(unsigned seed) : rng_(seed) {}

  std::size_t pick(std::size_t n) { return rng_() % n; }
  bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }
  template <class T>
  const T& oneOf(const std::vector<T>& pool) {
    return pool[pick(pool.size())];
  }

  // Korean and ASCII characters up to about bytes long, ending now and then
  // on a lone lead byte or with a character across a field's end.
  std::string korean(std::size_t bytes) {
    static const std::vector<std::string> chars = {"\xB0\xA1", "\xC7\xD1", "\xB1\xDB", "\x81\x41", "\x81\x61",
                                                   "a",        "Z",        " ",        "\xA4\xA1"};
    std::string s = pick(2) ? "" : "x";
    while (s.size() < bytes) s += oneOf(chars);
    if (chance(10)) s += '\xB0';
    return s;
  }

  // A text as an agent might write it, escaped or not.
  std::string text() {
    switch (pick(12)) {
      case 0:
        return korean(oneOf<std::size_t>({253, 254, 255, 256, 257}));
      case 1:
        return korean(oneOf<std::size_t>({509, 510, 511, 512, 513}));
      case 2:
        return "a&amp;b &lt;c&gt; &#65;&#xAC00;&quot;";
      case 3:
        return "&unknown; & &#; &#x;";
      case 4:
        return "   ";
      case 5:
        return "";
      default:
        return oneOf<std::string>({"Intel", "INTEL", "intel", "512MB", "\xC7\xD1\xB1\xDB 2004", "x y",
                                   "notepad.exe", "NOTEPAD.EXE", "5.1.2600"});
    }
  }

  // The content of an element: texts and whatever else may stand there.
  std::string content(int depth = 0) {
    std::string s;
    for (std::size_t n = pick(4); n > 0; --n) {
      switch (pick(10)) {
        case 0:
          s += "<!--" + text() + "-->";
          break;
        case 1:
          s += "<![CDATA[" + text() + "]]>";
          break;
        case 2:
          s += "<![INCLUDE[" + text() + "]]>";
          break;
        case 3:
          s += "<?pi " + text() + "?>";
          break;
        case 4:
          if (depth < 2) s += "<" + name() + (chance(30) ? " a=\"1\"/>" : ">" + content(depth + 1) + "</x>");
          break;
        default:
          s += text();
      }
    }
    return s;
  }

  std::string name() {
    return oneOf<std::string>({"cpu",    "CPU",  "memory", "disk",     "video",   "sound",          "pcname",
                               "PCName", "c*",   "?pu",    "[a-d]isk", "*",       "WindowsVersion", "os",
                               "osname", "user", "blank",  "serial",   "Program", "program",        "x"});
  }

  // An element: <n>content</n>, <n/> or an unclosed start tag.
  std::string element(const std::string& n, const std::string& inner) {
    if (chance(5)) return "<" + n + "/>";
    return "<" + n + (chance(10) ? " k=\"v\"" : "") + ">" + inner + (chance(3) ? "" : "</" + n + ">");
  }

  // A whole file whose root element is named like rootName.
  std::string document(const std::string& rootName) {
    std::string s = chance(70) ? "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n" : "";
    if (chance(15)) s += "<!DOCTYPE " + rootName + " [<!ENTITY e \"v\"><![INCLUDE[<!ELEMENT cpu ANY>]]>]>";
    for (std::size_t roots = 1 + pick(2); roots > 0; --roots) {
      const std::string root =
          chance(80) ? oneOf<std::string>({rootName, upper(rootName), "HardWareInfo", "WindowsInfo"})
                     : oneOf<std::string>({"other", "hardware*", "inventory"});
      std::string inner;
      for (std::size_t n = pick(8); n > 0; --n) inner += chance(10) ? content() : element(name(), content());
      if (chance(50)) inner += "<pcname>PC01</pcname>";
      s += element(root, inner) + "\n";
    }
    if (chance(8)) s += "<!--" + std::string(5000, 'p') + "-->";
    if (chance(8)) s.insert(pick(s.size() + 1), 1, '\0');
    return s;
  }

  std::string programs() {
    std::string s = "<?xml version=\"1.0\"?><softwareinfo>";
    for (std::size_t n = pick(16); n > 0; --n) {
      switch (pick(6)) {
        case 0:
          s += "<Program>" + text() + "<Program>" + text() + "</Program></Program>";
          break;
        case 1:
          s += "<?Program " + text() + "?>";
          break;
        case 2:
          s += element(oneOf<std::string>({"program", "Programs", "Group"}),
                       "<Program>" + text() + "</Program>");
          break;
        default:
          s += element("Program", content());
      }
    }
    s += "</softwareinfo>";
    if (chance(8)) s.insert(pick(s.size() + 1), 1, '\0');
    return s;
  }

  // A settings file naming some keys once, some twice, nested or not.
  std::string settings() {
    static const std::vector<std::string> keys = {"cpu", "memory", "disk", "video", "WindowsVersion",
                                                  "os",  "osname", "user", "blank", "sound"};
    std::string s = "<qslook>";
    for (const std::string& key : keys) {
      for (std::size_t copies = pick(3); copies > 0; --copies) {
        const std::string display =
            chance(15) ? content()
                       : oneOf<std::string>({"CPU", "cpu", "Memory", "", "\xB1\xD7\xB7\xA1\xC7\xC8", "OS",
                                             "os", "WindowsVersion", korean(300)});
        const std::string e = element(key, display);
        s += chance(30) ? "<group>" + e + "</group>" : e;
      }
    }
    return s + "</qslook>";
  }

  // Ignore lists drawn from the display texts, in any case.
  model::Filters filters() {
    model::Filters f;
    for (std::size_t n = pick(3); n > 0; --n) {
      f.hardware.push_back(oneOf<std::string>({"CPU", "cpu", "Memory", "", "OS"}));
      f.windows.push_back(oneOf<std::string>({"OS", "os", "WindowsVersion", "\xB1\xD7\xB7\xA1\xC7\xC8", ""}));
    }
    return f;
  }

  static std::string upper(std::string s) {
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
  }

 private:
  std::mt19937 rng_;
};

// Generated settings and, most of the time, a filter set, installed while
// the site lives, and the model's view of both.
struct Site {
  explicit Site(Gen& gen) : xml(gen.settings()), settings(xml), modelSettings(xml) {
    if (!gen.chance(85)) return;
    modelFilters = gen.filters();
    filters.emplace();
    for (const std::string& f : modelFilters->hardware) filters->ignoredHardwares.add(f.c_str());
    for (const std::string& f : modelFilters->windows) filters->ignoredWindowsItems.add(f.c_str());
  }

  // A file to load: mostly generated, now and then empty or missing.
  std::string file(Gen& gen, const std::string& bytes) {
    std::filesystem::remove(settings.path("PC01 data.xml"));
    if (gen.chance(4)) return settings.path("PC01 data.xml");
    return settings.write("PC01 data.xml", gen.chance(3) ? "" : bytes);
  }

  std::string xml;
  InventorySite settings;
  model::Settings modelSettings;
  std::optional<dcAssetFilters_t> filters;
  std::optional<model::Filters> modelFilters;
};

// Loads one to maxLoads generated files into the same list, product and
// model, on a fresh site each case.
template <class Product, class Model, class Bytes>
void loadsMatchTheModel(unsigned seed, std::size_t maxLoads, Bytes bytes) {
  Gen gen(seed);
  for (int c = 0; c < CASES && !::testing::Test::HasFailure(); ++c) {
    Site site(gen);
    Product list;
    Model expected;
    for (std::size_t loads = 1 + gen.pick(maxLoads); loads > 0; --loads)
      EXPECT_EQ(model::loadBoth(list, expected, site.file(gen, bytes(gen)), site.modelSettings,
                                site.modelFilters ? &*site.modelFilters : nullptr),
                "")
          << "case " << c;
  }
}

TEST(LoaderDiff, ListsMatchTheModel) {
  loadsMatchTheModel<dcHardwareList_t, dcmodel::HardwareList>(
      1601, 2, [](Gen& g) { return g.document("hardwareinfo"); });
  loadsMatchTheModel<dcWindowsInfo_t, dcmodel::WindowsInfo>(1602, 2,
                                                            [](Gen& g) { return g.document("windowsinfo"); });
  loadsMatchTheModel<dcSoftwareList_t, dcmodel::SoftwareList>(1603, 3, [](Gen& g) { return g.programs(); });
}

}  // namespace
