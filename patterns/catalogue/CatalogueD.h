#pragma once

#include "../framework/ColorPattern.h"

namespace lumora {

} // namespace lumora
