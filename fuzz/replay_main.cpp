// Replays inputs through a fuzz target without libFuzzer: every argument is
// a file or a folder of files, each handed once to LLVMFuzzerTestOneInput.
// Lets a plain build run the committed corpus as a test.

#include "testutil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::size_t count = 0;
  auto replay = [&](const std::filesystem::path& path) {
    const std::string bytes = testutil::readFile(path);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++count;
  };
  for (int i = 1; i < argc; ++i)
    if (!std::filesystem::is_directory(argv[i]))
      replay(argv[i]);
    else
      for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
        if (entry.is_regular_file()) replay(entry.path());
  if (count == 0) return std::fprintf(stderr, "replay: no inputs\n"), 1;
  std::printf("replay: %zu inputs\n", count);
}
