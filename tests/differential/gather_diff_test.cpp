// Gathering software, hardware, Windows versions and the name lists up
// random trees, compared with the plain model: letter-case variants, Korean
// texts at and over the field limits, duplicate names, software files with
// nested, empty and escaped Program elements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cp949.h"
#include "randomInput.h"

namespace {

// Hardware and Windows information added to a client as a load adds them.
void addItems(Random& random, dcQsClient_t* client, dcmodel::Client& model) {
  for (std::size_t i = random.pick(5); i > 0; --i) {
    const std::string category = random.oneOf<std::string>({"CPU", "cpu", mb::fromUtf8("메모리"), "Disk"});
    const std::string device = random.text(), description = random.text();
    client->hardwareList.add(category.c_str(), device.c_str(), description.c_str(), 1);
    model.hardware.add(category, device, description);
  }
  for (std::size_t i = random.pick(4); i > 0; --i) {
    const std::string name =
        random.oneOf<std::string>({"WindowsVersion", "windowsversion", "SP", mb::fromUtf8("빌드")});
    const std::string description =
        random.chance(50) ? random.oneOf<std::string>({"5.1", "5.1 ", "XP", "xp"}) : random.text();
    client->windowsInfo.add(name.c_str(), description.c_str());
    model.windows.add(name, description);
  }
}

TEST(GatherDifferential, RandomTreesGatherAsTheModel) {
  for (std::uint32_t seed = 1; seed <= 120; ++seed) {
    Random random(seed);
    RandomSite site;
    // Every fourth root is cleared and filled again: its text table starts over.
    for (int round = seed % 4 == 0 ? 2 : 1; round > 0; --round) {
      site.grow(
          random, "softwareinfo.xml", [&] { return random.programs(); },
          [&](dcQsClient_t* client, dcmodel::Client& model, const std::string& path) {
            dcmodel::load(model.software, path);
            addItems(random, client, model);
          });
      ASSERT_EQ(site.root.gatherGroupInfo(), 0u);
      site.model.gather();
      for (auto& [group, model] : site.groups)
        EXPECT_EQ(dcmodel::describeGathered(*group), dcmodel::describeGathered(*model))
            << "seed " << seed << " " << group->name;
    }
    if (HasFailure()) break;
  }
}

}  // namespace
