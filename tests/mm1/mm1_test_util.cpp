#include "mm1_test_util.h"

#include <unistd.h>

#include <random>

namespace mm1_test {

ScratchFolder::ScratchFolder() {
  std::random_device random;
  m_path = std::filesystem::temp_directory_path() / "mmsform-tests" /
           ("mm1-" + std::to_string(getpid()) + "-" + std::to_string(random()));
  std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

}  // namespace mm1_test
