// Random input for the differential tests: the odd texts and XML an agent
// might write (entities, CDATA, comments, INCLUDE sections, processing
// instructions, wildcard names, letter case, NUL bytes, Korean texts around
// the fields' limits), and random trees of groups, product and model side
// by side.
#pragma once

#include "dcModel.h"
#include "dcQsGroup.h"
#include "testutil.h"

class Random {
 public:
  explicit Random(unsigned seed) : rng(seed) {}

  std::mt19937 rng;

  std::size_t pick(std::size_t n) { return rng() % n; }
  bool chance(int percent) { return static_cast<int>(pick(100)) < percent; }
  template <class T>
  T oneOf(const std::vector<T>& pool) {
    return pool[pick(pool.size())];
  }
  std::string oneOf(std::initializer_list<std::string> pool) { return pool.begin()[pick(pool.size())]; }

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

  // A text as an agent might write it, escaped or not, now and then at the
  // limit of a 256-byte or a 512-byte field.
  std::string text() {
    if (chance(50))
      return oneOf({"Intel", "INTEL", "intel", "512MB", "\xC7\xD1\xB1\xDB 2004", "x y", "notepad.exe",
                    "NOTEPAD.EXE", "5.1.2600"});
    return oneOf({korean(253 + pick(5)), korean(509 + pick(5)), "a&amp;b &lt;c&gt; &#65;&#xAC00;&quot;",
                  "&unknown; & &#; &#x;", "   ", ""});
  }

  // The content of an element: texts and whatever else may stand there.
  std::string content(int depth = 0) {
    static const std::string open[] = {"<!--", "<![CDATA[", "<![INCLUDE[", "<?pi "},
                             close[] = {"-->", "]]>", "]]>", "?>"};
    std::string s;
    for (std::size_t n = pick(4); n > 0; --n) {
      const std::size_t kind = pick(10);
      if (kind < 4)
        s += open[kind] + text() + close[kind];
      else if (kind > 4)
        s += text();
      else if (depth < 2)
        s += "<" + name() + (chance(30) ? " a=\"1\"/>" : ">" + content(depth + 1) + "</x>");
    }
    return s;
  }

  std::string name() {
    return oneOf({"cpu",    "CPU",  "memory", "disk",     "video",   "sound",          "pcname",
                  "PCName", "c*",   "?pu",    "[a-d]isk", "*",       "WindowsVersion", "os",
                  "osname", "user", "blank",  "serial",   "Program", "program",        "x"});
  }

  // An element: <n>content</n>, <n/> or an unclosed start tag.
  std::string element(const std::string& n, const std::string& inner) {
    if (chance(5)) return "<" + n + "/>";
    return "<" + n + (chance(10) ? " k=\"v\"" : "") + ">" + inner + (chance(3) ? "" : "</" + n + ">");
  }

  // A software file: Program elements nested, empty, misnamed, as
  // processing instructions, or holding anything an element may hold.
  std::string programs() {
    std::string s = "<?xml version=\"1.0\"?><softwareinfo>";
    for (std::size_t n = pick(16); n > 0; --n) {
      const std::string program = element("Program", content());
      s += oneOf({"<Program>" + text() + "<Program>" + text() + "</Program></Program>",
                  "<?Program " + text() + "?>",
                  element(oneOf({"program", "Programs", "Group"}), "<Program>" + text() + "</Program>"),
                  program, program, program});
    }
    s += "</softwareinfo>";
    if (chance(8)) s.insert(pick(s.size() + 1), 1, '\0');
    return s;
  }
};

// A random tree of groups: up to three clients a group and, above the last
// level, up to two sub-groups. fill(client, model) gives each new client its
// inventories, on the product's side and the model's.
struct RandomSite {
  testutil::TempDir dir;
  dcQsGroup_t root{"root"};
  dcmodel::Group model{"root"};
  std::vector<std::pair<dcQsGroup_t*, dcmodel::Group*>> groups;
  std::vector<std::pair<dcQsClient_t*, dcmodel::Client*>> clients;

  // Empties both trees and grows them anew, three levels below the root.
  // Clearing leaves the root's usage document as it is.
  template <class Fill>
  void grow(Random& random, Fill fill) {
    root.clear();
    // The old tree is exchanged for an empty one and hands on its usage.
    model.usage = std::move(std::exchange(model, dcmodel::Group{"root"}).usage);
    groups.clear(), clients.clear();
    add(random, &root, &model, 3, fill);
  }

  // Writes bytes as the client's file of kind ("<name> <kind>"), loads it
  // into the client and returns its path.
  std::string load(dcQsClient_t* client, const std::string& kind, const std::string& bytes) {
    const std::string path = dir.str() + "/" + client->name + " " + kind;
    testutil::writeFile(path, bytes);
    client->LoadAssetDataFromFile(path.c_str(), client->name, kind.c_str());
    return path;
  }

 private:
  template <class Fill>
  void add(Random& random, dcQsGroup_t* group, dcmodel::Group* modelGroup, int depth, Fill& fill) {
    groups.emplace_back(group, modelGroup);
    for (std::size_t i = random.pick(4); i > 0; --i) {
      const std::string name = "PC" + std::to_string(clients.size());
      clients.emplace_back(group->addClient(name.c_str()), &modelGroup->addClient(name));
      fill(clients.back().first, *clients.back().second);
    }
    for (std::size_t i = depth ? random.pick(3) : 0; i > 0; --i) {
      const std::string name = "G" + std::to_string(groups.size());
      add(random, group->addChild(name.c_str()), &modelGroup->addChild(name), depth - 1, fill);
    }
  }
};
