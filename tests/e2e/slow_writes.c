/* Preloaded into the programs of the kill test (LD_PRELOAD): every write to a regular file goes out
 * in two halves with a pause after each, so a file that is written in place stays half-written long
 * enough for a random kill to find it so. Pause in microseconds from TORVANE_SLOW_WRITES_US. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static long pause_us(void) {
    static long us = -1;
    if (us < 0) {
        const char* s = getenv("TORVANE_SLOW_WRITES_US");
        us = s != NULL ? atol(s) : 0;
        if (us < 0) us = 0;
    }
    return us;
}

static void nap(void) {
    const long us = pause_us();
    const struct timespec t = {us / 1000000, (us % 1000000) * 1000};
    nanosleep(&t, NULL);
}

static int is_regular_file(int fd) {
    struct stat st;
    return fd > 2 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

ssize_t write(int fd, const void* buf, size_t count) {
    static ssize_t (*real_write)(int, const void*, size_t);
    if (real_write == NULL) real_write = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    if (count < 2 || pause_us() == 0 || !is_regular_file(fd)) return real_write(fd, buf, count);
    const ssize_t first = real_write(fd, buf, count / 2);
    nap();
    if (first < 0 || (size_t)first < count / 2) return first;
    const ssize_t second = real_write(fd, (const char*)buf + first, count - (size_t)first);
    nap();
    return second < 0 ? first : first + second;
}

/* The C library's own stream writes do not pass through write() above. */
size_t fwrite(const void* ptr, size_t size, size_t n, FILE* stream) {
    static size_t (*real_fwrite)(const void*, size_t, size_t, FILE*);
    if (real_fwrite == NULL)
        real_fwrite = (size_t(*)(const void*, size_t, size_t, FILE*))dlsym(RTLD_NEXT, "fwrite");
    if (size != 1 || n < 2 || pause_us() == 0 || !is_regular_file(fileno(stream)))
        return real_fwrite(ptr, size, n, stream);
    const size_t first = real_fwrite(ptr, 1, n / 2, stream);
    fflush(stream);
    nap();
    if (first < n / 2) return first;
    const size_t second = real_fwrite((const char*)ptr + first, 1, n - first, stream);
    fflush(stream);
    nap();
    return first + second;
}
