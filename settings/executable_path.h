// The full path of the running executable (one implementation per platform).
#pragma once

#include <string>

namespace marvolen {

std::wstring ExecutablePath();

}  // namespace marvolen
