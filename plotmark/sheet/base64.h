#pragma once
#include <string>
#include <string_view>

namespace plotmark {

// Standard base64 with padding.
std::string Base64(std::string_view bytes);

}  // namespace plotmark
