#pragma once
// Standard base64 with padding, in one line.
#include <string>
#include <string_view>

namespace plotara {

std::string Base64(std::string_view bytes);

}  // namespace plotara
