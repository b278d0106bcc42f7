// The usage loader on any file, compared with the plain model: the client's
// tree, a group's tree after merging it twice (the second merge runs the
// merge proper, not the first copy), once from the built tree and once from
// a client whose tree was never built, and the summaries of a fixed period
// and of a period read from the input.

#include "dcSoftwareUsage.h"
#include "modelCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::installSite();
  const std::string path = fuzzsupport::writeInput("PC totalsuinfo.xml", data, size);
  // The last 20 bytes as two days of ten, as the period picker writes them.
  const char* end = reinterpret_cast<const char*>(data) + size;
  const std::string first = size >= 20 ? std::string(end - 20, 10) : "2000.01.01",
                    last = size >= 20 ? std::string(end - 10, 10) : "2099.12.31";
  auto expectSame = [&](const dcSoftwareUsageDocument_t& product, const dcmodel::UsageDocument& model) {
    fuzzsupport::same(
        dcmodel::usageDifference(product, model, {{"2000.01.01", "2099.12.31"}, {first, last}}).empty());
  };
  dcmodel::UsageDocument modelClient, modelGroup;
  dcSoftwareUsageDocument_t pending, gathered, client, group;
  modelClient.load(path);
  pending.LoadUsageData(path.c_str());
  for (int pass = 0; pass < 2; ++pass) {
    modelGroup.merge(modelClient.root());
    gathered.mergeFrom(pending);
  }
  expectSame(gathered, modelGroup);
  client.LoadUsageData(path.c_str());
  expectSame(client, modelClient);
  for (int pass = 0; pass < 2; ++pass) group.merge(client.getRootNode());
  expectSame(group, modelGroup);
  return 0;
}
