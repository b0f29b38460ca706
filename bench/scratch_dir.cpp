#include "bench/scratch_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace bench {

std::string ScratchDirectory() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string directory = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : std::string("./x");
    directory.erase(directory.rfind('/'));
    directory += "/bench-scratch";
    mkdir(directory.c_str(), 0755);
    return directory;
}

}  // namespace bench
