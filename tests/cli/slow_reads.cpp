// A slow disk for the driver's process tests, loaded with LD_PRELOAD: every
// read of a regular file waits 25 ms first, so that a folder of a few dozen
// small files makes a run of seconds.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    using Read = ssize_t (*)(int, void*, size_t);
    static const Read real_read = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "read"));
    struct stat status;
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) usleep(25'000);
    return real_read(fd, buffer, count);
}
