#include "runtime/internal/RuntimeFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kiv {

namespace {

std::string UserName() {
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name[0])
        return entry->pw_name;
    return std::to_string(::geteuid());
}

RuntimeFolder Refused(const std::string& path, const std::string& why) {
    return {{}, "the runtime folder " + path + " " + why};
}

// Why path is no folder for the user's sockets; empty when it is one.
RuntimeFolder Checked(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return Refused(path, std::string("cannot be used: ") + std::strerror(errno));
    if (S_ISLNK(status.st_mode)) return Refused(path, "is a symbolic link");
    if (!S_ISDIR(status.st_mode)) return Refused(path, "is not a folder");
    if (status.st_uid != ::geteuid()) return Refused(path, "belongs to another account");
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) return Refused(path, "is open to others");
    return {path, {}};
}

}  // namespace

RuntimeFolder CheckedRuntimeFolder(const std::string& path) {
    return Checked(path);
}

RuntimeFolder UserRuntimeFolder() {
    if (const char* set = std::getenv("XDG_RUNTIME_DIR"); set != nullptr && set[0] != '\0') {
        if (set[0] != '/') return Refused(set, "is not an absolute path");
        return Checked(set);
    }
    const char* temporary = std::getenv("TMPDIR");
    std::string base = temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    const std::string path = base + "/runtime-" + UserName();
    // mkdir never follows a symbolic link at path; whatever is there already is judged as found.
    if (::mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        return Refused(path, std::string("cannot be made: ") + std::strerror(errno));
    return Checked(path);
}

}  // namespace kiv
