#include "platform/files/temporary_file_name.h"

#include <atomic>

namespace talvoren {

std::string NextTemporaryFileName(unsigned long process_id) {
    static std::atomic<unsigned long> counter{0};
    return "~talvoren-" + std::to_string(process_id) + "-" + std::to_string(++counter) + ".tmp";
}

}  // namespace talvoren
