#include "platform/files/temporary_file_name.h"

#include <atomic>
#include <cstdio>
#include <random>

namespace talvoren {
namespace {

// Drawn once per process: a later process that gets this one's number (small
// numbers come back soon in containers) still makes names of its own.
unsigned long ProcessTag() {
    std::random_device device;
    return static_cast<unsigned long>(device()) & 0xFFFFFFFFul;
}

}  // namespace

std::string NextTemporaryFileName(unsigned long process_id) {
    static const unsigned long tag = ProcessTag();
    static std::atomic<unsigned long> counter{0};
    char tag_text[9];
    std::snprintf(tag_text, sizeof tag_text, "%08lx", tag);
    return "~talvoren-" + std::to_string(process_id) + "-" + tag_text + "-" + std::to_string(++counter) + ".tmp";
}

}  // namespace talvoren
