#include "mm1/mm1_config.h"

namespace {

// 300 KB is the message size limit of the MMS conformance content classes up to "rich text".
constexpr mm1::Mm1Config kDefaultConfig = {307200, 0, 307200};

}  // namespace

extern "C" const mm1::Mm1Config* mm1_config_get_default() { return &kDefaultConfig; }
