#include "GraphInteractionState.h"

namespace tq {

GraphInteractionState& graphInteraction() {
    static GraphInteractionState state;
    return state;
}

} // namespace tq
