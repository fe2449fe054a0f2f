#include "heater/BlackBoxImage.h"

namespace o5 {

BlackBoxBytes BlackBoxImage{};

}  // namespace o5
