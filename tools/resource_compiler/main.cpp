// resource_compiler OUTPUT SOURCE...: compiles resource sources into the device's resource file.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "resource_file_writer.h"
#include "resource_parser.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: resource_compiler OUTPUT SOURCE...\n");
    return 2;
  }
  resource_compiler::ResourceSet set;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
      std::fprintf(stderr, "%s: cannot read\n", argv[i]);
      return 1;
    }
    std::string error;
    auto tokens = resource_compiler::Tokenize(text.str(), &error);
    if (!tokens || !resource_compiler::ParseResources(*tokens, &set, &error)) {
      std::fprintf(stderr, "%s: %s\n", argv[i], error.c_str());
      return 1;
    }
  }
  std::string error;
  if (!resource_compiler::WriteResourceFile(set, argv[1], &error)) {
    std::fprintf(stderr, "resource_compiler: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
