// A file system without unnamed files, loaded with LD_PRELOAD: every open
// that asks for one (O_TMPFILE) fails as on FAT or a network share, so the
// file layer's tests run through its temporary-name path too.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>

namespace {

template <typename Open>
int OpenWithoutUnnamed(const char* symbol, const char* path, int flags, va_list arguments) {
    static const Open real_open = reinterpret_cast<Open>(dlsym(RTLD_NEXT, symbol));
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const mode_t mode = (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
    return real_open(path, flags, mode);
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int fd = OpenWithoutUnnamed<int (*)(const char*, int, ...)>("open", path, flags, arguments);
    va_end(arguments);
    return fd;
}

extern "C" int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int fd = OpenWithoutUnnamed<int (*)(const char*, int, ...)>("open64", path, flags, arguments);
    va_end(arguments);
    return fd;
}
