// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/BlackBoxImage.h"

namespace o5 {

BlackBoxBytes BlackBoxImage{};

}  // namespace o5
