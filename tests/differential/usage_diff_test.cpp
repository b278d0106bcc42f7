// Usage loading, gathering and summaries compared with the plain model on
// random sites: odd files (entities, CDATA, comments, INCLUDE sections,
// declarations, wildcard and Korean names, broken ticks and ticks not as
// "%d" writes them, stray attributes, text after the closing tag, NUL
// bytes), random group trees, clients and groups whose tree is built before
// gathering or not.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cp949.h"
#include "randomSite.h"

namespace {

class UsageFiles {
 public:
  explicit UsageFiles(std::uint32_t seed) : rng_(seed) {}

  std::string file() {
    if (chance(4)) return "";
    if (chance(2)) return plainFile();
    std::string s;
    if (chance(2))
      s += pickOf<std::string>({"<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n", "<?xml  version=\"1.0\"  ?>",
                                "<?xml version=\"1.0\" encoding=\"a?b\" ?>"});
    if (chance(5)) s += "<!-- agent 2.1 -->";
    if (chance(6))
      s += "<!DOCTYPE softwareusage [<!ENTITY e \"x\"><!ELEMENT progname (#PCDATA)><!ATTLIST date tick CDATA "
           "#IMPLIED><!NOTATION n SYSTEM \"s\">]>";
    if (chance(8)) s += "<progname>" + pickOf(names()) + "</progname>" + date();
    s += chance(12) ? "<softwareusage v=\"1\">" : "<softwareusage>";
    for (int i = pick(6); i > 0; --i) s += unit();
    if (chance(12)) s += "<progname>" + pickOf(names()) + "</progname>" + date();
    if (chance(15)) return s;  // no closing tag
    s += "</softwareusage>";
    if (chance(6)) s += "<softwareusage>" + unit() + "</softwareusage>";
    if (chance(10)) s.insert(s.size() / 2, 1, '\0');
    // Blanks between tags, as other agents write them.
    if (chance(4))
      for (std::size_t at = s.find("><"); at != std::string::npos; at = s.find("><", at + 5))
        s.insert(at + 1, "\n\t ");
    return s;
  }

  std::string day() { return pickOf(days()); }
  std::mt19937& rng() { return rng_; }

 private:
  bool chance(int in) { return std::uniform_int_distribution<int>(0, in - 1)(rng_) == 0; }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n)(rng_); }
  template <class T>
  T pickOf(const std::vector<T>& v) {
    return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng_)];
  }

  static const std::vector<std::string>& names() {
    static const std::vector<std::string> pool = {"notepad.exe",
                                                  "calc.exe",
                                                  "note*",
                                                  "?alc.exe",
                                                  "[a-d]*",
                                                  "NOTEPAD.EXE",
                                                  "",
                                                  "a&amp;b.exe",
                                                  mb::fromUtf8("메모장.exe"),
                                                  mb::fromUtf8("계산기"),
                                                  "calc.exe ",
                                                  "x[!y]z"};
    return pool;
  }
  static const std::vector<std::string>& days() {
    static const std::vector<std::string> pool = {"2004.12.01",   "2004.12.02", "2004.11.30", "2005.01.01",
                                                  "2004.12.1",    "",           "2004.12.0?", "x",
                                                  " 2004.12.03 ", " \r\n",      "1",          "11111111111",
                                                  "11111111112",  "2004.12.1*"};
    return pool;
  }

  std::string progname() {
    const std::string& name = pickOf(names());
    switch (pick(5)) {
      case 0:
        return "<progname><![CDATA[" + name + "]]></progname>";
      case 1:
        return "<progname><![INCLUDE[" + name + "]]></progname>";
      case 2:
        return "<progname><!--c-->" + name + "</progname>";
      case 3:
        return "<progname/>";
      default:
        return "<progname>" + name + "</progname>";
    }
  }

  std::string date() {
    static const std::vector<std::string> ticks = {"5", "20",  "1",   "0",  "  +7", "-2",        "abc",
                                                   "",  "12x", "300", "05", "-0",   "2147483647"};
    std::string attributes = " tick=\"" + pickOf(ticks) + "\"";
    if (chance(8)) attributes = "";
    if (chance(8)) attributes = " kind=\"a\"" + attributes;
    if (chance(20)) attributes = " tock=\"5\"";
    std::string text = day();
    if (chance(10)) text = "<![CDATA[" + text + "]]>";
    if (chance(15)) return "<?date " + text + "?>";
    return "<date" + attributes + ">" + text + "</date>";
  }

  // A file as the agents write it, which the document keeps as numbers.
  std::string plainFile() {
    std::string s = "<softwareusage>";
    for (int i = pick(6); i > 0; --i) {
      s += "<unit><progname>" + pickOf(names()) + "</progname>";
      for (int d = pick(3); d > 0; --d)
        s += "<date tick=\"" + pickOf<std::string>({"1", "5", "20", "300"}) + "\">" + day() + "</date>";
      s += "</unit>";
    }
    return s + "</softwareusage>";
  }

  std::string unit() {
    std::string inner;
    if (chance(6)) inner += date();
    inner += progname();
    if (chance(10)) inner += progname();
    for (int i = pick(3); i > 0; --i) {
      if (chance(10)) inner += "<other>x</other>";
      if (chance(12)) inner += "<?mark at=\"x\"?>";
      inner += chance(12) ? "<day>" + date() + "</day>" : date();
    }
    const std::string tag = chance(6) ? "app" : "unit";
    std::string s = "<" + tag + (chance(15) ? " id=\"1\">" : ">") + inner + "</" + tag + ">";
    if (chance(8)) s = "<folder>" + s + "</folder>";
    return s;
  }

  std::mt19937 rng_;
};

template <class Product, class Model>
void expectSame(const Product& product, const Model& model, UsageFiles& files, const std::string& where) {
  EXPECT_EQ(dcmodel::usageDifference(product, model,
                                     {{"2004.12.01", "2004.12.02"},
                                      {"2000.01.01", "2099.12.31"},
                                      {"2004.12.02", "2004.12.01"},
                                      {files.day(), files.day()}}),
            "")
      << where;
}

TEST(UsageDifferential, RandomSitesGatherAsTheModel) {
  for (std::uint32_t seed = 1; seed <= 150; ++seed) {
    UsageFiles files(seed);
    RandomSite site;
    site.grow(
        files.rng(), "TOTALSUINFO.XML", [&] { return files.file(); },
        [](dcQsClient_t*, dcmodel::Client& model, const std::string& path) { model.usage.load(path); });
    // Some clients' trees are built before gathering, the rest are gathered
    // from what the load kept.
    for (auto& [client, model] : site.clients)
      if (files.rng()() % 3 == 0) expectSame(client->usageDocument, model->usage, files, "client before");
    // A second gathering merges into groups of which some were handed out
    // as trees, from children of which some were.
    const int gatherings = seed % 3 == 0 ? 2 : 1;
    for (int i = 0; i < gatherings; ++i) {
      site.root.gatherSoftwareUsages();
      site.model.gatherUsage();
      for (auto& [group, model] : site.groups)
        if (i + 1 < gatherings && files.rng()() % 2 == 0) group->usageDocument.getRootNode();
    }
    for (auto& [group, model] : site.groups)
      expectSame(group->usageDocument, model->usage, files,
                 "seed " + std::to_string(seed) + " " + group->name);
    for (auto& [client, model] : site.clients)
      expectSame(client->usageDocument, model->usage, files, client->name);
    if (HasFailure()) break;
  }
}

// Direct merges of program-days with wildcard names and days into a
// group's tree, as mergeUsage is documented to take them.
TEST(UsageDifferential, MergeUsageWithPatterns) {
  for (std::uint32_t seed = 1; seed <= 100; ++seed) {
    testutil::TempDir dir;
    UsageFiles files(seed * 7919);
    const std::string path = dir.str() + "/PC totalsuinfo.xml";
    std::ofstream(path, std::ios::binary) << files.file();
    dcSoftwareUsageDocument_t client;
    client.LoadUsageData(path.c_str());
    dcmodel::UsageDocument modelClient;
    modelClient.load(path);
    dcSoftwareUsageDocument_t group;
    dcmodel::UsageDocument model;
    group.merge(client.getRootNode());
    model.merge(modelClient.root());
    static const std::vector<std::string> names = {"notepad.exe", "note*", "*", "[c-n]*", "calc.exe", "new"};
    for (int i = 0; i < 6; ++i) {
      const std::string& name = names[files.rng()() % names.size()];
      const std::string day = files.day();
      const std::string ticks = std::to_string(files.rng()() % 50);
      group.mergeUsage(group.getRootNode(), name.c_str(), day.c_str(), ticks.c_str());
      model.mergeUsage(name, day, ticks);
    }
    expectSame(group, model, files, "seed " + std::to_string(seed));
    if (HasFailure()) break;
  }
}

}  // namespace
