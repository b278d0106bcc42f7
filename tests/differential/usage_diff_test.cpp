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
#include "randomInput.h"

namespace {

class UsageFiles : public Random {
 public:
  using Random::Random;

  std::string file() {
    if (chance(25)) return "";
    if (chance(50)) return plainFile();
    std::string s;
    if (chance(50))
      s += oneOf<std::string>({"<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n", "<?xml  version=\"1.0\"  ?>",
                               "<?xml version=\"1.0\" encoding=\"a?b\" ?>"});
    if (chance(20)) s += "<!-- agent 2.1 -->";
    if (chance(17))
      s += "<!DOCTYPE softwareusage [<!ENTITY e \"x\"><!ELEMENT progname (#PCDATA)><!ATTLIST date tick CDATA "
           "#IMPLIED><!NOTATION n SYSTEM \"s\">]>";
    if (chance(12)) s += "<progname>" + oneOf(names()) + "</progname>" + date();
    s += chance(8) ? "<softwareusage v=\"1\">" : "<softwareusage>";
    for (int i = pick(7); i > 0; --i) s += unit();
    if (chance(8)) s += "<progname>" + oneOf(names()) + "</progname>" + date();
    if (chance(7)) return s;  // no closing tag
    s += "</softwareusage>";
    if (chance(17)) s += "<softwareusage>" + unit() + "</softwareusage>";
    if (chance(10)) s.insert(s.size() / 2, 1, '\0');
    // Blanks between tags, as other agents write them.
    if (chance(25))
      for (std::size_t at = s.find("><"); at != std::string::npos; at = s.find("><", at + 5))
        s.insert(at + 1, "\n\t ");
    return s;
  }

  std::string day() { return oneOf(days()); }

 private:
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
    const std::string& name = oneOf(names());
    switch (pick(6)) {
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
    std::string attributes = " tick=\"" + oneOf(ticks) + "\"";
    if (chance(12)) attributes = "";
    if (chance(12)) attributes = " kind=\"a\"" + attributes;
    if (chance(5)) attributes = " tock=\"5\"";
    std::string text = day();
    if (chance(10)) text = "<![CDATA[" + text + "]]>";
    if (chance(7)) return "<?date " + text + "?>";
    return "<date" + attributes + ">" + text + "</date>";
  }

  // A file as the agents write it, which the document keeps as numbers.
  std::string plainFile() {
    std::string s = "<softwareusage>";
    for (int i = pick(7); i > 0; --i) {
      s += "<unit><progname>" + oneOf(names()) + "</progname>";
      for (int d = pick(4); d > 0; --d)
        s += "<date tick=\"" + oneOf<std::string>({"1", "5", "20", "300"}) + "\">" + day() + "</date>";
      s += "</unit>";
    }
    return s + "</softwareusage>";
  }

  std::string unit() {
    std::string inner;
    if (chance(17)) inner += date();
    inner += progname();
    if (chance(10)) inner += progname();
    for (int i = pick(4); i > 0; --i) {
      if (chance(10)) inner += "<other>x</other>";
      if (chance(8)) inner += "<?mark at=\"x\"?>";
      inner += chance(8) ? "<day>" + date() + "</day>" : date();
    }
    const std::string tag = chance(17) ? "app" : "unit";
    std::string s = "<" + tag + (chance(7) ? " id=\"1\">" : ">") + inner + "</" + tag + ">";
    if (chance(12)) s = "<folder>" + s + "</folder>";
    return s;
  }
};

void expectSame(const dcSoftwareUsageDocument_t& product, const dcmodel::UsageDocument& model,
                UsageFiles& files, const std::string& where) {
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
        files, "TOTALSUINFO.XML", [&] { return files.file(); },
        [](dcQsClient_t*, dcmodel::Client& model, const std::string& path) { model.usage.load(path); });
    // Some clients' trees are built before gathering, the rest are gathered
    // from what the load kept.
    for (auto& [client, model] : site.clients)
      if (files.chance(33)) expectSame(client->usageDocument, model->usage, files, "client before");
    // A second gathering merges into groups of which some were handed out
    // as trees, from children of which some were.
    const int gatherings = seed % 3 == 0 ? 2 : 1;
    for (int i = 0; i < gatherings; ++i) {
      site.root.gatherSoftwareUsages();
      site.model.gatherUsage();
      for (auto& [group, model] : site.groups)
        if (i + 1 < gatherings && files.chance(50)) group->usageDocument.getRootNode();
    }
    // Program-days merged straight into the root's tree, with wildcard
    // names and days, as mergeUsage is documented to take them.
    for (std::size_t i = files.pick(6); i > 0; --i) {
      const std::string name =
          files.oneOf<std::string>({"notepad.exe", "note*", "*", "[c-n]*", "calc.exe", "new"});
      const std::string day = files.day(), ticks = std::to_string(files.pick(50));
      site.root.usageDocument.mergeUsage(site.root.usageDocument.getRootNode(), name.c_str(), day.c_str(),
                                         ticks.c_str());
      site.model.usage.mergeUsage(name, day, ticks);
    }
    for (auto& [group, model] : site.groups)
      expectSame(group->usageDocument, model->usage, files,
                 "seed " + std::to_string(seed) + " " + group->name);
    for (auto& [client, model] : site.clients)
      expectSame(client->usageDocument, model->usage, files, client->name);
    if (HasFailure()) break;
  }
}

}  // namespace
