#include "app/base/context_win.h"

namespace lumetta {

ProcessContext Context;

} // namespace lumetta
