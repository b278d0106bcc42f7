// The hardware, Windows information and software loaders against the plain
// model, on generated files full of odd input: entities, CDATA, comments,
// INCLUDE sections, processing instructions, wildcard names, keys the
// settings know twice or not at all, letter case, NUL bytes, files of
// several read pieces, and Korean texts around the fields' limits.
#include <gtest/gtest.h>

#include "dcAssetFilters.h"
#include "dcHardwareList.h"
#include "dcSoftwareList.h"
#include "dcWindowsInfo.h"
#include "inventorySite.h"
#include "randomInput.h"

namespace {

constexpr int CASES = 300;

class Gen : public Random {
 public:
  using Random::Random;

  // A whole file whose root element is named like rootName.
  std::string document(const std::string& rootName) {
    std::string s = chance(70) ? "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n" : "";
    if (chance(15)) s += "<!DOCTYPE " + rootName + " [<!ENTITY e \"v\"><![INCLUDE[<!ELEMENT cpu ANY>]]>]>";
    for (std::size_t roots = 1 + pick(2); roots > 0; --roots) {
      const std::string root =
          chance(80)
              ? oneOf<std::string>({rootName, "HARDWAREINFO", "WINDOWSINFO", "HardWareInfo", "WindowsInfo"})
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
};

// Loads one to maxLoads generated files (now and then empty or missing)
// into the same list, product and model, under generated settings and,
// most of the time, ignore lists drawn from the display texts, each case
// afresh.
template <class Product, class Model, class Bytes>
void loadsMatchTheModel(unsigned seed, std::size_t maxLoads, Bytes bytes) {
  Gen gen(seed);
  for (int c = 0; c < CASES && !::testing::Test::HasFailure(); ++c) {
    const std::string xml = gen.settings();
    InventorySite site(xml);
    const auto settings = dcmodel::parse(xml);
    std::optional<dcAssetFilters_t> filters;
    dcmodel::Filters modelFilters;
    if (gen.chance(85)) filters.emplace();
    for (std::size_t n = filters ? gen.pick(3) : 0; n > 0; --n) {
      modelFilters.hardware.push_back(gen.oneOf<std::string>({"CPU", "cpu", "Memory", "", "OS"}));
      modelFilters.windows.push_back(
          gen.oneOf<std::string>({"OS", "os", "WindowsVersion", "\xB1\xD7\xB7\xA1\xC7\xC8", ""}));
      filters->ignoredHardwares.add(modelFilters.hardware.back().c_str());
      filters->ignoredWindowsItems.add(modelFilters.windows.back().c_str());
    }
    Product list;
    Model expected;
    for (std::size_t loads = 1 + gen.pick(maxLoads); loads > 0; --loads) {
      const std::string path = site.path("PC01 data.xml");
      std::filesystem::remove(path);
      if (!gen.chance(4)) site.write("PC01 data.xml", gen.chance(3) ? "" : bytes(gen));
      EXPECT_EQ(dcmodel::loadBoth(list, expected, path, *settings, filters ? &modelFilters : nullptr), "")
          << "case " << c;
    }
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
