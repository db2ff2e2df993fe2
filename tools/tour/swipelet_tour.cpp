#include "tour.h"

namespace tour {

int RunSwipeletTour(const Output&) {
    Say("Swipelet has no tour yet");
    return 0;
}

} // namespace tour
