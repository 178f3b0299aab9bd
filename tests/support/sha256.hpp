#pragma once
// SHA-256 of a byte string as 64 lower-case hex digits, for pinned digests.
#include <string>
#include <string_view>

namespace scenario::prova {

std::string sha256(std::string_view dati);

}  // namespace scenario::prova
