// A reference for commandbench: the kernel's copy (copy_file_range, in requests as large as cp
// makes them) of a file from byte OFFSET on. A split's pieces start wherever a frame does, at
// any byte, and copying from such a place costs more than cp's copy from byte 0.
//
//     benchcopyfrom SOURCE TARGET OFFSET

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 4)
        return 2;
    const int ein = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    const int aus = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    struct stat st {};
    if (ein < 0 || aus < 0 || ::fstat(ein, &st) != 0)
        return 1;
    loff_t von = std::atoll(argv[3]);
    loff_t nach = 0;
    while (von < st.st_size) {
        const ssize_t n = ::copy_file_range(ein, &von, aus, &nach, size_t(st.st_size - von), 0);
        if (n <= 0)
            return 1;
    }
    return ::close(aus) == 0 ? 0 : 1;
}
