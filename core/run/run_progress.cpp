#include "core/run/run_progress.h"

namespace talvoren {

RunProgress& NoRunProgress() {
    static RunProgress nobody;
    return nobody;
}

}  // namespace talvoren
