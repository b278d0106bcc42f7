// Random sites gathered as the plain model gathers them: software files
// with nested, empty and escaped Program elements, hardware and Windows
// items with letter-case variants, duplicates and Korean texts at and over
// the field limits, and usage files of every odd kind (entities, CDATA,
// comments, INCLUDE sections, declarations, wildcard and Korean names,
// broken ticks and ticks not as "%d" writes them, stray attributes, text
// after the closing tag, NUL bytes), clients and groups whose usage tree is
// built before gathering or not.
#include <gtest/gtest.h>

#include "randomInput.h"

namespace {

class SiteInput : public Random {
 public:
  using Random::Random;

  // Hardware and Windows information added to a client as a load adds them.
  void addItems(dcQsClient_t* client, dcmodel::Client& model) {
    for (std::size_t i = pick(5); i > 0; --i) {
      const std::string category = oneOf({"CPU", "cpu", "\xB8\xDE\xB8\xF0\xB8\xAE", "Disk"});
      const std::string device = text(), description = text();
      client->hardwareList.add(category.c_str(), device.c_str(), description.c_str(), 1);
      model.hardware.add(category, device, description);
    }
    for (std::size_t i = pick(4); i > 0; --i) {
      const std::string name = oneOf({"WindowsVersion", "windowsversion", "SP", "\xBA\xF4\xB5\xE5"});
      const std::string description = chance(50) ? oneOf({"5.1", "5.1 ", "XP", "xp"}) : text();
      client->windowsInfo.add(name.c_str(), description.c_str());
      model.windows.add(name, description);
    }
  }

  std::string usageFile() {
    if (chance(25)) return "";
    if (chance(50)) return plainUsageFile();
    std::string s;
    if (chance(50))
      s += oneOf({"<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n", "<?xml  version=\"1.0\"  ?>",
                  "<?xml version=\"1.0\" encoding=\"a?b\" ?>"});
    if (chance(20)) s += "<!-- agent 2.1 -->";
    if (chance(17))
      s += "<!DOCTYPE softwareusage [<!ENTITY e \"x\"><!ELEMENT progname (#PCDATA)><!ATTLIST date tick CDATA "
           "#IMPLIED><!NOTATION n SYSTEM \"s\">]>";
    if (chance(12)) s += "<progname>" + program() + "</progname>" + date();
    s += chance(8) ? "<softwareusage v=\"1\">" : "<softwareusage>";
    for (std::size_t i = pick(7); i > 0; --i) s += unit();
    if (chance(8)) s += "<progname>" + program() + "</progname>" + date();
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

  std::string day() {
    return oneOf({"2004.12.01", "2004.12.02", "2004.11.30", "2005.01.01", "2004.12.1", "", "2004.12.0?", "x",
                  " 2004.12.03 ", " \r\n", "1", "11111111111", "11111111112", "2004.12.1*"});
  }

  std::string program() {
    return oneOf({"notepad.exe", "calc.exe", "note*", "?alc.exe", "[a-d]*", "NOTEPAD.EXE", "", "a&amp;b.exe",
                  "\xB8\xDE\xB8\xF0\xC0\xE5.exe", "\xB0\xE8\xBB\xEA\xB1\xE2", "calc.exe ", "x[!y]z"});
  }

 private:
  std::string progname() {
    const std::string name = program();
    return oneOf({"<progname><![CDATA[" + name + "]]></progname>",
                  "<progname><![INCLUDE[" + name + "]]></progname>",
                  "<progname><!--c-->" + name + "</progname>", "<progname/>",
                  "<progname>" + name + "</progname>", "<progname>" + name + "</progname>"});
  }

  std::string date() {
    std::string attributes = " tick=\"" +
                             oneOf({"5", "20", "1", "0", "  +7", "-2", "abc", "", "12x", "300", "05", "-0",
                                    "-", "2147483647", "2147483648", "-2147483648"}) +
                             "\"";
    if (chance(12)) attributes = "";
    if (chance(12)) attributes = " kind=\"a\"" + attributes;
    if (chance(5)) attributes = " tock=\"5\"";
    std::string text = day();
    if (chance(10)) text = "<![CDATA[" + text + "]]>";
    if (chance(7)) return "<?date " + text + "?>";
    return "<date" + attributes + ">" + text + "</date>";
  }

  // A file as the agents write it, which the document keeps as numbers;
  // now and then one part of it is out of that layout, so that each rule of
  // the layout is met on its own.
  std::string plainUsageFile() {
    auto rarely = [&](const std::string& usual, const std::vector<std::string>& odd) {
      return chance(8) ? oneOf(odd) : usual;
    };
    const std::string unit = "<unit><progname>u</progname><date tick=\"1\">2004.12.01</date></unit>";
    std::string s = rarely(chance(30) ? "<?xml version=\"1.0\" encoding=\"euc-kr\"?>" : "",
                           {"<?xml?>", "<?xml version?>", "<?xml v=\"1\"?>", "<?xmlv=\"1\"?>",
                            "<?xml version=\" 1.0\"?>", unit, unit + unit});
    s += rarely("",
                {"<?xml?>", "<?xml version?>", "<?xmlx a=\"1\"?>", "<?xml v=\"1\"?>", unit, "t", "<!--c-->"});
    s += rarely("<softwareusage>",
                {"<usage>", "<softwareusage a=\"1\">", "<softwareusage/>", unit + "<softwareusage>"});
    for (std::size_t i = pick(7); i > 0; --i) {
      s += rarely("<unit>", {"<unit a=\"1\">", "<units>", "<unit/><unit>", "t<unit>", "<?pi?><unit>"});
      const std::string name = program();
      s += chance(10)
               ? "<progname><![CDATA[" + name + "]]></progname>"
               : rarely("<progname>" + name + "</progname>",
                        {"<progname/>", "<progname a=\"1\">n</progname>", "<program>n</program>",
                         "<progname>a<b/></progname>", "", "<progname>a</progname><progname>b</progname>"});
      for (std::size_t d = pick(4); d > 0; --d) {
        const std::string ticks =
            rarely(oneOf({"1", "5", "20", "300"}), {"05", "-0", "+1", " 1", "2147483648", ""});
        s += rarely(
            "<date tick=\"" + ticks + "\">" + day() + "</date>",
            {"<date>d</date>", "<date tick=\"1\" b=\"2\">d</date>", "<date b=\"2\" tick=\"1\">d</date>",
             "<date tock=\"1\">d</date>", "<date tick=\"1\"><![CDATA[d]]></date>", "<date tick=\"1\"/>",
             "<date tick=\"1\">d<e/></date>", "<dates tick=\"1\">d</dates>", "<date tick>d</date>",
             "<?date tick=\"1\"?>", "t"});
      }
      s += rarely("</unit>", {""});
    }
    // The first end tag may end the "softwareusage" element with units after it.
    s += rarely("</softwareusage>", {"</x>" + unit + "</softwareusage>", "</x><unit/></softwareusage>"});
    // Lines and indents between tags, as the agents write them.
    if (chance(50))
      for (std::size_t at = s.find("><"); at != std::string::npos; at = s.find("><", at + 4))
        s.insert(at + 1, pick(2) ? "\n  " : "\r\n\t");
    return s;
  }

  std::string unit() {
    std::string inner;
    if (chance(17)) inner += date();
    inner += progname();
    if (chance(10)) inner += progname();
    for (std::size_t i = pick(4); i > 0; --i) {
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

// A random tree of groups, product and model side by side: up to three
// clients a group and, above the last level, up to two sub-groups. Each new
// client loads a software file and a usage file and is given hardware and
// Windows items, on the product's side and the model's.
struct RandomSite {
  testutil::TempDir dir;
  dcQsGroup_t root{"root"};
  dcmodel::Group model{"root"};
  std::vector<std::pair<dcQsGroup_t*, dcmodel::Group*>> groups;
  std::vector<std::pair<dcQsClient_t*, dcmodel::Client*>> clients;

  // Empties both trees and grows them anew, three levels below the root.
  // Clearing leaves the root's usage document as it is.
  void grow(SiteInput& input) {
    root.clear();
    // The old tree is exchanged for an empty one and hands on its usage.
    model.usage = std::move(std::exchange(model, dcmodel::Group{"root"}).usage);
    groups.clear();
    clients.clear();
    add(input, &root, &model, 3);
  }

 private:
  // Writes bytes as the client's file of kind ("<name> <kind>"), loads it
  // into the client and returns its path.
  std::string load(dcQsClient_t* client, const std::string& kind, const std::string& bytes) {
    const std::string path = dir.str() + "/" + client->name + " " + kind;
    testutil::writeFile(path, bytes);
    client->LoadAssetDataFromFile(path.c_str(), client->name, kind.c_str());
    return path;
  }

  void add(SiteInput& input, dcQsGroup_t* group, dcmodel::Group* modelGroup, int depth) {
    groups.emplace_back(group, modelGroup);
    for (std::size_t i = input.pick(4); i > 0; --i) {
      const std::string name = "PC" + std::to_string(clients.size());
      auto [client, modelClient] =
          clients.emplace_back(group->addClient(name.c_str()), &modelGroup->addClient(name));
      dcmodel::load(modelClient->software, load(client, "softwareinfo.xml", input.programs()));
      modelClient->usage.load(load(client, "TOTALSUINFO.XML", input.usageFile()));
      input.addItems(client, *modelClient);
    }
    for (std::size_t i = depth ? input.pick(3) : 0; i > 0; --i) {
      const std::string name = "G" + std::to_string(groups.size());
      add(input, group->addChild(name.c_str()), &modelGroup->addChild(name), depth - 1);
    }
  }
};

// A client's or group's usage, the product's and the model's, compared over
// fixed periods and one from the input.
template <class Both>
void expectSameUsage(const Both& both, SiteInput& input, const char* when) {
  EXPECT_EQ("", dcmodel::usageDifference(both.first->usageDocument, both.second->usage,
                                         {{"2004.12.01", "2004.12.02"},
                                          {"2000.01.01", "2099.12.31"},
                                          {"2004.12.02", "2004.12.01"},
                                          {input.day(), input.day()}}))
      << when << " " << both.first->name;
}

TEST(SiteDifferential, RandomSitesGatherAsTheModel) {
  for (std::uint32_t seed = 1; seed <= 150 && !HasFailure(); ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    SiteInput input(seed);
    RandomSite site;
    // Every fourth root is cleared and filled again: its text table starts
    // over. Some clients' usage trees are built before gathering, the rest
    // are gathered from what the load kept.
    for (int round = seed % 4 == 0 ? 2 : 1; round > 0; --round) {
      site.grow(input);
      for (auto& client : site.clients)
        if (input.chance(33)) expectSameUsage(client, input, "before gathering");
      ASSERT_EQ(site.root.gatherGroupInfo(), 0u);
      site.model.gatherLists();
      site.model.gatherUsage();
      for (auto& [group, model] : site.groups)
        EXPECT_EQ(dcmodel::describeGathered(*group), dcmodel::describeGathered(*model)) << group->name;
    }
    // A second gathering merges into groups of which some were handed out
    // as trees, from children of which some were.
    if (seed % 3 == 0) {
      for (auto& [group, model] : site.groups)
        if (input.chance(50)) group->usageDocument.getRootNode();
      site.root.gatherSoftwareUsages();
      site.model.gatherUsage();
    }
    // Program-days merged straight into the root's tree, with wildcard
    // names and days, as mergeUsage takes them.
    for (std::size_t i = input.pick(6); i > 0; --i) {
      const std::string name = input.oneOf({"notepad.exe", "note*", "*", "[c-n]*", "calc.exe", "new"});
      const std::string day = input.day(), ticks = std::to_string(input.pick(50));
      site.root.usageDocument.mergeUsage(site.root.usageDocument.getRootNode(), name.c_str(), day.c_str(),
                                         ticks.c_str());
      site.model.usage.mergeUsage(name, day, ticks);
    }
    for (auto& group : site.groups) expectSameUsage(group, input, "at the end");
    for (auto& client : site.clients) expectSameUsage(client, input, "at the end");
  }
}

}  // namespace
