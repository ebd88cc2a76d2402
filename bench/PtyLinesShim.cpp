// Preloaded into the serial terminals that terminal_stream_bench measures
// against ours. A pseudo-terminal has no modem lines, and those programs
// close a port whose lines cannot be read or set (or that udev does not
// know), so on a pseudo-terminal this answers as a port with no line
// raised. Every read and write, and every other call, goes through as it is.
#include <dlfcn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdarg>
#include <cstring>

namespace {

// Unix98 pseudo-terminal slaves: majors 136 to 143.
bool IsPty(int fd)
{
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    const bool lines = request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC;
    if (lines && IsPty(fd)) {
        if (request == TIOCMGET)
            *static_cast<int*>(arg) = 0;
        return 0;
    }
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto next = reinterpret_cast<Ioctl>(::dlsym(RTLD_NEXT, "ioctl"));
    return next(fd, request, arg);
}

// udev has no device for a pseudo-terminal; the multiplexer that made it
// stands in, a tty udev knows.
extern "C" void* g_udev_client_query_by_device_file(void* client, const char* file)
{
    using Query = void* (*)(void*, const char*);
    static const auto next = reinterpret_cast<Query>(::dlsym(RTLD_NEXT, "g_udev_client_query_by_device_file"));
    if (!next)
        return nullptr;
    if (file && std::strncmp(file, "/dev/pts/", 9) == 0)
        file = "/dev/ptmx";
    return next(client, file);
}
