// Gathering software, hardware, Windows versions and the name lists up
// random trees, compared with the plain model: letter-case variants, Korean
// texts at and over the field limits, duplicate names, software files with
// nested, empty and escaped Program elements.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cp949.h"
#include "dcModelLoaders.h"
#include "randomSite.h"

namespace {

struct Texts {
  explicit Texts(std::uint32_t seed) : rng(seed) {}
  std::mt19937 rng;

  int pick(int n) { return std::uniform_int_distribution<int>(0, n)(rng); }
  const std::string& of(const std::vector<std::string>& pool) { return pool[pick(int(pool.size()) - 1)]; }

  // A Korean text of about length bytes, with a single-byte character first
  // when odd is set so that a cut at the field's end falls inside a
  // double-byte character.
  static std::string korean(std::size_t length, bool odd) {
    std::string s = odd ? "x" : "";
    const std::string ga = mb::fromUtf8("가");
    while (s.size() < length) s += ga;
    return s;
  }

  std::string program() {
    static const std::vector<std::string> pool = {"word.exe",
                                                  "WORD.EXE",
                                                  "x.exe",
                                                  "X.exe",
                                                  mb::fromUtf8("한글.exe"),
                                                  "",
                                                  "a&amp;b.exe",
                                                  korean(510, true),
                                                  korean(512, false),
                                                  korean(520, true)};
    return of(pool);
  }

  std::string softwareFile() {
    std::string s = "<?xml version=\"1.0\"?><softwareinfo>";
    for (int i = pick(5); i > 0; --i) {
      const std::string name = program();
      switch (pick(5)) {
        case 0:
          s += "<Program><![CDATA[" + name + "]]></Program>";
          break;
        case 1:
          s += "<Program/>";
          break;
        case 2:
          s += "<group><Program>" + name + "<Program>inner.exe</Program></Program></group>";
          break;
        case 3:
          s += "<program>" + name + "</program><!-- " + name + " -->";
          break;
        default:
          s += "<Program>" + name + "</Program>";
          break;
      }
    }
    return s + "</softwareinfo>";
  }

  void hardware(dcQsClient_t* client, dcmodel::Client& model) {
    static const std::vector<std::string> categories = {"CPU", "cpu", mb::fromUtf8("메모리"), "Disk"};
    static const std::vector<std::string> texts = {
        "Intel", "INTEL",           "intel ",           mb::fromUtf8("삼성"),
        "",      korean(254, true), korean(256, false), korean(300, true)};
    for (int i = pick(4); i > 0; --i) {
      const std::string &category = of(categories), &device = of(texts), &description = of(texts);
      client->hardwareList.add(category.c_str(), device.c_str(), description.c_str(), 1);
      model.hardware.add(category, device, description);
    }
  }

  void windows(dcQsClient_t* client, dcmodel::Client& model) {
    static const std::vector<std::string> names = {"WindowsVersion", "windowsversion", "SP",
                                                   mb::fromUtf8("빌드")};
    static const std::vector<std::string> texts = {
        "5.1", "5.1 ", "XP", "xp", mb::fromUtf8("윈도우"), korean(255, true), korean(300, false)};
    for (int i = pick(3); i > 0; --i) {
      const std::string &name = of(names), &description = of(texts);
      client->windowsInfo.add(name.c_str(), description.c_str());
      model.windows.add(name, description);
    }
  }
};

// The first line where two descriptions differ, with the lines' lengths
// (long Korean texts make whole descriptions unreadable).
std::string firstDifference(const std::string& a, const std::string& b) {
  std::size_t line = 0, at = 0;
  while (at < a.size() && at < b.size()) {
    const std::size_t endA = a.find('\n', at), endB = b.find('\n', at);
    const std::string la = a.substr(at, endA - at), lb = b.substr(at, endB - at);
    if (la != lb)
      return "line " + std::to_string(line) + ": " + std::to_string(la.size()) + " bytes [" +
             la.substr(la.size() > 40 ? la.size() - 40 : 0) + "] vs " + std::to_string(lb.size()) +
             " bytes [" + lb.substr(lb.size() > 40 ? lb.size() - 40 : 0) + "]";
    at = endA + 1;
    ++line;
  }
  return a.size() == b.size() ? "" : "lengths differ";
}

TEST(GatherDifferential, RandomTreesGatherAsTheModel) {
  for (std::uint32_t seed = 1; seed <= 120; ++seed) {
    Texts texts(seed);
    RandomSite site;
    // Every fourth root is cleared and filled again: its text table starts over.
    for (int round = seed % 4 == 0 ? 2 : 1; round > 0; --round) {
      site.grow(
          texts.rng, "softwareinfo.xml", [&] { return texts.softwareFile(); },
          [&](dcQsClient_t* client, dcmodel::Client& model, const std::string& path) {
            dcmodel::loaders::load(model.software, path);
            texts.hardware(client, model);
            texts.windows(client, model);
          });
      ASSERT_EQ(site.root.gatherGroupInfo(), 0u);
      site.model.gather();
      for (auto& [group, model] : site.groups)
        EXPECT_EQ(firstDifference(dcmodel::describeGathered(*group), dcmodel::describeGathered(*model)), "")
            << "seed " << seed << " " << group->name;
    }
    if (HasFailure()) break;
  }
}

}  // namespace
