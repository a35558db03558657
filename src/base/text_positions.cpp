#include "base/text_positions.h"

#include "base/failure.h"

namespace veltrana {

void ThrowOverflow() {
  throw Failure(kOverflow);
}

void ThrowInvalidArgument() {
  throw Failure(kInvalidArgument);
}

}  // namespace veltrana
