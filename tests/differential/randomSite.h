// A random tree of groups for the differential tests, product and model side
// by side: up to three clients a group and, above the last level, up to two
// sub-groups. Each client's file "<name> <kind>" is written with bytes() and
// loaded by the product; fill(client, model, path) loads the model's side and
// adds whatever else the client holds.
#pragma once

#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "dcModel.h"
#include "dcQsGroup.h"
#include "testutil.h"

struct RandomSite {
  testutil::TempDir dir;
  dcQsGroup_t root{"root"};
  dcmodel::Group model;
  std::vector<std::pair<dcQsGroup_t*, dcmodel::Group*>> groups;
  std::vector<std::pair<dcQsClient_t*, dcmodel::Client*>> clients;

  // Empties both trees and grows them anew, three levels below the root.
  template <class Bytes, class Fill>
  void grow(std::mt19937& rng, const std::string& kind, Bytes bytes, Fill fill) {
    root.clear();
    model = dcmodel::Group{};
    model.name = "root";
    groups.clear();
    clients.clear();
    add(rng, &root, &model, 3, kind, bytes, fill);
  }

 private:
  template <class Bytes, class Fill>
  void add(std::mt19937& rng, dcQsGroup_t* group, dcmodel::Group* modelGroup, int depth,
           const std::string& kind, Bytes& bytes, Fill& fill) {
    groups.emplace_back(group, modelGroup);
    for (int i = std::uniform_int_distribution<int>(0, 3)(rng); i > 0; --i) {
      const std::string name = "PC" + std::to_string(clients.size());
      const std::string path = dir.str() + "/" + name + " " + kind;
      std::ofstream(path, std::ios::binary) << bytes();
      dcQsClient_t* client = group->addClient(name.c_str());
      dcmodel::Client& model = *modelGroup->clients.emplace_back(std::make_unique<dcmodel::Client>());
      model.name = name;
      client->LoadAssetDataFromFile(path.c_str(), name.c_str(), kind.c_str());
      fill(client, model, path);
      clients.emplace_back(client, &model);
    }
    if (depth == 0) return;
    for (int i = std::uniform_int_distribution<int>(0, 2)(rng); i > 0; --i) {
      const std::string name = "G" + std::to_string(groups.size());
      dcmodel::Group& child = *modelGroup->children.emplace_back(std::make_unique<dcmodel::Group>());
      child.name = name;
      add(rng, group->addChild(name.c_str()), &child, depth - 1, kind, bytes, fill);
    }
  }
};
